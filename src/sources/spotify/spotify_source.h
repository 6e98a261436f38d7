#pragma once

// Spotify as a source of the ticker: the desktop player asked every 15 seconds and whenever it
// announces a change, a click that brings it forward, and the Spotify section of the settings.

#include "sources/live_source.h"
#include "sources/spotify/mpris_player_bridge.h"
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

private:
    QCoro::Task<> bringForward();

    SettingsModel &m_model;
    MprisPlayerBridge m_player;
    SpotifyRefresh m_refresh;
};

} // namespace ribbex
