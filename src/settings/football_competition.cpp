#include "settings/football_competition.h"

#include <algorithm>
#include <array>

namespace ribbex {

namespace {

struct CompetitionRow {
    FootballCompetition competition;
    QStringView id;
    QStringView title;
};

constexpr std::array<CompetitionRow, 14> competitionTable {{
    {FootballCompetition::premierLeague, u"eng.1", u"England Premier League"},
    {FootballCompetition::championship, u"eng.2", u"England Championship"},
    {FootballCompetition::leagueOne, u"eng.3", u"England League 1"},
    {FootballCompetition::leagueTwo, u"eng.4", u"England League 2"},
    {FootballCompetition::carabaoCup, u"eng.league_cup", u"England Carabao Cup"},
    {FootballCompetition::faCup, u"eng.fa", u"England FA Cup"},
    {FootballCompetition::scottishPremiership, u"sco.1", u"Scotland Premiership"},
    {FootballCompetition::bundesliga, u"ger.1", u"Germany Bundesliga"},
    {FootballCompetition::laLiga, u"esp.1", u"Spain La Liga"},
    {FootballCompetition::serieA, u"ita.1", u"Italy Serie A"},
    {FootballCompetition::ligue1, u"fra.1", u"France Ligue 1"},
    {FootballCompetition::championsLeague, u"uefa.champions", u"Uefa Champions League"},
    {FootballCompetition::europaLeague, u"uefa.europa", u"Uefa Europa League"},
    {FootballCompetition::conferenceLeague, u"uefa.europa.conf", u"Uefa Conference League"},
}};

static_assert(
    [] {
        for (std::size_t i = 0; i < competitionTable.size(); ++i) {
            if (static_cast<std::size_t>(competitionTable[i].competition) != i)
                return false;
        }
        return true;
    }(),
    "rows are indexed by their enumeration value");

const CompetitionRow &rowOf(FootballCompetition competition)
{
    return competitionTable[static_cast<std::size_t>(competition)];
}

} // namespace

QString id(FootballCompetition competition)
{
    return rowOf(competition).id.toString();
}

QString title(FootballCompetition competition)
{
    return rowOf(competition).title.toString();
}

std::optional<FootballCompetition> footballCompetitionFromId(QStringView code)
{
    const auto it = std::ranges::find(competitionTable, code, &CompetitionRow::id);
    return it == competitionTable.end() ? std::nullopt : std::optional(it->competition);
}

const QList<FootballCompetition> &allFootballCompetitions()
{
    static const QList<FootballCompetition> all = [] {
        QList<FootballCompetition> list;
        for (const auto &row : competitionTable)
            list.append(row.competition);
        return list;
    }();
    return all;
}

FootballCompetitionSet allFootballCompetitionSet()
{
    const auto &all = allFootballCompetitions();
    return {all.begin(), all.end()};
}

} // namespace ribbex
