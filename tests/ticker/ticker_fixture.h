#pragma once

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ribbex::test {

// A model over temporary files with a pinned clock, and what the ticker tests build on it.
class TickerTest : public testing::Test {
protected:
    TickerTest();

    void changeSettings(const std::function<void(RibbexSettings &)> &change);
    // Only news enabled, with one headline per title, each linking to https://example.org/<index>.
    void showHeadlines(const QStringList &titles);
    NewsHeadline headline(const QString &title, int index) const;

    static QDateTime now() { return QDateTime(QDate(2026, 12, 6), QTime(15, 0), QTimeZone::utc()); }

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {now()};
    std::unique_ptr<SettingsModel> model;
};

// Reading rendered pictures in points.
struct Pixels {
    const QImage &image;

    // The pixel under a point, at the picture's device pixel ratio.
    QColor at(double x, double y) const;
    double alphaAt(double x, double y) const { return at(x, y).alphaF(); }
};

} // namespace ribbex::test
