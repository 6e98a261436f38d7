#pragma once

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "sources/football/espn_football_provider.h"
#include "sources/football/football_refresh.h"
#include "support/http_test_server.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <QNetworkAccessManager>

#include <gtest/gtest.h>

#include <memory>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ribbex::test {

QDateTime utc(const char *iso);
QByteArray fixtureFile(const char *name);

// One event as ESPN's scoreboard sends it; state is "pre", "in" or "post".
struct EspnEvent {
    QString id;
    QDateTime kickOff;
    QString state = QStringLiteral("pre");
    QString clock = QStringLiteral("0'");
};
QByteArray scoreboardDocument(const QList<EspnEvent> &events);

// The league code of a scoreboard request ("eng.1"), and whether it asks for one day's scores.
QString leagueOf(const HttpTestRequest &request);
bool isLiveRequest(const HttpTestRequest &request);

FootballMatch footballMatch(
    const QString &id, const QString &code, const QDateTime &kickOff, const QString &status = matchStatus::scheduled);

// A model over real files with a pinned clock, and a refresh whose client talks to a loopback
// server that serves `schedules` for year requests and `live` for day requests of each league.
class FootballRefreshTest : public testing::Test {
protected:
    FootballRefreshTest();

    void select(const FootballCompetitionSet &competitions, bool footballEnabled = true);
    void runPass();
    qsizetype requestCount(const QString &league, bool live) const;
    std::optional<FootballFixtureCache> storedCache() const;

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {utc("2026-12-06T12:00:00Z")};

    QMap<QString, QList<EspnEvent>> schedules;
    QMap<QString, QList<EspnEvent>> live;
    QMap<QString, HttpTestResponse> overrides; // by league; answered to every request for it
    std::function<void(const HttpTestRequest &)> onRequest;
    HttpTestServer server;
    QNetworkAccessManager network;
    ESPNFootballProvider provider {network, server.url()};
    std::unique_ptr<SettingsModel> model;
    FootballRefresh *refresh = nullptr; // owned by the model
    int passesFinished = 0;
};

} // namespace ribbex::test
