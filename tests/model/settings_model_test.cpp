#include "model/match_texts.h"
#include "support/full_disk.h"
#include "support/model_home.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class SettingsModelTest : public ModelTest {
protected:
    QString settingsPath() const { return settingsStore.pathFor(RibbexSettings::preferencesKey); }
};

TEST_F(SettingsModelTest, OnlyAFirstLaunchSavesDefaultsWithEveryCompetitionAndRegistersTheLoginItemIfAllowed)
{
    for (const bool allowed : {true, false}) {
        QDir(home.configDir()).removeRecursively();
        reopen();
        mayRegisterLoginItem = allowed;
        RibbexSettings expected;
        expected.selectedFootballCompetitions = allFootballCompetitionSet();
        EXPECT_EQ(model().settings(), expected);
        EXPECT_EQ(stored(), expected);
        EXPECT_EQ(loginItems.status(), allowed ? LoginItemStatus::enabled : LoginItemStatus::notRegistered);
    }
    reopen();
    mayRegisterLoginItem = true;
    model();
    EXPECT_EQ(loginItems.status(), LoginItemStatus::notRegistered);
}

TEST_F(SettingsModelTest, StartupAdjustmentsAreSavedAndAnEmptySelectionStaysAChoice)
{
    RibbexSettings settings;
    settings.startsHidden = true;
    settings.weatherResolveNameWithApple = false;
    settings.selectedFootballCompetitions = FootballCompetitionSet {};
    store(settings);

    EXPECT_FALSE(model().settings().isVisible);
    EXPECT_EQ(model().settings().weatherResolveNameWithApple, true);
    EXPECT_EQ(model().settings().selectedFootballCompetitions, FootballCompetitionSet {});
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(SettingsModelTest, AnUnreadableDocumentIsKeptBesideTheDefaultsOnlyOnce)
{
    const QString unreadable = settingsPath() + u".unreadable"_s;
    const QByteArray undecodable = "{\"version\": 13, \"style\": \"Neon\"}";
    storeBytes(undecodable);
    // Only the document found at start-up is kept; later saves leave the copy alone.
    model().updateColor(SettingsModel::ColorField::text, u"#FFFFFF"_s);
    EXPECT_EQ(readFile(unreadable), undecodable);
    EXPECT_FALSE(QFileInfo::exists(unreadable + u".1"_s));
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(SettingsModelTest, AChangeIsSavedAndAnnouncedOnceEvenWithATransparencyJsonCannotHold)
{
    ChangeCounter counter(model());
    // NaN would make every save fail.
    model().setBackgroundTransparency(std::nan(""));
    EXPECT_EQ(counter.onChangeCalls, 1);
    EXPECT_EQ(counter.changeSignals, 1);
    EXPECT_EQ(model().saveStatus(), QString());
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(SettingsModelTest, StartingOnAFullDiskLeavesEveryDocumentAsItWas)
{
    FullDisk disk(home.configDir());
    const QString unreadable = settingsPath() + u".unreadable"_s;
    writeFile(unreadable, "an earlier unreadable document");
    RibbexSettings version12;
    version12.version = 12;
    const std::pair<const char *, QByteArray> cases[] = {
        // The copy could not be kept, so the document must not be saved over.
        {"undecodable", "{\"version\": 13, \"style\": \"Neon\"}"},
        // The migration writes back at once, before the model exists.
        {"version 12", *encodeSettings(version12)},
    };
    for (const auto &[name, document] : cases) {
        SCOPED_TRACE(name);
        reopen();
        storeBytes(document);
        disk.fill();
        EXPECT_EQ(model().saveStatus(), u"Couldn't save settings \u00B7 "_s + disk.reason());
        EXPECT_EQ(readFile(settingsPath()), document);
        EXPECT_EQ(readFile(unreadable), "an earlier unreadable document");
        EXPECT_EQ(QDir(home.ribbexConfigDir()).entryList(QDir::Files | QDir::Hidden),
            (QStringList {u"ribbex.settings.v1.json"_s, u"ribbex.settings.v1.json.unreadable"_s}));
        disk.makeRoom();
    }
}

// One match of the fixture cache; short names, the minute and the scores may be absent.
QJsonObject cachedMatch(const QString &key = {}, const QJsonValue &value = QJsonValue::Undefined)
{
    QJsonObject match {{u"id"_s, u"704512"_s}, {u"utcDate"_s, 818272800.5}, {u"status"_s, u"IN_PLAY"_s},
        {u"minute"_s, 67}, {u"homeTeam"_s, QJsonObject {{u"name"_s, u"Arsenal"_s}, {u"shortName"_s, u"ARS"_s}}},
        {u"awayTeam"_s, QJsonObject {{u"name"_s, u"Chelsea"_s}}},
        {u"competition"_s, QJsonObject {{u"name"_s, u"England Premier League"_s}, {u"code"_s, u"eng.1"_s}}},
        {u"score"_s, QJsonObject {{u"fullTime"_s, QJsonObject {{u"home"_s, 2}}}}}};
    match.insert(key, value); // an undefined value removes the key
    return match;
}

QByteArray cacheDocument(const QJsonArray &fixtures, const QJsonValue &refreshedAt = QJsonObject {})
{
    return QJsonDocument(QJsonObject {{u"fixtures"_s, fixtures}, {u"scheduleRefreshedAt"_s, refreshedAt}}).toJson();
}

TEST(FixtureCache, ReadsTimesAsSecondsSince2001AndOptionalKeysAsAbsentAndRoundTrips)
{
    const std::optional<FootballFixtureCache> cache
        = decodeFixtureCache(cacheDocument({cachedMatch()}, QJsonObject {{u"eng.1"_s, 0}}));
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->fixtures,
        (QList<FootballMatch> {{u"704512"_s, QDateTime(QDate(2026, 12, 6), QTime(18, 0, 0, 500), QTimeZone::utc()),
            u"IN_PLAY"_s, 67, {u"Arsenal"_s, u"ARS"_s}, {u"Chelsea"_s, std::nullopt},
            {u"England Premier League"_s, u"eng.1"_s}, {{2, std::nullopt}}}}));
    EXPECT_EQ(
        cache->scheduleRefreshedAt.value(u"eng.1"_s), QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()));

    EXPECT_EQ(decodeFixtureCache(encodeFixtureCache(*cache)), cache);
}

TEST(FixtureCache, OneBadMatchOrMissingKeyMakesTheWholeDocumentUnreadable)
{
    const std::pair<const char *, QByteArray> cases[] = {
        {"no status", cacheDocument({cachedMatch(), cachedMatch(u"status"_s)})},
        {"minute with a fraction", cacheDocument({cachedMatch(u"minute"_s, 67.5)})},
        {"date as text", cacheDocument({cachedMatch(u"utcDate"_s, u"2026-12-06T18:00:00Z"_s)})},
        {"date beyond any calendar", cacheDocument({cachedMatch(u"utcDate"_s, 1e300)})},
        {"team without name", cacheDocument({cachedMatch(u"awayTeam"_s, QJsonObject {{u"shortName"_s, u"CHE"_s}})})},
        {"score as text", cacheDocument({cachedMatch(u"score"_s, u"2-1"_s)})},
        {"no scheduleRefreshedAt", cacheDocument({cachedMatch()}, QJsonValue::Undefined)},
        {"refresh time as text", cacheDocument({}, QJsonObject {{u"eng.1"_s, u"yesterday"_s}})},
        {"fixtures not an array", QByteArray(R"({"fixtures": {}, "scheduleRefreshedAt": {}})")},
    };
    for (const auto &[name, document] : cases)
        EXPECT_EQ(decodeFixtureCache(document), std::nullopt) << name;
}

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
    edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::news}; });
    for (const auto &c : cases) {
        edit([&](RibbexSettings &s) { s.newsHeadlineCount = c.count; });
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
