#include "app/application.h"

#include "app/command_line.h"
#include "app/once_output.h"
#include "model/settings_model.h"
#include "platform/clock.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "platform/xdg_paths.h"

#include <QCoreApplication>

#include <cstdio>

namespace ribbex {

namespace {

void print(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void printLine(FILE *stream, const QString &text)
{
    print(stream, text.toUtf8() + '\n');
}

int printOnce()
{
    FilePreferencesStore settingsStore(ribbexConfigFolder());
    FilePreferencesStore cacheStore(ribbexCacheFolder());
    XdgAutostart loginItems(autostartFolder(), QCoreApplication::applicationFilePath());
    const SystemClock clock;
    const SettingsModel model({settingsStore, cacheStore, loginItems, clock, /*mayRegisterLoginItem=*/false});
    print(stdout, tickerAsJson(model));
    return 0;
}

int runCommand(const Command &command)
{
    if (const auto *help = std::get_if<ShowHelp>(&command)) {
        printLine(stdout, help->text.trimmed());
        return 0;
    }
    if (const auto *version = std::get_if<ShowVersion>(&command)) {
        printLine(stdout, version->text);
        return 0;
    }
    if (const auto *error = std::get_if<CommandLineError>(&command)) {
        printLine(stderr, u"ribbex: " + error->message + u"\nTry 'ribbex --help'.");
        return 2;
    }
    if (std::holds_alternative<PrintOnce>(command))
        return printOnce();
    printLine(stderr, QStringLiteral("ribbex: this build has no ticker strip yet; 'ribbex --once' prints the ticker."));
    return 1;
}

} // namespace

int runApplication(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ribbex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RIBBEX_VERSION));
    return runCommand(parseCommandLine(QCoreApplication::arguments()));
}

} // namespace ribbex
