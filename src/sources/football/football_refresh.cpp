#include "sources/football/football_refresh.h"

#include "sources/football/football_merge.h"
#include "sources/football/football_pacing.h"

#include <QPointer>

#include <vector>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;
namespace pacing = footballPacing;

QString statusText(const QStringList &errors, qsizetype activeCount)
{
    if (!errors.isEmpty())
        return u"ESPN update issue \u00B7 "_s + errors.join(u"; "_s);
    if (activeCount > 0) {
        return u"Monitoring %1 live fixture%2 \u00B7 45-second updates"_s.arg(activeCount)
            .arg(activeCount == 1 ? QString() : u"s"_s);
    }
    return u"No Live Matches"_s;
}

// Awaits every task; each applies its own result when it completes, so results land in
// completion order while all requests are under way at once.
QCoro::Task<> awaitAll(std::vector<QCoro::Task<>> tasks)
{
    for (QCoro::Task<> &task : tasks)
        co_await task;
}

} // namespace

FootballRefresh::FootballRefresh(SettingsModel &model, ESPNFootballProvider &provider, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_provider(provider)
{
}

QCoro::Task<> FootballRefresh::refreshFootball()
{
    if (m_model.bookkeeping().isUpdatingFootball || !footballEnabled())
        co_return;
    if (m_model.settings().footballSelection().empty()) {
        setStatus(u"Select at least one competition"_s);
        co_return;
    }
    m_model.bookkeeping().isUpdatingFootball = true;
    const QPointer<FootballRefresh> self(this);
    Pass pass {m_model.clock().now(), {}};

    if (const QList<FootballCompetition> due = dueCompetitions(pass.now); !due.isEmpty()) {
        co_await runSchedulePhase(pass, due);
        if (!self)
            co_return;
        saveFootballFixtureCache();
    }
    // The settings may have changed while the schedules were fetched.
    if (footballEnabled()) {
        const QList<FootballMatch> active = activeFixtures(pass.now);
        if (!active.isEmpty()) {
            co_await runLivePhase(pass, active);
            if (!self)
                co_return;
            saveFootballFixtureCache();
        }
        setStatus(statusText(pass.errors, active.size()));
    }
    finishPass();
}

QCoro::Task<> FootballRefresh::refreshFootballSchedules()
{
    for (const FootballCompetition competition : m_model.settings().footballSelection())
        m_model.bookkeeping().footballScheduleRefreshedAt.remove(id(competition));
    co_await refreshFootball();
}

std::optional<double> FootballRefresh::nextFootballRefreshDelay(const QDateTime &now) const
{
    return pacing::nextRefreshDelay(m_model.settings(), m_model.footballMatches(), m_model.bookkeeping(), now);
}

void FootballRefresh::setFootballCompetition(FootballCompetition competition, bool enabled)
{
    RibbexSettings updated = m_model.settings();
    FootballCompetitionSet selected = updated.footballSelection();
    if (enabled) {
        selected.insert(competition);
        m_model.bookkeeping().footballScheduleRefreshedAt.remove(id(competition));
    } else {
        selected.erase(competition);
    }
    updated.selectedFootballCompetitions = selected;
    m_model.setSettings(updated);
    // Runs on by itself; the pass checks that this object still exists after each wait.
    refreshFootball();
}

void FootballRefresh::saveFootballFixtureCache()
{
    const FootballFixtureCache cache {pruneStaleFixtures(m_model.footballMatches(), m_model.clock().now()),
        m_model.bookkeeping().footballScheduleRefreshedAt};
    // The cache is only a head start for the next launch; failing to write it is not worth a word.
    (void)m_model.cacheStore().write(FootballFixtureCache::preferencesKey, encodeFixtureCache(cache));
}

QCoro::Task<> FootballRefresh::runSchedulePhase(Pass &pass, QList<FootballCompetition> due)
{
    const pacing::ScheduleWindow window = pacing::scheduleWindow(pass.now, m_model.clock().timeZone());
    std::vector<QCoro::Task<>> tasks;
    tasks.reserve(static_cast<std::size_t>(due.size()));
    for (const FootballCompetition competition : due)
        tasks.push_back(fetchSchedule(pass, competition, window.start, window.end));
    co_await awaitAll(std::move(tasks));
}

QCoro::Task<> FootballRefresh::fetchSchedule(
    Pass &pass, FootballCompetition competition, QDateTime windowStart, QDateTime windowEnd)
{
    const QPointer<FootballRefresh> self(this);
    const ESPNResult<QList<FootballMatch>> result = co_await m_provider.scoreboard(competition, windowStart, windowEnd);
    if (!self)
        co_return;
    SourceBookkeeping &book = m_model.bookkeeping();
    const QString code = id(competition);
    if (!result) {
        pass.errors.append(title(competition) + u": " + result.error().description());
        // Any failure, a rate limit included, waits five minutes.
        book.footballScheduleRetryAfter.insert(code, pass.now.addSecs(pacing::scheduleRetryBackOff));
        co_return;
    }
    m_model.setFootballMatches(
        mergeFootballFixtures(m_model.footballMatches(), *result, competition, windowStart, windowEnd));
    book.footballScheduleRefreshedAt.insert(code, pass.now);
    book.footballScheduleRetryAfter.remove(code);
    // A schedule that already shows a running match stands in for this pass's live request.
    if (std::ranges::any_of(*result, [&](const FootballMatch &match) { return match.isInLiveWindow(pass.now); }))
        book.footballScorePolledAt.insert(code, pass.now);
}

QCoro::Task<> FootballRefresh::runLivePhase(Pass &pass, QList<FootballMatch> active)
{
    QMap<QString, QList<FootballMatch>> groups;
    for (const FootballMatch &match : active)
        groups[match.competition.code].append(match);
    QMap<QString, QDateTime> &polledAt = m_model.bookkeeping().footballScorePolledAt;
    std::vector<QCoro::Task<>> tasks;
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        const std::optional<FootballCompetition> competition = footballCompetitionFromId(group.key());
        const auto polled = polledAt.constFind(group.key());
        if (!competition || (polled != polledAt.cend() && polled->msecsTo(pass.now) < pacing::livePollInterval * 1000))
            continue;
        polledAt.insert(group.key(), pass.now);
        tasks.push_back(fetchScores(pass, *competition, group.value()));
    }
    co_await awaitAll(std::move(tasks));
}

QCoro::Task<> FootballRefresh::fetchScores(Pass &pass, FootballCompetition competition, QList<FootballMatch> fixtures)
{
    const QPointer<FootballRefresh> self(this);
    const ESPNResult<QList<FootballMatch>> result = co_await m_provider.scores(competition, fixtures);
    if (!self)
        co_return;
    if (!result) {
        pass.errors.append(result.error().description());
        co_return;
    }
    m_model.setFootballMatches(mergeFootballFixtures(m_model.footballMatches(), *result, id(competition)));
}

bool FootballRefresh::footballEnabled() const
{
    return m_model.settings().isEnabled(TickerSource::football);
}

QList<FootballCompetition> FootballRefresh::dueCompetitions(const QDateTime &now) const
{
    const QSet<QString> selected = m_model.settings().selectedFootballCodes();
    const qint64 age = pacing::scheduleAge(m_model.footballMatches(), selected, now);
    const SourceBookkeeping &book = m_model.bookkeeping();
    QList<FootballCompetition> due;
    for (const FootballCompetition competition : m_model.settings().footballSelection()) {
        if (pacing::isScheduleDue(book, id(competition), age, now))
            due.append(competition);
    }
    return due;
}

QList<FootballMatch> FootballRefresh::activeFixtures(const QDateTime &now) const
{
    const QSet<QString> selected = m_model.settings().selectedFootballCodes();
    QList<FootballMatch> active;
    std::ranges::copy_if(m_model.footballMatches(), std::back_inserter(active),
        [&](const FootballMatch &match) { return pacing::isActive(match, selected, now); });
    return active;
}

void FootballRefresh::setStatus(const QString &status)
{
    if (m_model.footballStatus() != status)
        m_model.setFootballStatus(status);
}

void FootballRefresh::finishPass()
{
    m_model.bookkeeping().isUpdatingFootball = false;
    if (m_model.onFootballRefreshFinished)
        m_model.onFootballRefreshFinished();
}

} // namespace ribbex
