#include "app/command_line.h"
#include "ribbex_process.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

Command parse(const QStringList &words)
{
    return parseCommandLine(QStringList {u"ribbex"_s} + words);
}

TEST(CommandLine, ChoosesWhatToRun)
{
    EXPECT_TRUE(std::holds_alternative<StartStrip>(parse({})));
    // The desktop starts us with the links of our scheme, to hand to the running strip.
    const Command withLinks = parse({u"ribbex://spotify-callback?code=1"_s, u"RIBBEX://other"_s});
    ASSERT_TRUE(std::holds_alternative<StartStrip>(withLinks));
    EXPECT_EQ(std::get<StartStrip>(withLinks).urls.size(), 2);
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse({u"--version"_s})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--once"_s, u"-h"_s})));

    const struct {
        QStringList words;
        bool print;
        RunOnce::Format format;
        std::optional<QString> file;
        std::optional<int> width;
        double scale;
        bool refresh;
    } cases[] = {
        {{u"--once"_s}, true, RunOnce::Format::text, std::nullopt, std::nullopt, 1.0, true},
        {{u"--format=json"_s, u"--once"_s}, true, RunOnce::Format::json, std::nullopt, std::nullopt, 1.0, true},
        {{u"--render"_s, u"a.png"_s}, false, RunOnce::Format::text, u"a.png"_s, std::nullopt, 1.0, false},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"500"_s, u"--scale"_s, u"1.5"_s}, false, RunOnce::Format::text,
            u"a.png"_s, 500, 1.5, false},
        {{u"--once"_s, u"--render"_s, u"b.png"_s}, true, RunOnce::Format::text, u"b.png"_s, std::nullopt, 1.0, true},
        {{u"--render"_s, u"c.png"_s, u"--width"_s, u"4095"_s, u"--scale"_s, u"8"_s}, false, RunOnce::Format::text,
            u"c.png"_s, 4095, 8.0, false},
    };
    for (const auto &c : cases) {
        const Command command = parse(c.words);
        ASSERT_TRUE(std::holds_alternative<RunOnce>(command)) << c.words.join(u' ').toStdString();
        const RunOnce &run = std::get<RunOnce>(command);
        EXPECT_EQ(run.print, c.print);
        EXPECT_EQ(run.format, c.format);
        EXPECT_EQ(run.renderFile, c.file);
        EXPECT_EQ(run.renderWidth, c.width);
        EXPECT_EQ(run.renderScale, c.scale);
        EXPECT_EQ(run.refresh, c.refresh);
    }
}

TEST(CommandLine, RejectsWhatItCannotDoWithAReason)
{
    const std::pair<QStringList, const char16_t *> cases[] = {
        {{u"--once"_s, u"--format"_s, u"xml"_s}, u"unknown format \"xml\""},
        {{u"--format"_s, u"json"_s}, u"--format is only used with --once"},
        {{u"--render"_s, u"a.png"_s, u"--format"_s, u"json"_s}, u"--format is only used with --once"},
        {{u"--once"_s, u"--width"_s, u"300"_s}, u"--width and --scale are only used with --render"},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"0"_s}, u"--width must be"},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"wide"_s}, u"--width must be"},
        {{u"--render"_s, u"a.png"_s, u"--scale"_s, u"nan"_s}, u"--scale must be"},
        {{u"--render"_s, u"a.png"_s, u"--scale"_s, u"100"_s}, u"--scale must be"},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"4096"_s, u"--scale"_s, u"8"_s},
            u"--width 4096 at --scale 8: the picture would be 32768 \u00D7 176 device pixels; the largest edge is "
            u"32767"},
        {{u"--frobnicate"_s}, u"Unknown option 'frobnicate'."},
        {{u"--once"_s, u"--format"_s}, u"Missing value after '--format'."},
        {{u"extra"_s}, u"unexpected argument: extra"},
        {{u"https://example.com/"_s}, u"unexpected argument: https://example.com/"},
        {{u"--once"_s, u"ribbex://spotify-callback"_s}, u"unexpected argument: ribbex://"},
    };
    for (const auto &[words, message] : cases) {
        const Command command = parse(words);
        ASSERT_TRUE(std::holds_alternative<CommandLineError>(command)) << QString::fromUtf16(message).toStdString();
        EXPECT_TRUE(std::get<CommandLineError>(command).message.startsWith(QString::fromUtf16(message)))
            << std::get<CommandLineError>(command).message.toStdString();
    }
}

using RenderFileTest = test::RibbexProcessTest;

// A picture that could not be written used to pass for written: the exit status was 0.
TEST_F(RenderFileTest, SaysWhyThePictureWasNotWrittenAndStillWritesToDevices)
{
    const struct {
        QString file;
        const char *reason; // null: written
    } cases[] = {
        {u"/dev/full"_s, "No space left on device"},
        {home.path() + u"/missing/strip.png"_s, "No such file or directory"},
        {home.path(), "Is a directory"},
        {u"/dev/null"_s, nullptr},
    };
    for (const auto &c : cases) {
        const test::ProcessResult result = ribbex({u"--render"_s, c.file});
        EXPECT_EQ(result.exitCode, c.reason ? 1 : 0) << c.file.toStdString();
        EXPECT_EQ(result.err,
            c.reason ? QByteArray("ribbex: could not write the picture to " + c.file.toUtf8() + ": " + c.reason + '\n')
                     : QByteArray());
    }
}

} // namespace
} // namespace ribbex
