#pragma once

// The two ways a scoreboard answer is folded into the known fixtures: a schedule answer
// replaces its competition's window, a live answer updates matches in place.

#include "model/football_match.h"
#include "settings/football_competition.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ribbex {

// The competition's fixtures inside [windowStart, windowEnd] become exactly the fetched ones;
// everything else stays. One entry per id, the later one winning, ordered by kick-off.
QList<FootballMatch> mergeFootballFixtures(const QList<FootballMatch> &current, const QList<FootballMatch> &fetched,
    FootballCompetition competition, const QDateTime &windowStart, const QDateTime &windowEnd);

// Known matches take their fetched version in place (then a stable sort by kick-off); fetched
// matches of the competition that were unknown are appended at the end, in fetched order.
QList<FootballMatch> mergeFootballFixtures(
    const QList<FootballMatch> &current, const QList<FootballMatch> &fetched, const QString &competitionCode);

} // namespace ribbex
