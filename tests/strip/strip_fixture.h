#pragma once

// The strip on the test's X server over the shared model fixture, and what the tests read back
// from the server.

#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"
#include "ticker/ticker_test.h"

#include <QImage>

#include <memory>

namespace ribbex::test {

class StripTest : public TickerTest, public TickerClickHandler {
protected:
    // A strip keeping its position beside the settings, once the window manager has taken it.
    std::unique_ptr<MenuBarScrollerController> makeController();
    WId windowId() { return controller->window().winId(); }

    void openLink(const QUrl &url) override { openedLinks.append(url); }
    void activateSpotify() override { }

    QList<QUrl> openedLinks;
    int openSettingsCalls = 0;
    int quitCalls = 0;
    std::unique_ptr<MenuBarScrollerController> controller;
};

// Runs an X11 tool to completion while the event loop keeps serving the X server.
QString runTool(const QString &program, const QStringList &arguments);
// The values of a window property as xprop prints them, split at commas.
QStringList windowProperty(WId window, const QString &property);
// Where the X server has the window, in root coordinates.
QRect windowGeometry(WId window);
// The window's pixels as the screen shows them now.
QImage windowPixels(WId window);

} // namespace ribbex::test
