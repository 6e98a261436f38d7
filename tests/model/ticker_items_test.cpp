#include "model_fixture.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class TickerItemsTest : public ModelTest {
protected:
    void SetUp() override { model = makeModel(); }

    void enableOnly(std::set<TickerSource> sources, std::function<void(RibbexSettings &)> edit = {})
    {
        RibbexSettings settings = model->settings();
        settings.enabledSources = std::move(sources);
        if (edit)
            edit(settings);
        model->setSettings(settings);
    }

    FootballMatch match(const QString &id, qint64 secondsFromNow, const QString &status = matchStatus::scheduled,
        const QString &code = u"eng.1"_s)
    {
        return {id, clock.now().addSecs(secondsFromNow), status, std::nullopt, {u"Home"_s, u"HOM"_s},
            {u"Away"_s, u"AWY"_s}, {u"Competition "_s + code, code}, {}};
    }

    QStringList ids() const
    {
        QStringList list;
        for (const TickerItem &item : model->items())
            list << item.id;
        return list;
    }

    std::unique_ptr<SettingsModel> model;
};

TEST_F(TickerItemsTest, DefaultsShowTheStatusOfNewsAndWeather)
{
    const QList<TickerItem> expected {
        {u"news-status"_s, TickerSource::news, u"BBC News \u00B7 Not refreshed yet"_s, std::nullopt, std::nullopt},
        {u"weather-status"_s, TickerSource::weather, u"Weather \u00B7 Choose current location or enter a city"_s,
            std::nullopt, std::nullopt},
    };
    EXPECT_EQ(model->items(), expected);

    enableOnly({});
    EXPECT_TRUE(model->items().isEmpty());
    enableOnly({TickerSource::rss});
    EXPECT_TRUE(model->items().isEmpty());
}

TEST_F(TickerItemsTest, SourcesComeInFixedOrderWithTheirData)
{
    enableOnly({TickerSource::weather, TickerSource::football, TickerSource::news, TickerSource::spotify});
    model->setSpotifyTrack(SpotifyNowPlaying {u"Song"_s, u"Artist"_s, std::nullopt});
    model->setWeatherSnapshot(
        WeatherSnapshot {-3, u"C"_s, u"Snow"_s, WeatherConditionIcon::snow, u"Oslo"_s, clock.now()});
    model->setNewsHeadlines({{u"Headline"_s, QUrl(u"https://example.org/a?b=c d"_s)}});

    const QList<TickerItem> items = model->items();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0],
        (TickerItem {u"spotify-now-playing"_s, TickerSource::spotify, u"Song"_s, u"Artist"_s, QUrl(u"spotify:"_s)}));
    EXPECT_EQ(items[1],
        (TickerItem {u"news-https://example.org/a?b=c%20d"_s, TickerSource::news, u"Headline"_s, u"BBC News"_s,
            QUrl(u"https://example.org/a?b=c d"_s)}));
    EXPECT_EQ(items[2],
        (TickerItem {u"weather-current"_s, TickerSource::weather, u"-3\u00B0C \uFFFC Oslo"_s, std::nullopt,
            QUrl(u"weather://"_s)}));
    EXPECT_EQ(items[3],
        (TickerItem {u"football-status"_s, TickerSource::football, u"Football \u00B7 Not refreshed yet"_s,
            u"Not refreshed yet"_s, std::nullopt}));

    model->setSpotifyTrack(std::nullopt);
    model->setSpotifyStatus(u"Not running"_s);
    EXPECT_EQ(model->items()[0].text, u"Spotify \u00B7 Not running"_s);
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
        enableOnly({TickerSource::news}, [&](RibbexSettings &s) { s.newsHeadlineCount = c.count; });
        model->setNewsHeadlines(ten.first(c.held));
        const QList<TickerItem> items = model->items();
        ASSERT_EQ(items.size(), c.shown) << c.count.value_or(-1);
        EXPECT_EQ(items.last().id, u"news-Title %1"_s.arg(c.shown - 1));
        EXPECT_EQ(items.last().actionURL, std::nullopt);
    }
}

TEST_F(TickerItemsTest, CustomFeedWithoutUsableAddressNamesTheCustomFeed)
{
    enableOnly({TickerSource::news}, [](RibbexSettings &s) {
        s.newsFeedID = u"custom"_s;
        s.customNewsFeedURL = u"ftp://example.org/feed"_s;
    });
    model->setNewsStatus(u"Enter a valid feed address"_s);
    EXPECT_EQ(model->items().first().text, u"Custom RSS \u00B7 Enter a valid feed address"_s);

    model->setNewsHeadlines({{u"Title"_s, std::nullopt}});
    EXPECT_EQ(model->items().first().detail, std::nullopt);

    enableOnly({TickerSource::news}, [](RibbexSettings &s) { s.customNewsFeedURL = u"HTTPS://example.org/rss"_s; });
    EXPECT_EQ(model->items().first().detail, u"Custom RSS"_s);
}

TEST_F(TickerItemsTest, FootballWindowKeepsLiveAndNextDayFixturesOfSelectedCompetitions)
{
    enableOnly({TickerSource::football});
    const struct {
        const char16_t *id;
        qint64 fromNow;
        const QString &status;
        const char16_t *code;
        bool kept;
    } cases[] = {
        {u"kick-off-now", 0, matchStatus::scheduled, u"eng.1", true},
        {u"two-hours-in-play", -7200, matchStatus::inPlay, u"eng.1", true},
        {u"two-hours-finished", -7200, matchStatus::finished, u"eng.1", false},
        {u"finished-now", 0, matchStatus::finished, u"eng.1", false},
        {u"just-inside-live", -8999, matchStatus::paused, u"eng.1", true},
        {u"live-window-over", -9000, matchStatus::inPlay, u"eng.1", false},
        {u"three-hours-in-play", -10800, matchStatus::inPlay, u"eng.1", false},
        {u"in-23-hours", 23 * 3600, matchStatus::scheduled, u"eng.1", true},
        {u"in-24-hours", 24 * 3600, matchStatus::scheduled, u"eng.1", true},
        {u"just-past-24-hours", 24 * 3600 + 1, matchStatus::scheduled, u"eng.1", false},
        {u"in-25-hours", 25 * 3600, matchStatus::scheduled, u"eng.1", false},
        {u"upcoming-but-finished", 600, matchStatus::finished, u"eng.1", true},
        {u"unknown-competition", 600, matchStatus::scheduled, u"usa.1", false},
    };
    for (const auto &c : cases) {
        model->setFootballMatches({match(QString::fromUtf16(c.id), c.fromNow, c.status, QString::fromUtf16(c.code))});
        const QStringList expected
            = c.kept ? QStringList {u"football-"_s + QString::fromUtf16(c.id)} : QStringList {u"football-status"_s};
        EXPECT_EQ(ids(), expected) << QString::fromUtf16(c.id).toStdString();
    }

    enableOnly({TickerSource::football}, [](RibbexSettings &s) {
        s.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::bundesliga};
    });
    model->setFootballMatches({match(u"eng"_s, 600), match(u"ger"_s, 600, matchStatus::scheduled, u"ger.1"_s)});
    EXPECT_EQ(ids(), QStringList {u"football-ger"_s});
}

TEST_F(TickerItemsTest, LiveFixturesComeFirstThenKickOffOrderAndAtMostSixteen)
{
    enableOnly({TickerSource::football});
    QList<FootballMatch> matches {
        match(u"later"_s, 7200),
        match(u"live-late"_s, -600, matchStatus::extraTime),
        match(u"sooner"_s, 3600),
        match(u"live-early"_s, -3000, matchStatus::penaltyShootout),
        match(u"not-live"_s, -60, matchStatus::scheduled),
    };
    model->setFootballMatches(matches);
    EXPECT_EQ(ids(),
        (QStringList {u"football-live-early"_s, u"football-live-late"_s, u"football-not-live"_s, u"football-sooner"_s,
            u"football-later"_s}));

    for (int i = 0; i < 20; ++i)
        matches.append(match(u"extra-%1"_s.arg(i), 10000 + i));
    model->setFootballMatches(matches);
    const QStringList kept = ids();
    ASSERT_EQ(kept.size(), 16);
    EXPECT_EQ(kept.last(), u"football-extra-10"_s);
}

TEST_F(TickerItemsTest, FootballTextsFollowTheZoneSetting)
{
    enableOnly({TickerSource::football});
    FootballMatch live = match(u"1"_s, -4020, matchStatus::inPlay);
    live.score.fullTime = {2, 1};
    live.minute = 67;
    model->setFootballMatches({live, match(u"2"_s, 3600)});
    model->setFootballStatus(u"Monitoring 1 live fixture"_s);

    QList<TickerItem> items = model->items();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].text, u"HOM 2\u20131 AWY \u00B7 67\u2032"_s);
    EXPECT_EQ(items[0].detail, u"Competition eng.1"_s);
    EXPECT_EQ(items[1].text, u"HOM v AWY \u00B7 16:00"_s);

    enableOnly({TickerSource::football}, [](RibbexSettings &s) { s.separateFootballZone = true; });
    items = model->items();
    EXPECT_EQ(items[0].text, u"HOM 2-1 AWY"_s);
    EXPECT_EQ(items[1].text, u"HOM - AWY"_s);

    model->setFootballMatches({});
    EXPECT_EQ(model->items(),
        (QList<TickerItem> {{u"football-status"_s, TickerSource::football, u"NO FIXTURES"_s,
            u"Monitoring 1 live fixture"_s, std::nullopt}}));
}

} // namespace
} // namespace ribbex::test
