#include "settings/enumerations.h"
#include "settings/football_competition.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

TEST(Enumerations, RawValuesRoundTripAndUnknownValuesGiveNothing)
{
    for (const TickerSource source :
        {TickerSource::spotify, TickerSource::football, TickerSource::news, TickerSource::rss, TickerSource::weather})
        EXPECT_EQ(fromRawValue<TickerSource>(rawValue(source)), source);
    for (const TickerStyle style : allCases<TickerStyle>())
        EXPECT_EQ(fromRawValue<TickerStyle>(title(style)), style);
    for (const TickerLayout layout : allCases<TickerLayout>())
        EXPECT_EQ(fromRawValue<TickerLayout>(title(layout)), layout);

    EXPECT_EQ(fromRawValue<TickerSource>(u"News"), std::nullopt);
    EXPECT_EQ(fromRawValue<TickerStyle>(u"classic"), std::nullopt);
    EXPECT_EQ(fromRawValue<TickerStyle>(u"Classic"), TickerStyle::classic);
    EXPECT_EQ(fromRawValue<TickerStyle>(u"LED inspired"), TickerStyle::led);
    EXPECT_EQ(fromRawValue<TickerLayout>(u"Grouped by source"), TickerLayout::grouped);
}

TEST(Enumerations, OfferedSourcesLeaveOutRss)
{
    const QList<TickerSource> expected {
        TickerSource::news, TickerSource::spotify, TickerSource::football, TickerSource::weather};
    EXPECT_EQ(allCases<TickerSource>(), expected);
    EXPECT_EQ(symbolName(TickerSource::football), u"sportscourt");
}

TEST(Enumerations, RefreshIntervalAcceptsExactlyItsFourValues)
{
    const std::pair<qint64, std::optional<NewsRefreshInterval>> cases[] = {
        {900, NewsRefreshInterval::fifteenMinutes},
        {1800, NewsRefreshInterval::thirtyMinutes},
        {3600, NewsRefreshInterval::oneHour},
        {7200, NewsRefreshInterval::twoHours},
        {1200, std::nullopt},
        {0, std::nullopt},
        {-900, std::nullopt},
    };
    for (const auto &[seconds, expected] : cases)
        EXPECT_EQ(newsRefreshIntervalFromSeconds(seconds), expected) << seconds;
    EXPECT_EQ(title(NewsRefreshInterval::oneHour), u"1 hour");
}

TEST(FootballCompetitions, FourteenInTableOrderFoundByExactId)
{
    const auto &all = allFootballCompetitions();
    ASSERT_EQ(all.size(), 14);
    EXPECT_EQ(id(all.first()), u"eng.1");
    EXPECT_EQ(title(all.first()), u"England Premier League");
    EXPECT_EQ(id(all.last()), u"uefa.europa.conf");
    EXPECT_EQ(title(FootballCompetition::carabaoCup), u"England Carabao Cup");
    for (const FootballCompetition competition : all)
        EXPECT_EQ(footballCompetitionFromId(id(competition)), competition);

    EXPECT_EQ(footballCompetitionFromId(u"ENG.1"), std::nullopt);
    EXPECT_EQ(footballCompetitionFromId(u"usa.1"), std::nullopt);
    EXPECT_EQ(footballCompetitionFromId(u""), std::nullopt);
}

} // namespace
} // namespace ribbex
