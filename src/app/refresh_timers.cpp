#include "app/refresh_timers.h"

#include "model/settings_model.h"

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

bool isRepeating(const LiveSource &source)
{
    return source.repeatInterval().has_value();
}

} // namespace

RefreshTimers::RefreshTimers(SettingsModel &model, const std::vector<LiveSource *> &sources, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    for (LiveSource *source : sources) {
        auto row = std::make_unique<Row>();
        row->source = source;
        if (const auto interval = source->repeatInterval()) {
            row->timer.setInterval(*interval);
            connect(&row->timer, &QTimer::timeout, this, [source] { (void)source->refreshIfDue(); });
        } else {
            row->timer.setSingleShot(true);
            connect(&row->timer, &QTimer::timeout, this, [this, row = row.get()] { (void)refreshWhenDue(*row); });
        }
        m_rows.push_back(std::move(row));
    }
}

RefreshTimers::~RefreshTimers()
{
    // The model and the sources may outlive us; their callbacks must not reach a destroyed object.
    m_model.onChange = nullptr;
    for (const auto &row : m_rows)
        row->source->setRescheduler(nullptr);
}

void RefreshTimers::launch()
{
    m_observedEnabledSources = m_model.settings().enabledSources;
    m_model.onChange = [this] { settingsDidChange(); };
    for (const auto &row : m_rows)
        row->source->setRescheduler([this, row = row.get()] { schedule(*row); });
    reconcileSourceTimers();
    // Each refresh checks for itself whether its source is enabled.
    for (const auto &row : m_rows)
        (void)launchRefresh(*row);
}

void RefreshTimers::settingsDidChange()
{
    const std::set<TickerSource> &enabled = m_model.settings().enabledSources;
    std::set<TickerSource> newlyEnabled;
    std::ranges::set_difference(enabled, m_observedEnabledSources, std::inserter(newlyEnabled, newlyEnabled.end()));
    m_observedEnabledSources = enabled;

    reconcileSourceTimers();
    // A source switched on shows its data at once rather than at its next turn.
    for (const auto &row : m_rows) {
        if (newlyEnabled.contains(row->source->kind()))
            (void)launchRefresh(*row);
    }
}

void RefreshTimers::reconcileSourceTimers()
{
    if (!m_displayAwake) {
        pauseSourceTimers();
        return;
    }
    for (const auto &row : m_rows) {
        if (isRepeating(*row->source))
            updateRepeatingTimer(*row);
        else
            schedule(*row);
    }
}

void RefreshTimers::updateRepeatingTimer(Row &row)
{
    // A running timer keeps its phase.
    if (!m_model.settings().isEnabled(row.source->kind()))
        row.timer.stop();
    else if (!row.timer.isActive())
        row.timer.start();
}

void RefreshTimers::schedule(Row &row)
{
    row.timer.stop();
    if (!m_displayAwake)
        return;
    if (const std::optional<double> delay = row.source->nextRefreshDelay(m_model.clock().now()))
        row.timer.start(timerInterval(*delay));
}

void RefreshTimers::pauseSourceTimers()
{
    for (const auto &row : m_rows)
        row->timer.stop();
}

QCoro::Task<> RefreshTimers::launchRefresh(Row &row)
{
    const QPointer<RefreshTimers> self(this);
    co_await row.source->refreshNow();
    if (self && !isRepeating(*row.source))
        schedule(row);
}

QCoro::Task<> RefreshTimers::refreshWhenDue(Row &row)
{
    // A refresh that starts re-arms the timer through the source's rescheduler; one that finds
    // nothing due must be re-armed here.
    const QPointer<RefreshTimers> self(this);
    row.timer.stop();
    co_await row.source->refreshIfDue();
    if (self && !row.timer.isActive())
        schedule(row);
}

void RefreshTimers::refreshEnabledSources()
{
    for (const auto &row : m_rows) {
        if (m_model.settings().isEnabled(row->source->kind()))
            (void)row->source->refreshIfDue();
    }
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
    refreshEnabledSources();
}

const QTimer *RefreshTimers::timer(TickerSource source) const
{
    for (const auto &row : m_rows) {
        if (row->source->kind() == source)
            return &row->timer;
    }
    return nullptr;
}

} // namespace ribbex
