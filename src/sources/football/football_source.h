#pragma once

// Football as a source of the ticker: ESPN's scoreboard, the refresh passes, their pacing and the
// competitions section of the settings window.

#include "sources/football/espn_football_provider.h"
#include "sources/football/football_refresh.h"
#include "sources/live_source.h"

namespace ribbex {

class FootballSource final : public LiveSource {
public:
    explicit FootballSource(const SourceServices &services);

    TickerSource kind() const override { return TickerSource::football; }
    std::optional<double> nextRefreshDelay(const QDateTime &now) const override;
    void setRescheduler(std::function<void()> reschedule) override;
    QCoro::Task<> refreshNow() override;
    QCoro::Task<> refreshIfDue() override;
    QString status() const override;
    SourceSection *createSettingsSection(QWidget *parent) override;

private:
    SettingsModel &m_model;
    ESPNFootballProvider m_provider;
    FootballRefresh m_refresh;
};

} // namespace ribbex
