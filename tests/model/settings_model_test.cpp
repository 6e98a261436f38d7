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

using SettingsModelTest = ModelTest;

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
    const QString unreadable = settingsStore.pathFor(RibbexSettings::preferencesKey) + u".unreadable"_s;
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
    const QString path = settingsStore.pathFor(RibbexSettings::preferencesKey);
    const QString unreadable = path + u".unreadable"_s;
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
        EXPECT_EQ(readFile(path), document);
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

TEST(FixtureCache, ReadsTimesAsSecondsSince2001AndOptionalKeysAsAbsentButOneBadMatchOrMissingKeyFailsTheWhole)
{
    const std::optional<FootballFixtureCache> cache
        = decodeFixtureCache(cacheDocument({cachedMatch()}, QJsonObject {{u"eng.1"_s, 0}}));
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->fixtures,
        (QList<FootballMatch> {
            {u"704512"_s, utc("2026-12-06T18:00:00.500Z"), u"IN_PLAY"_s, 67, {u"Arsenal"_s, u"ARS"_s},
                {u"Chelsea"_s, std::nullopt}, {u"England Premier League"_s, u"eng.1"_s}, {{2, std::nullopt}}}}));
    EXPECT_EQ(cache->scheduleRefreshedAt.value(u"eng.1"_s), utc("2001-01-01T00:00:00Z"));

    EXPECT_EQ(decodeFixtureCache(encodeFixtureCache(*cache)), cache);

    const std::pair<const char *, QByteArray> unreadable[] = {
        {"no status", cacheDocument({cachedMatch(), cachedMatch(u"status"_s)})},
        {"date beyond any calendar", cacheDocument({cachedMatch(u"utcDate"_s, 1e300)})},
        {"score as text", cacheDocument({cachedMatch(u"score"_s, u"2-1"_s)})},
        {"no scheduleRefreshedAt", cacheDocument({cachedMatch()}, QJsonValue::Undefined)},
        {"refresh time as text", cacheDocument({}, QJsonObject {{u"eng.1"_s, u"yesterday"_s}})},
        {"fixtures not an array", QByteArray(R"({"fixtures": {}, "scheduleRefreshedAt": {}})")},
    };
    for (const auto &[name, document] : unreadable)
        EXPECT_EQ(decodeFixtureCache(document), std::nullopt) << name;
}

class TickerItemsTest : public ModelTest {
protected:
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

TEST_F(TickerItemsTest, SourcesComeInFixedOrderWithTheirStatusUntilTheyHaveData)
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

    edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::rss}; });
    EXPECT_TRUE(model().items().isEmpty());
}

TEST_F(TickerItemsTest, HeadlineCountIsClampedAndLimitedByWhatIsHeld)
{
    QList<NewsHeadline> ten;
    for (int i = 0; i < 10; ++i)
        ten.append({u"Title %1"_s.arg(i), std::nullopt});
    // the stored count, the headlines held, the headlines shown
    const std::tuple<std::optional<qint64>, qsizetype, qsizetype> cases[]
        = {{1, 10, 2}, {12, 10, 7}, {std::nullopt, 10, 5}, {7, 3, 3}, {4, 10, 4}, {-5, 10, 2}};
    edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::news}; });
    for (const auto &[count, held, shown] : cases) {
        edit([&](RibbexSettings &s) { s.newsHeadlineCount = count; });
        model().setNewsHeadlines(ten.first(held));
        const QStringList ids = list(&TickerItem::id);
        ASSERT_EQ(ids.size(), shown) << count.value_or(-1);
        EXPECT_EQ(ids.last(), u"news-Title %1"_s.arg(shown - 1));
    }
}

TEST_F(TickerItemsTest, FootballKeepsLiveAndNextDayFixturesOfSelectedCompetitionsLiveFirstAndAtMostSixteen)
{
    edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::football}; });
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

    // the match, its kick-off from now, its status and competition, whether it is shown
    const std::tuple<QString, qint64, QString, QString, bool> cases[] = {
        {u"kick-off-now"_s, 0, matchStatus::scheduled, u"eng.1"_s, true},
        {u"finished-now"_s, 0, matchStatus::finished, u"eng.1"_s, false},
        {u"just-inside-live"_s, -8999, matchStatus::paused, u"eng.1"_s, true},
        {u"live-window-over"_s, -9000, matchStatus::inPlay, u"eng.1"_s, false},
        {u"in-24-hours"_s, 24 * 3600, matchStatus::scheduled, u"eng.1"_s, true},
        {u"just-past-24-hours"_s, 24 * 3600 + 1, matchStatus::scheduled, u"eng.1"_s, false},
        {u"upcoming-but-finished"_s, 600, matchStatus::finished, u"eng.1"_s, true},
        {u"unknown-competition"_s, 600, matchStatus::scheduled, u"usa.1"_s, false},
    };
    for (const auto &[id, fromNow, status, code, kept] : cases) {
        model().setFootballMatches({match(id, fromNow, status, code)});
        EXPECT_EQ(list(&TickerItem::id), QStringList {kept ? u"football-"_s + id : u"football-status"_s})
            << id.toStdString();
    }

    edit([](RibbexSettings &s) {
        s.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::bundesliga};
    });
    model().setFootballMatches({match(u"eng"_s, 600), match(u"ger"_s, 600, matchStatus::scheduled, u"ger.1"_s)});
    EXPECT_EQ(list(&TickerItem::id), QStringList {u"football-ger"_s});
}

TEST(MatchTexts, AResultOnlyWhenInPlayOrOverWithBothScores)
{
    const auto fixture = [](const QString &status, std::optional<qint64> homeGoals, std::optional<qint64> awayGoals) {
        return FootballMatch {u"1"_s, utc("2026-12-06T20:00:00Z"), status, 67, {u"Home"_s, u"HOM"_s},
            {u"Away"_s, std::nullopt}, {u"Competition"_s, u"eng.1"_s}, {{homeGoals, awayGoals}}};
    };
    // the match, its text on the ticker, in the football zone
    const std::tuple<FootballMatch, QString, QString> cases[] = {
        {fixture(matchStatus::finished, 3, 0), u"HOM 3\u20130 Away \u00B7 67\u2032"_s, u"HOM 3-0 Away"_s},
        {fixture(matchStatus::paused, 0, 0), u"HOM 0\u20130 Away \u00B7 67\u2032"_s, u"HOM 0-0 Away"_s},
        {fixture(matchStatus::inPlay, 2, std::nullopt), u"HOM v Away \u00B7 20:00"_s, u"HOM - Away"_s},
        {fixture(matchStatus::scheduled, 2, 1), u"HOM v Away \u00B7 20:00"_s, u"HOM - Away"_s},
    };
    for (const auto &[match, ticker, zone] : cases) {
        EXPECT_EQ(tickerText(match, QTimeZone::utc()), ticker);
        EXPECT_EQ(footballZoneText(match), zone);
    }
}

} // namespace
} // namespace ribbex::test
