#pragma once

// One timer per source: when each source refreshes by itself, how the timers follow the
// settings, and that none runs while the displays sleep.

#include "settings/enumerations.h"

#include <QCoroTask>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace ribbex {

class FootballRefresh;
class NewsRefresh;
class SettingsModel;

class RefreshTimers final : public QObject {
    Q_OBJECT

public:
    // The model and both refresh flows must outlive this object.
    RefreshTimers(SettingsModel &model, FootballRefresh &football, NewsRefresh &news, QObject *parent = nullptr);
    ~RefreshTimers() override;

    // A source refreshed on a fixed interval while enabled (Spotify, weather).
    void addRepeatingSource(TickerSource source, std::chrono::seconds interval, std::function<void()> refresh);

    // Takes over the model's callbacks, arms the timers and starts every source's first refresh.
    void launch();

    void settingsDidChange();
    void reconcileSourceTimers();
    void pauseSourceTimers();
    void scheduleNextFootballRefresh();
    void scheduleNextNewsRefresh();
    void refreshEnabledSources();

    bool isDisplayAwake() const { return m_displayAwake; }
    void displayDidSleep();
    void displayDidWake();

    // What is armed now, for the shell's tests: the timers never leave this object.
    const QTimer &footballTimer() const { return m_footballTimer; }
    const QTimer &newsTimer() const { return m_newsTimer; }
    const QTimer *repeatingTimer(TickerSource source) const;

private:
    struct RepeatingSource {
        TickerSource source = TickerSource::spotify;
        std::function<void()> refresh;
        QTimer timer;
    };

    void updateTimer(RepeatingSource &row);
    QCoro::Task<> refreshFootballSchedulesThenSchedule();
    QCoro::Task<> checkNews();

    SettingsModel &m_model;
    FootballRefresh &m_football;
    NewsRefresh &m_news;
    std::vector<std::unique_ptr<RepeatingSource>> m_repeating;
    QTimer m_footballTimer;
    QTimer m_newsTimer;
    std::set<TickerSource> m_observedEnabledSources;
    bool m_displayAwake = true;
};

} // namespace ribbex
