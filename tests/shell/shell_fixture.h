#pragma once

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "support/http_test_server.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <QNetworkAccessManager>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace ribbex::test {

// One loopback server standing in for ESPN and for the user's own news feed, with a model whose
// settings point there, over real files in a temporary home, with a pinned clock.
class ShellTest : public testing::Test {
protected:
    static inline const QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(15, 0), Qt::UTC);

    ShellTest();

    // The settings every test starts from: news from the loopback feed, football with one league.
    RibbexSettings startingSettings() const;
    void editSettings(SettingsModel &model, const std::function<void(RibbexSettings &)> &edit);
    qsizetype feedRequests() const { return server.count(QStringLiteral("/feed.xml")); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
    // Runs the event loop until the condition holds or five seconds pass.
    static bool eventually(const std::function<bool()> &condition);
    // Waits for the refreshes in flight to end, so none outlives the objects it works on.
    static void settle(const SettingsModel &model);

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {start};
    HttpTestServer server;
    QNetworkAccessManager network;
};

} // namespace ribbex::test
