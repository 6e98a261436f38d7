#include "app/strip_start.h"

#include "app/app_delegate.h"
#include "app/single_instance.h"
#include "app/terminal.h"
#include "app/ticker_feed.h"
#include "platform/session_display_state.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <optional>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

void printError(const QString &message)
{
    writeTo(stderr, (u"ribbex: "_s + message + u'\n').toUtf8());
}

bool canConnectToX()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

bool hasQtPlatform(const QString &name)
{
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/platforms"_s);
    return !platforms.entryList({u"libq"_s + name + u"*.so"_s}, QDir::Files).isEmpty();
}

// Qt aborts the process when it cannot open its display; this says why in words first. Under
// Wayland the strip runs through XWayland, because only X11 lets a window place itself.
std::optional<QString> chooseDisplay()
{
    const QString noDisplay = u"no display to show the strip on. Start Ribbex in a desktop session, "
                              u"or use 'ribbex --once' to print the ticker without one."_s;
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool hasX = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (chosen.isEmpty()) {
        if (hasX)
            qputenv("QT_QPA_PLATFORM", "xcb");
        else if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && hasQtPlatform(u"wayland"_s))
            qputenv("QT_QPA_PLATFORM", "wayland");
        else
            return noDisplay;
    }
    if (qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(u"xcb") && !canConnectToX()) {
        return hasX ? u"cannot open the X display \""_s + qEnvironmentVariable("DISPLAY")
                + u"\". Use 'ribbex --once' to print the ticker without a display."_s
                    : noDisplay;
    }
    return std::nullopt;
}

} // namespace

int runStrip(int &argc, char **argv, const StartStrip &start)
{
    if (const std::optional<QString> problem = chooseDisplay()) {
        printError(*problem);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"ribbex"_s);
    QApplication::setApplicationVersion(QStringLiteral(RIBBEX_VERSION));
    QGuiApplication::setDesktopFileName(u"com.ribbex.Ribbex"_s);
    // The strip is always there; closing the settings window must not end the application.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(QDBusConnection::sessionBus());
    if (instance.claim() == SingleInstance::Role::secondary) {
        if (const auto handed = instance.handOver(start.urls); !handed) {
            printError(handed.error());
            return 1;
        }
        return 0;
    }

    SessionDisplayState display(QDBusConnection::systemBus(), QDBusConnection::sessionBus());
    const SystemClock clock;
    AppDelegate delegate(display, clock);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::openSettings);
    QObject::connect(&instance, &SingleInstance::urlsReceived, &delegate, &AppDelegate::openUrls);
    // What the strip shows, for `ribbex --follow` in a status bar of the same session.
    const TickerSnapshotFeed feed(delegate.model(), delegate.sources());
    const TickerFeedService feedService(QDBusConnection::sessionBus(), feed);
    delegate.applicationDidFinishLaunching();
    delegate.openUrls(start.urls);
    return QApplication::exec();
}

} // namespace ribbex
