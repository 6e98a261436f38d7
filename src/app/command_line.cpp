#include "app/command_line.h"

#include "ticker/strip_render.h"

#include <QCommandLineParser>
#include <QUrl>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Ribbex: a live ticker strip for the top of the screen, with Spotify, football scores, news and weather."_s);
    parser.addOption({u"once"_s, u"Refresh every enabled source once, print the ticker and exit; needs no display."_s});
    parser.addOption({u"follow"_s,
        u"Keep running and print the ticker again each time it changes, for a status bar; needs no display."_s});
    parser.addOption({u"format"_s,
        u"Output of --once and --follow: text (the line as it scrolls) or json; for --follow also waybar."_s,
        u"format"_s, u"text"_s});
    parser.addOption({u"interval"_s, u"Seconds between the items --format waybar rotates through (default 5)."_s,
        u"seconds"_s, u"5"_s});
    parser.addOption({u"render"_s, u"Paint the strip as it looks now into a PNG file; needs no display."_s, u"file"_s});
    parser.addOption(
        {u"width"_s, u"Width of the --render picture in logical pixels (default: the width setting)."_s, u"pixels"_s});
    parser.addOption({u"scale"_s, u"Device pixel ratio of the --render picture (default 1)."_s, u"factor"_s, u"1"_s});
    parser.addPositionalArgument(u"url"_s, u"A ribbex:// link to hand to Ribbex."_s, u"[url...]"_s);
    parser.addOption({{u"h"_s, u"help"_s}, u"Show this help and exit."_s});
    parser.addOption({{u"v"_s, u"version"_s}, u"Show the version and exit."_s});
}

std::optional<QString> checkRenderOptions(const QCommandLineParser &parser, RunOnce &run)
{
    if (!parser.isSet(u"render"_s)) {
        if (parser.isSet(u"width"_s) || parser.isSet(u"scale"_s))
            return u"--width and --scale are only used with --render"_s;
        return std::nullopt;
    }
    run.renderFile = parser.value(u"render"_s);
    if (parser.isSet(u"width"_s)) {
        bool ok = false;
        const int width = parser.value(u"width"_s).toInt(&ok);
        if (!ok || width < 1 || width > 10000)
            return u"--width must be a whole number of pixels from 1 to 10000"_s;
        run.renderWidth = width;
    }
    bool ok = false;
    run.renderScale = parser.value(u"scale"_s).toDouble(&ok);
    if (!ok || !(run.renderScale >= 0.5 && run.renderScale <= 8))
        return u"--scale must be a number from 0.5 to 8"_s;
    // Without --width the width setting, which is far narrower, is used.
    if (run.renderWidth) {
        if (const std::optional<QString> problem = renderSizeProblem(*run.renderWidth, run.renderScale))
            return u"--width "_s + parser.value(u"width"_s) + u" at --scale "_s + parser.value(u"scale"_s) + u": "_s
                + *problem;
    }
    return std::nullopt;
}

Command runOnceCommand(const QCommandLineParser &parser)
{
    RunOnce run;
    run.print = parser.isSet(u"once"_s);
    run.refresh = run.print;
    if (parser.isSet(u"format"_s) && !run.print)
        return CommandLineError {u"--format is only used with --once or --follow"_s};
    const QString format = parser.value(u"format"_s);
    if (format != u"text" && format != u"json")
        return CommandLineError {u"unknown format \""_s + format + u"\"; the format can be text or json"_s};
    run.format = format == u"json" ? RunOnce::Format::json : RunOnce::Format::text;
    if (const std::optional<QString> error = checkRenderOptions(parser, run))
        return CommandLineError {*error};
    return run;
}

Command followCommand(const QCommandLineParser &parser)
{
    if (parser.isSet(u"once"_s) || parser.isSet(u"render"_s))
        return CommandLineError {u"--follow cannot be combined with --once or --render"_s};
    if (!parser.positionalArguments().isEmpty())
        return CommandLineError {u"unexpected argument: "_s + parser.positionalArguments().first()};
    RunFollow run;
    const QString format = parser.value(u"format"_s);
    if (format == u"json")
        run.format = RunFollow::Format::json;
    else if (format == u"waybar")
        run.format = RunFollow::Format::waybar;
    else if (format != u"text")
        return CommandLineError {u"unknown format \""_s + format + u"\"; the format can be text, json or waybar"_s};
    bool ok = false;
    run.interval = parser.value(u"interval"_s).toDouble(&ok);
    if (!ok || !(run.interval >= 0.1 && run.interval <= 86400))
        return CommandLineError {u"--interval must be a number of seconds from 0.1 to 86400"_s};
    return run;
}

// The desktop hands over links of the ribbex: scheme it registered for us; nothing else.
bool isRibbexLink(const QString &argument)
{
    const QUrl url(argument, QUrl::StrictMode);
    return url.isValid() && url.scheme() == u"ribbex";
}

} // namespace

Command parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments))
        return CommandLineError {parser.errorText()};
    if (parser.isSet(u"help"_s))
        return ShowHelp {parser.helpText()};
    if (parser.isSet(u"version"_s))
        return ShowVersion {QStringLiteral("ribbex " RIBBEX_VERSION)};
    if (parser.isSet(u"follow"_s))
        return followCommand(parser);
    if (parser.isSet(u"interval"_s))
        return CommandLineError {u"--interval is only used with --follow"_s};
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(u"once"_s) || parser.isSet(u"render"_s)) {
        if (!positional.isEmpty())
            return CommandLineError {u"unexpected argument: "_s + positional.first()};
        return runOnceCommand(parser);
    }
    if (parser.isSet(u"format"_s))
        return CommandLineError {u"--format is only used with --once or --follow"_s};
    if (parser.isSet(u"width"_s) || parser.isSet(u"scale"_s))
        return CommandLineError {u"--width and --scale are only used with --render"_s};
    for (const QString &argument : positional) {
        if (!isRibbexLink(argument))
            return CommandLineError {u"unexpected argument: "_s + argument};
    }
    return StartStrip {positional};
}

} // namespace ribbex
