#pragma once

// The football half of the model: refresh passes that fetch schedules and live scores from
// ESPN, fold them into the model's matches, pace the requests and set the football status.

#include "model/settings_model.h"
#include "settings/football_competition.h"
#include "sources/football/espn_football_provider.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <QCoroTask>

#include <optional>

namespace ribbex {

// Lives on the GUI thread. Make it a child of the model (or destroy it first); the provider
// must outlive it. A pass still running when this object goes away stops at its next step.
class FootballRefresh final : public QObject {
    Q_OBJECT

public:
    FootballRefresh(SettingsModel &model, ESPNFootballProvider &provider, QObject *parent = nullptr);

    // One pass: due schedules, then live scores, then the status. Refused while one runs.
    QCoro::Task<> refreshFootball();
    // Makes every selected schedule due (unless backing off after a failure), then runs a pass.
    QCoro::Task<> refreshFootballSchedules();
    // Seconds until the next pass should start, or nothing when no pass is needed.
    std::optional<double> nextFootballRefreshDelay(const QDateTime &now) const;
    // The competition switch of the settings window: stores the selection, starts a pass and
    // returns at once.
    void setFootballCompetition(FootballCompetition competition, bool enabled);
    // Writes the matches (without those past their keeping time) and the schedule times.
    void saveFootballFixtureCache();

private:
    struct Pass {
        QDateTime now; // the one instant every comparison and timestamp of the pass uses
        QStringList errors;
    };

    QCoro::Task<> runSchedulePhase(Pass &pass, QList<FootballCompetition> due);
    QCoro::Task<> fetchSchedule(
        Pass &pass, FootballCompetition competition, QDateTime windowStart, QDateTime windowEnd);
    QCoro::Task<> runLivePhase(Pass &pass, QList<FootballMatch> active);
    QCoro::Task<> fetchScores(Pass &pass, FootballCompetition competition, QList<FootballMatch> fixtures);

    bool footballEnabled() const;
    QList<FootballCompetition> dueCompetitions(const QDateTime &now) const;
    QList<FootballMatch> activeFixtures(const QDateTime &now) const;
    void setStatus(const QString &status);
    void finishPass();

    SettingsModel &m_model;
    ESPNFootballProvider &m_provider;
};

} // namespace ribbex
