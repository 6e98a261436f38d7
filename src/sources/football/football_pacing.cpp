#include "sources/football/football_pacing.h"

#include <algorithm>

namespace ribbex::footballPacing {

namespace {

std::optional<QDateTime> entry(const QMap<QString, QDateTime> &times, const QString &code)
{
    const auto it = times.constFind(code);
    return it == times.constEnd() ? std::nullopt : std::optional(*it);
}

// When the competition's schedule falls due; nothing when it is due since forever.
std::optional<QDateTime> scheduleDueAt(const SourceBookkeeping &book, const QString &code, qint64 age)
{
    const std::optional<QDateTime> refreshed = entry(book.footballScheduleRefreshedAt, code);
    const std::optional<QDateTime> retryAfter = entry(book.footballScheduleRetryAfter, code);
    const std::optional<QDateTime> expiry = refreshed ? std::optional(refreshed->addSecs(age)) : std::nullopt;
    if (!expiry || !retryAfter)
        return expiry ? expiry : retryAfter;
    return std::max(*expiry, *retryAfter);
}

QDateTime nextLivePoll(const QList<FootballMatch> &active, const SourceBookkeeping &book, const QDateTime &now)
{
    QDateTime earliest;
    for (const FootballMatch &match : active) {
        const std::optional<QDateTime> polled = entry(book.footballScorePolledAt, match.competition.code);
        const QDateTime next = polled ? polled->addSecs(livePollInterval) : now;
        if (!earliest.isValid() || next < earliest)
            earliest = next;
    }
    return earliest;
}

QDateTime nextScheduleOrKickOff(const QSet<QString> &selected, const QList<FootballMatch> &matches,
    const SourceBookkeeping &book, const QDateTime &now)
{
    const qint64 age = scheduleAge(matches, selected, now);
    std::optional<QDateTime> nextSchedule;
    for (const QString &code : selected) {
        const std::optional<QDateTime> due = scheduleDueAt(book, code, age);
        if (!due)
            return now; // never fetched and not backing off: due at once
        if (!nextSchedule || *due < *nextSchedule)
            nextSchedule = due;
    }
    std::optional<QDateTime> nextKickOff;
    for (const FootballMatch &match : matches) {
        if (selected.contains(match.competition.code) && !match.isFinished() && match.utcDate > now
            && (!nextKickOff || match.utcDate < *nextKickOff))
            nextKickOff = match.utcDate;
    }
    return nextKickOff && *nextKickOff < *nextSchedule ? *nextKickOff : *nextSchedule;
}

} // namespace

bool isActive(const FootballMatch &match, const QSet<QString> &selected, const QDateTime &time)
{
    return selected.contains(match.competition.code) && match.isInLiveWindow(time);
}

qint64 scheduleAge(const QList<FootballMatch> &matches, const QSet<QString> &selected, const QDateTime &time)
{
    const QDateTime horizon = time.addSecs(lookAhead);
    const bool kickOffSoon = std::ranges::any_of(matches, [&](const FootballMatch &match) {
        return selected.contains(match.competition.code) && !match.isFinished() && time <= match.utcDate
            && match.utcDate <= horizon;
    });
    return kickOffSoon ? shortScheduleAge : longScheduleAge;
}

bool isScheduleDue(const SourceBookkeeping &book, const QString &code, qint64 age, const QDateTime &time)
{
    const std::optional<QDateTime> due = scheduleDueAt(book, code, age);
    return !due || time >= *due;
}

ScheduleWindow scheduleWindow(const QDateTime &now, const QTimeZone &zone)
{
    const QDate today = now.toTimeZone(zone).date();
    const QDateTime start = today.startOfDay(zone);
    QDateTime end = today.addDays(scheduleWindowDays).startOfDay(zone);
    if (!end.isValid())
        end = start.addSecs(scheduleWindowDays * 86400);
    return {start, end};
}

std::optional<double> nextRefreshDelay(const RibbexSettings &settings, const QList<FootballMatch> &matches,
    const SourceBookkeeping &book, const QDateTime &now)
{
    const QSet<QString> selected = settings.selectedFootballCodes();
    if (!settings.isEnabled(TickerSource::football) || selected.isEmpty())
        return std::nullopt;
    QList<FootballMatch> active;
    std::ranges::copy_if(matches, std::back_inserter(active),
        [&](const FootballMatch &match) { return isActive(match, selected, now); });
    const QDateTime target
        = active.isEmpty() ? nextScheduleOrKickOff(selected, matches, book, now) : nextLivePoll(active, book, now);
    return std::max(static_cast<double>(now.msecsTo(target)) / 1000.0, 1.0);
}

} // namespace ribbex::footballPacing
