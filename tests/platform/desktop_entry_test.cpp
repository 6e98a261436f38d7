#include "platform/desktop_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

TEST(DesktopEntry, quotesAnExecArgumentAndReadsItBack)
{
    const struct {
        QString argument;
        QString execValue; // after Exec quoting
        const char *fileLine; // after string escaping as well
    } cases[] = {
        {u"/usr/bin/ribbex"_s, u"/usr/bin/ribbex"_s, R"(Exec=/usr/bin/ribbex)"},
        {u"/opt/My Apps/ribbex"_s, u"\"/opt/My Apps/ribbex\""_s, R"(Exec="/opt/My Apps/ribbex")"},
        {u"/opt/it's/ribbex"_s, u"\"/opt/it's/ribbex\""_s, R"(Exec="/opt/it's/ribbex")"},
        {u"/opt/say \"hi\"/ribbex"_s, u"\"/opt/say \\\"hi\\\"/ribbex\""_s, R"(Exec="/opt/say \\"hi\\"/ribbex")"},
        {u"/opt/$HOME/ribbex"_s, u"\"/opt/\\$HOME/ribbex\""_s, R"(Exec="/opt/\\$HOME/ribbex")"},
        {u"/opt/a\\b/ribbex"_s, u"\"/opt/a\\\\b/ribbex\""_s, R"(Exec="/opt/a\\\\b/ribbex")"},
        {u"/opt/`id`/ribbex"_s, u"\"/opt/\\`id\\`/ribbex\""_s, R"(Exec="/opt/\\`id\\`/ribbex")"},
        {u"/opt/100%/ribbex"_s, u"/opt/100%%/ribbex"_s, R"(Exec=/opt/100%%/ribbex)"},
        {u"/opt/(x)~/ribbex"_s, u"\"/opt/(x)~/ribbex\""_s, R"(Exec="/opt/(x)~/ribbex")"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        const QString quoted = quoteExecArgument(c.argument);
        const QByteArray file = writeDesktopEntry({{u"Exec"_s, quoted}});

        EXPECT_EQ(quoted.toStdString(), c.execValue.toStdString());
        EXPECT_THAT(file.split('\n'), testing::Contains(QByteArray(c.fileLine)));
        EXPECT_EQ(execProgram(readDesktopEntry(file).value(u"Exec"_s)).toStdString(), c.argument.toStdString());
    }
}

TEST(DesktopEntry, findsTheProgramOfAnExecValue)
{
    const struct {
        QString exec;
        QString program;
    } cases[] = {
        {u"ribbex --minimized %U"_s, u"ribbex"_s},
        {u"  /usr/bin/ribbex\t-v"_s, u"/usr/bin/ribbex"_s},
        {u"\"/opt/My Apps/ribbex\" %f"_s, u"/opt/My Apps/ribbex"_s},
        {u"\"/opt/unfinished"_s, u""_s},
        {u""_s, u""_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.exec.toStdString());
        EXPECT_EQ(execProgram(c.exec).toStdString(), c.program.toStdString());
    }
}

TEST(DesktopEntry, readsOnlyTheDesktopEntryGroup)
{
    const QByteArray text = "# Exec=/commented/out\n"
                            "[Other]\n"
                            "Exec=/from/other/group\n"
                            "\n"
                            "[Desktop Entry]\n"
                            "Name = Ribbex\n"
                            "Name[de]=Ribbex DE\n"
                            "  # Hidden=true\n"
                            "Comment=\\sTab\\there\\\\now\r\n"
                            "[Desktop Action Quit]\n"
                            "Exec=/from/action\n";

    std::map<std::string, std::string> keys;
    for (const auto &[key, value] : readDesktopEntry(text).asKeyValueRange())
        keys[key.toStdString()] = value.toStdString();
    EXPECT_EQ(keys, (std::map<std::string, std::string> {{"Name", "Ribbex"}, {"Comment", " Tab\there\\now"}}));
}

} // namespace
} // namespace ribbex
