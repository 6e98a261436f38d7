#include "app/command_line.h"

#include <QCommandLineParser>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Ribbex: a live ticker strip for the top of the screen, with Spotify, football scores, news and weather."_s);
    parser.addOption({u"once"_s, u"Print the ticker once and exit; needs no display."_s});
    parser.addOption({u"format"_s, u"Output format of --once: json."_s, u"format"_s, u"json"_s});
    parser.addOption({{u"h"_s, u"help"_s}, u"Show this help and exit."_s});
    parser.addOption({{u"v"_s, u"version"_s}, u"Show the version and exit."_s});
}

} // namespace

Command parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments))
        return CommandLineError{parser.errorText()};
    if (parser.isSet(u"help"_s))
        return ShowHelp{parser.helpText()};
    if (parser.isSet(u"version"_s))
        return ShowVersion{QStringLiteral("ribbex " RIBBEX_VERSION)};
    if (!parser.positionalArguments().isEmpty())
        return CommandLineError{u"unexpected argument: "_s + parser.positionalArguments().first()};
    if (parser.isSet(u"format"_s) && !parser.isSet(u"once"_s))
        return CommandLineError{u"--format is only used with --once"_s};
    if (!parser.isSet(u"once"_s))
        return StartStrip{};
    if (const QString format = parser.value(u"format"_s); format != u"json")
        return CommandLineError{u"unknown format \""_s + format + u"\"; the format can be: json"_s};
    return PrintOnce{};
}

} // namespace ribbex
