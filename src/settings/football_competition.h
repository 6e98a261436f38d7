#pragma once

// The fourteen football competitions Ribbex can follow. A competition's id is its raw value,
// its stored form and the league code of the scoreboard service.

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <set>

namespace ribbex {

enum class FootballCompetition {
    premierLeague,
    championship,
    leagueOne,
    leagueTwo,
    carabaoCup,
    faCup,
    scottishPremiership,
    bundesliga,
    laLiga,
    serieA,
    ligue1,
    championsLeague,
    europaLeague,
    conferenceLeague,
};

using FootballCompetitionSet = std::set<FootballCompetition>;

QString id(FootballCompetition competition);
QString title(FootballCompetition competition);
std::optional<FootballCompetition> footballCompetitionFromId(QStringView id);

// Every competition, in the order they are listed and iterated.
const QList<FootballCompetition> &allFootballCompetitions();
FootballCompetitionSet allFootballCompetitionSet();

} // namespace ribbex
