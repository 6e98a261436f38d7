#include "app/refresh_timers.h"

#include "model/settings_model.h"
#include "sources/football/football_refresh.h"
#include "sources/news/news_refresh.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

// QTimer counts in int milliseconds; a delay past its range (about 24 days) waits that long.
std::chrono::milliseconds timerInterval(double seconds)
{
    constexpr double longest = 2'000'000'000.0;
    const double milliseconds = std::clamp(seconds * 1000.0, 0.0, longest);
    return std::chrono::milliseconds(std::llround(milliseconds));
}

std::set<TickerSource> added(const std::set<TickerSource> &now, const std::set<TickerSource> &before)
{
    std::set<TickerSource> result;
    std::ranges::set_difference(now, before, std::inserter(result, result.end()));
    return result;
}

} // namespace

RefreshTimers::RefreshTimers(SettingsModel &model, FootballRefresh &football, NewsRefresh &news, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_football(football)
    , m_news(news)
{
    m_footballTimer.setSingleShot(true);
    connect(&m_footballTimer, &QTimer::timeout, this, [this] { (void)m_football.refreshFootball(); });
    m_newsTimer.setSingleShot(true);
    connect(&m_newsTimer, &QTimer::timeout, this, [this] { (void)checkNews(); });
}

RefreshTimers::~RefreshTimers()
{
    // The model may outlive us; its callbacks must not reach a destroyed object.
    m_model.onChange = nullptr;
    m_model.onFootballRefreshFinished = nullptr;
    m_model.onNewsRefreshAttemptStarted = nullptr;
}

void RefreshTimers::addRepeatingSource(
    TickerSource source, std::chrono::seconds interval, std::function<void()> refresh)
{
    auto row = std::make_unique<RepeatingSource>();
    row->source = source;
    row->refresh = std::move(refresh);
    row->timer.setInterval(interval);
    connect(&row->timer, &QTimer::timeout, this, [refresh = row->refresh] { refresh(); });
    m_repeating.push_back(std::move(row));
}

void RefreshTimers::launch()
{
    m_observedEnabledSources = m_model.settings().enabledSources;
    m_model.onChange = [this] { settingsDidChange(); };
    m_model.onFootballRefreshFinished = [this] { scheduleNextFootballRefresh(); };
    m_model.onNewsRefreshAttemptStarted = [this] { scheduleNextNewsRefresh(); };
    reconcileSourceTimers();

    // Each refresh checks for itself whether its source is enabled.
    (void)refreshFootballSchedulesThenSchedule();
    for (const auto &row : m_repeating)
        row->refresh();
    (void)m_news.refreshNews();
}

void RefreshTimers::settingsDidChange()
{
    const std::set<TickerSource> &enabled = m_model.settings().enabledSources;
    const std::set<TickerSource> newlyEnabled = added(enabled, m_observedEnabledSources);
    m_observedEnabledSources = enabled;

    scheduleNextFootballRefresh();
    reconcileSourceTimers();
    // News and football are picked up by their schedulers above.
    for (const auto &row : m_repeating) {
        if (newlyEnabled.contains(row->source))
            row->refresh();
    }
}

void RefreshTimers::reconcileSourceTimers()
{
    if (!m_displayAwake) {
        pauseSourceTimers();
        return;
    }
    for (const auto &row : m_repeating)
        updateTimer(*row);
    scheduleNextNewsRefresh();
}

void RefreshTimers::updateTimer(RepeatingSource &row)
{
    // A running timer keeps its phase.
    if (!m_model.settings().isEnabled(row.source))
        row.timer.stop();
    else if (!row.timer.isActive())
        row.timer.start();
}

void RefreshTimers::pauseSourceTimers()
{
    for (const auto &row : m_repeating)
        row->timer.stop();
    m_newsTimer.stop();
    m_footballTimer.stop();
}

void RefreshTimers::scheduleNextFootballRefresh()
{
    m_footballTimer.stop();
    if (!m_displayAwake)
        return;
    if (const std::optional<double> delay = m_football.nextFootballRefreshDelay(m_model.clock().now()))
        m_footballTimer.start(timerInterval(*delay));
}

void RefreshTimers::scheduleNextNewsRefresh()
{
    m_newsTimer.stop();
    if (m_displayAwake && m_model.settings().isEnabled(TickerSource::news))
        m_newsTimer.start(timerInterval(m_news.nextNewsRefreshDelay(m_model.clock().now())));
}

QCoro::Task<> RefreshTimers::refreshFootballSchedulesThenSchedule()
{
    QPointer<RefreshTimers> self(this);
    co_await m_football.refreshFootballSchedules();
    if (self)
        self->scheduleNextFootballRefresh();
}

QCoro::Task<> RefreshTimers::checkNews()
{
    // An attempt re-arms the timer through the model's callback; a check that finds nothing
    // due must re-arm it here.
    QPointer<RefreshTimers> self(this);
    m_newsTimer.stop();
    co_await m_news.refreshNewsIfDue();
    if (self && !self->m_newsTimer.isActive())
        self->scheduleNextNewsRefresh();
}

void RefreshTimers::refreshEnabledSources()
{
    const RibbexSettings &settings = m_model.settings();
    for (const auto &row : m_repeating) {
        if (settings.isEnabled(row->source))
            row->refresh();
    }
    if (settings.isEnabled(TickerSource::news))
        (void)m_news.refreshNewsIfDue();
    if (settings.isEnabled(TickerSource::football))
        (void)m_football.refreshFootball();
}

void RefreshTimers::displayDidSleep()
{
    m_displayAwake = false;
    pauseSourceTimers();
}

void RefreshTimers::displayDidWake()
{
    m_displayAwake = true;
    reconcileSourceTimers();
    scheduleNextFootballRefresh();
    refreshEnabledSources();
}

const QTimer *RefreshTimers::repeatingTimer(TickerSource source) const
{
    for (const auto &row : m_repeating) {
        if (row->source == source)
            return &row->timer;
    }
    return nullptr;
}

} // namespace ribbex
