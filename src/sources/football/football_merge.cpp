#include "sources/football/football_merge.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace ribbex {

namespace {

bool kicksOffEarlier(const FootballMatch &a, const FootballMatch &b)
{
    return a.utcDate < b.utcDate;
}

// The position of the last entry of each id.
QHash<QString, qsizetype> lastIndexById(const QList<FootballMatch> &matches)
{
    QHash<QString, qsizetype> index;
    index.reserve(matches.size());
    for (qsizetype i = 0; i < matches.size(); ++i)
        index.insert(matches[i].id, i);
    return index;
}

} // namespace

QList<FootballMatch> mergeFootballFixtures(const QList<FootballMatch> &current, const QList<FootballMatch> &fetched,
    FootballCompetition competition, const QDateTime &windowStart, const QDateTime &windowEnd)
{
    const QString code = id(competition);
    QList<FootballMatch> combined;
    combined.reserve(current.size() + fetched.size());
    std::ranges::copy_if(current, std::back_inserter(combined), [&](const FootballMatch &match) {
        return match.competition.code != code || match.utcDate < windowStart || match.utcDate > windowEnd;
    });
    combined.append(fetched);

    const QHash<QString, qsizetype> last = lastIndexById(combined);
    QList<FootballMatch> merged;
    merged.reserve(last.size());
    for (qsizetype i = 0; i < combined.size(); ++i) {
        if (last.value(combined[i].id) == i)
            merged.append(std::move(combined[i]));
    }
    std::ranges::stable_sort(merged, kicksOffEarlier);
    return merged;
}

QList<FootballMatch> mergeFootballFixtures(
    const QList<FootballMatch> &current, const QList<FootballMatch> &fetched, const QString &competitionCode)
{
    const QHash<QString, qsizetype> fetchedIndex = lastIndexById(fetched);
    QList<FootballMatch> merged = current;
    QSet<QString> known;
    known.reserve(merged.size());
    for (FootballMatch &match : merged) {
        known.insert(match.id);
        if (const auto it = fetchedIndex.constFind(match.id); it != fetchedIndex.constEnd())
            match = fetched[*it];
    }
    std::ranges::stable_sort(merged, kicksOffEarlier);
    // New matches go after the sorted ones without sorting again, once each, in their latest form.
    for (const FootballMatch &match : fetched) {
        if (match.competition.code == competitionCode && !known.contains(match.id)) {
            known.insert(match.id);
            merged.append(fetched[fetchedIndex.value(match.id)]);
        }
    }
    return merged;
}

} // namespace ribbex
