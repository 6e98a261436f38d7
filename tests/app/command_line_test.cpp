#include "app/command_line.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

Command parse(const QStringList &words)
{
    return parseCommandLine(QStringList{u"ribbex"_s} + words);
}

TEST(CommandLine, ChoosesWhatToRun)
{
    EXPECT_TRUE(std::holds_alternative<StartStrip>(parse({})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--once"_s})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--once"_s, u"--format"_s, u"json"_s})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--format=json"_s, u"--once"_s})));
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse({u"--version"_s})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--help"_s})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--once"_s, u"-h"_s})));
}

TEST(CommandLine, RejectsWhatItCannotDoWithAReason)
{
    const std::pair<QStringList, const char16_t *> cases[] = {
        {{u"--once"_s, u"--format"_s, u"xml"_s}, u"unknown format \"xml\""},
        {{u"--format"_s, u"json"_s}, u"--format is only used with --once"},
        {{u"--frobnicate"_s}, u"Unknown option 'frobnicate'."},
        {{u"--once"_s, u"--format"_s}, u"Missing value after '--format'."},
        {{u"extra"_s}, u"unexpected argument: extra"},
    };
    for (const auto &[words, message] : cases) {
        const Command command = parse(words);
        ASSERT_TRUE(std::holds_alternative<CommandLineError>(command)) << QString::fromUtf16(message).toStdString();
        EXPECT_TRUE(std::get<CommandLineError>(command).message.startsWith(QString::fromUtf16(message)))
            << std::get<CommandLineError>(command).message.toStdString();
    }
}

} // namespace
} // namespace ribbex
