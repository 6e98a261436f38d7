#pragma once

// Spotify as a source of the ticker: the desktop player asked every 15 seconds and whenever it
// announces a change, the Web API when the player has nothing and a sign-in is stored, a click
// that brings the player forward, the sign-in's callback, and the Spotify section of the
// settings.

#include "sources/live_source.h"
#include "sources/spotify/mpris_player_bridge.h"
#include "sources/spotify/spotify_api.h"
#include "sources/spotify/spotify_connection.h"
#include "sources/spotify/spotify_refresh.h"

namespace ribbex {

class SpotifySource final : public LiveSource {
public:
    static constexpr std::chrono::seconds refreshInterval {15};

    explicit SpotifySource(const SourceServices &services);

    TickerSource kind() const override { return TickerSource::spotify; }
    std::optional<std::chrono::seconds> repeatInterval() const override { return refreshInterval; }
    QCoro::Task<> refreshNow() override;
    QCoro::Task<> refreshIfDue() override;
    QString status() const override;
    SourceSection *createSettingsSection(QWidget *parent) override;
    void activate() override;
    bool openUrl(const QUrl &url) override;

private:
    QCoro::Task<> bringForward();
    // Opens the sign-in page of a new authorization in the browser.
    void connectWebApi();

    SettingsModel &m_model;
    MprisPlayerBridge m_player;
    SpotifyAPI m_api;
    SpotifyRefresh m_refresh;
    SpotifyConnection m_connection;
};

} // namespace ribbex
