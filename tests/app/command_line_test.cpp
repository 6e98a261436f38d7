#include "app/command_line.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

Command parse(std::initializer_list<const char16_t *> words)
{
    QStringList arguments{u"ribbex"_s};
    for (const char16_t *word : words)
        arguments << QString::fromUtf16(word);
    return parseCommandLine(arguments);
}

TEST(CommandLine, ChoosesWhatToRun)
{
    EXPECT_TRUE(std::holds_alternative<StartStrip>(parse({})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--once"})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--once", u"--format", u"json"})));
    EXPECT_TRUE(std::holds_alternative<PrintOnce>(parse({u"--format=json", u"--once"})));
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse({u"--version"})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--help"})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--once", u"-h"})));
}

TEST(CommandLine, RejectsWhatItCannotDoWithAReason)
{
    const std::pair<std::initializer_list<const char16_t *>, const char16_t *> cases[] = {
        {{u"--once", u"--format", u"xml"}, u"unknown format \"xml\""},
        {{u"--format", u"json"}, u"--format is only used with --once"},
        {{u"--frobnicate"}, u"Unknown option 'frobnicate'."},
        {{u"--once", u"--format"}, u"Missing value after '--format'."},
        {{u"extra"}, u"unexpected argument: extra"},
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
