#include "model/match_texts.h"
#include "support/model_home.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class TickerItemsTest : public ModelTest {
protected:
    void SetUp() override
    {
        edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::football}; });
    }

    FootballMatch match(const QString &id, qint64 secondsFromNow, const QString &status = matchStatus::scheduled,
        const QString &code = u"eng.1"_s)
    {
        return {id, clock.now().addSecs(secondsFromNow), status, std::nullopt, {u"Home"_s, u"HOM"_s},
            {u"Away"_s, u"AWY"_s}, {u"Competition "_s + code, code}, {}};
    }

    QStringList list(QString TickerItem::*field)
    {
        QStringList values;
        for (const TickerItem &item : model().items())
            values << item.*field;
        return values;
    }
};

TEST_F(TickerItemsTest, SourcesComeInFixedOrderWithTheirDataOrElseTheirStatus)
{
    edit([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::weather, TickerSource::football, TickerSource::news, TickerSource::spotify};
    });
    model().setSpotifyStatus(u"Not running"_s);
    model().setNewsStatus(u"Offline"_s);
    model().setWeatherStatus(u"No city"_s);
    model().setFootballStatus(u"Updated"_s);
    EXPECT_EQ(list(&TickerItem::text),
        (QStringList {u"Spotify \u00B7 Not running"_s, u"BBC News \u00B7 Offline"_s, u"Weather \u00B7 No city"_s,
            u"Football \u00B7 Updated"_s}));

    model().setSpotifyTrack(SpotifyNowPlaying {u"Song"_s, u"Artist"_s, std::nullopt});
    model().setWeatherSnapshot(WeatherSnapshot {-3, u"C"_s, u"Snow"_s, WeatherConditionIcon::snow, u"Oslo"_s, {}});
    model().setNewsHeadlines({{u"Headline"_s, QUrl(u"https://example.org/a?b=c d"_s)}});
    EXPECT_EQ(list(&TickerItem::text),
        (QStringList {u"Song"_s, u"Headline"_s, u"-3\u00B0C \uFFFC Oslo"_s, u"Football \u00B7 Updated"_s}));
    EXPECT_EQ(model().items()[1],
        (TickerItem {u"news-https://example.org/a?b=c%20d"_s, TickerSource::news, u"Headline"_s, u"BBC News"_s,
            QUrl(u"https://example.org/a?b=c d"_s)}));

    edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::rss}; });
    EXPECT_TRUE(model().items().isEmpty());
}

TEST_F(TickerItemsTest, HeadlineCountIsClampedAndLimitedByWhatIsHeld)
{
    QList<NewsHeadline> ten;
    for (int i = 0; i < 10; ++i)
        ten.append({u"Title %1"_s.arg(i), std::nullopt});
    const struct {
        std::optional<qint64> count;
        qsizetype held;
        qsizetype shown;
    } cases[] = {{1, 10, 2}, {12, 10, 7}, {std::nullopt, 10, 5}, {7, 3, 3}, {4, 10, 4}, {-5, 10, 2}};
    for (const auto &c : cases) {
        edit([&](RibbexSettings &s) {
            s.enabledSources = {TickerSource::news};
            s.newsHeadlineCount = c.count;
        });
        model().setNewsHeadlines(ten.first(c.held));
        const QStringList ids = list(&TickerItem::id);
        ASSERT_EQ(ids.size(), c.shown) << c.count.value_or(-1);
        EXPECT_EQ(ids.last(), u"news-Title %1"_s.arg(c.shown - 1));
    }
}

TEST_F(TickerItemsTest, FootballWindowKeepsLiveAndNextDayFixturesOfSelectedCompetitions)
{
    const struct {
        const char16_t *id;
        qint64 fromNow;
        const QString &status;
        const char16_t *code;
        bool kept;
    } cases[] = {
        {u"kick-off-now", 0, matchStatus::scheduled, u"eng.1", true},
        {u"two-hours-in-play", -7200, matchStatus::inPlay, u"eng.1", true},
        {u"finished-now", 0, matchStatus::finished, u"eng.1", false},
        {u"just-inside-live", -8999, matchStatus::paused, u"eng.1", true},
        {u"live-window-over", -9000, matchStatus::inPlay, u"eng.1", false},
        {u"in-24-hours", 24 * 3600, matchStatus::scheduled, u"eng.1", true},
        {u"just-past-24-hours", 24 * 3600 + 1, matchStatus::scheduled, u"eng.1", false},
        {u"upcoming-but-finished", 600, matchStatus::finished, u"eng.1", true},
        {u"unknown-competition", 600, matchStatus::scheduled, u"usa.1", false},
    };
    for (const auto &c : cases) {
        const QString id = QString::fromUtf16(c.id);
        model().setFootballMatches({match(id, c.fromNow, c.status, QString::fromUtf16(c.code))});
        EXPECT_EQ(list(&TickerItem::id), QStringList {c.kept ? u"football-"_s + id : u"football-status"_s})
            << id.toStdString();
    }

    edit([](RibbexSettings &s) {
        s.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::bundesliga};
    });
    model().setFootballMatches({match(u"eng"_s, 600), match(u"ger"_s, 600, matchStatus::scheduled, u"ger.1"_s)});
    EXPECT_EQ(list(&TickerItem::id), QStringList {u"football-ger"_s});
}

TEST_F(TickerItemsTest, LiveFixturesComeFirstThenKickOffOrderAndAtMostSixteen)
{
    QList<FootballMatch> matches {match(u"later"_s, 7200), match(u"live-late"_s, -600, matchStatus::extraTime),
        match(u"not-live"_s, -60), match(u"live-early"_s, -3000, matchStatus::penaltyShootout)};
    model().setFootballMatches(matches);
    EXPECT_EQ(list(&TickerItem::id),
        (QStringList {u"football-live-early"_s, u"football-live-late"_s, u"football-not-live"_s, u"football-later"_s}));

    for (int i = 0; i < 20; ++i)
        matches.append(match(u"extra-%1"_s.arg(i), 10000 + i));
    model().setFootballMatches(matches);
    ASSERT_EQ(list(&TickerItem::id).size(), 16);
    EXPECT_EQ(list(&TickerItem::id).last(), u"football-extra-11"_s);
}

TEST(MatchTexts, AResultOnlyWhenInPlayOrOverWithBothScores)
{
    const QDateTime kickOff(QDate(2026, 12, 6), QTime(20, 0), QTimeZone::utc());
    const auto fixture = [&](const QString &status, std::optional<qint64> homeGoals, std::optional<qint64> awayGoals) {
        return FootballMatch {u"1"_s, kickOff, status, 67, {u"Home"_s, u"HOM"_s}, {u"Away"_s, std::nullopt},
            {u"Competition"_s, u"eng.1"_s}, {{homeGoals, awayGoals}}};
    };
    const struct {
        FootballMatch match;
        const char16_t *ticker;
        const char16_t *zone;
    } cases[] = {
        {fixture(matchStatus::finished, 3, 0), u"HOM 3\u20130 Away \u00B7 67\u2032", u"HOM 3-0 Away"},
        {fixture(matchStatus::paused, 0, 0), u"HOM 0\u20130 Away \u00B7 67\u2032", u"HOM 0-0 Away"},
        {fixture(matchStatus::inPlay, 2, std::nullopt), u"HOM v Away \u00B7 20:00", u"HOM - Away"},
        {fixture(matchStatus::scheduled, 2, 1), u"HOM v Away \u00B7 20:00", u"HOM - Away"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(tickerText(c.match, QTimeZone::utc()), QString::fromUtf16(c.ticker));
        EXPECT_EQ(footballZoneText(c.match), QString::fromUtf16(c.zone));
    }
}

} // namespace
} // namespace ribbex::test
