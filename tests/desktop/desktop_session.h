#pragma once

// The real ribbex binary on a real X server with a window manager, seen through the X11 tools a
// user's desktop would use.

#include "support/temp_home.h"

#include <QProcess>
#include <QRect>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

namespace ribbex::test {

class DesktopSessionTest : public testing::Test {
protected:
    ~DesktopSessionTest() override;

    // Starts ribbex with its own folders and no network sources; waits for the strip to show.
    void startStrip();
    // Runs a command to its end and returns what it printed; the test fails if it fails.
    static QString run(const QString &program, const QStringList &arguments);
    // Ids of our visible windows whose _NET_WM_WINDOW_TYPE contains the given type (any when empty).
    static QStringList windowsOfType(const QString &type);
    static std::optional<QString> windowNamed(const QString &name);
    static QRect geometry(const QString &window);
    static QString property(const QString &window, const QString &name);
    static bool eventually(const std::function<bool()> &condition, int milliseconds = 10000);

    QProcessEnvironment environment() const;

    TempHome home;
    QProcess strip;
    QString stripWindow;
};

} // namespace ribbex::test
