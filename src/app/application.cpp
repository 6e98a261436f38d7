#include "app/application.h"

#include "app/command_line.h"
#include "app/follow_run.h"
#include "app/once_run.h"
#include "app/strip_start.h"
#include "app/terminal.h"

#include <QCoroTask>

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace ribbex {

namespace {

void printLine(FILE *stream, const QString &text)
{
    writeTo(stream, text.toUtf8() + '\n');
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
    if (const auto *follow = std::get_if<RunFollow>(&command))
        return runFollow(*follow);
    return QCoro::waitFor(runOnce(std::get<RunOnce>(command)));
}

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Ribbex prints only its result and its own errors, not Qt's chatter about the
// session it runs in (such as a missing XDG_RUNTIME_DIR).
void dropQtChatter(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + u'\n').toLocal8Bit().constData(), stderr);
}

} // namespace

int runApplication(int argc, char **argv)
{
    qInstallMessageHandler(dropQtChatter);
    const Command command = parseCommandLine(argumentsOf(argc, argv));
    if (const auto *start = std::get_if<StartStrip>(&command))
        return runStrip(argc, argv, *start);
    // Painting text needs the GUI half of Qt, but never a display: pictures are drawn offscreen.
    const auto *run = std::get_if<RunOnce>(&command);
    std::unique_ptr<QCoreApplication> app;
    if (run && run->renderFile) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("ribbex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RIBBEX_VERSION));
    // Parsed again now that the application exists: the help text names the program from it.
    return runCommand(parseCommandLine(QCoreApplication::arguments()));
}

} // namespace ribbex
