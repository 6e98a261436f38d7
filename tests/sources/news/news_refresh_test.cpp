#include "feed_documents.h"
#include "settings/news_feed.h"
#include "sources/news/news_refresh.h"

#include <QCoroTask>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// A news refresh over the model home; its feed server answers `feed` to every request.
class NewsRefreshTest : public ModelTest {
protected:
    NewsRefreshTest()
    {
        answer = [this](const HttpTestRequest &) { return feed; };
        model().onNewsRefreshAttemptStarted = [this] { ++attemptsStarted; };
        QObject::connect(&refresh, &NewsRefresh::newsRefreshFinished, [this] { ++refreshesFinished; });
    }

    bool refreshesReach(int count)
    {
        return eventually([&] { return refreshesFinished >= count; });
    }

    HttpTestResponse feed {.body = rssDocument(numberedItems(3))};
    NewsRSSProvider provider {network, 1s};
    NewsRefresh refresh {model(), provider};
    ChangeCounter changes {model()};
    int attemptsStarted = 0;
    int refreshesFinished = 0;
};

TEST_F(NewsRefreshTest, TheIntervalHasAFloorAndTheRefreshIsDueFromItsEnd)
{
    // the stored interval, the time since the last attempt (none: no attempt yet), the delay, whether it is due
    const std::tuple<std::optional<qint64>, std::optional<qint64>, double, bool> cases[] = {
        {60, 899'500, 1.0, false}, {60, 900'000, 1.0, true}, {std::nullopt, 100'000, 800.0, false},
        {1800, 900'000, 900.0, false}, {3600, 3'600'250, 1.0, true}, {60, std::nullopt, 900.0, false},
        {7200, std::nullopt, 7200.0, false},
        {900, -3'600'000, 900.0, true}, // the clock was set back: the wait never grows past one interval
    };
    const QDateTime start = clock.now();
    for (const auto &[interval, msecsSinceAttempt, delay, due] : cases) {
        SCOPED_TRACE(
            u"interval %1, %2 ms"_s.arg(interval.value_or(-1)).arg(msecsSinceAttempt.value_or(-1)).toStdString());
        edit([&](RibbexSettings &settings) { settings.newsRefreshIntervalSeconds = interval; });
        const std::optional<QDateTime> attempt = msecsSinceAttempt ? std::optional(start) : std::nullopt;
        model().bookkeeping().lastNewsRefreshAttempt = attempt;
        clock.set(start.addMSecs(msecsSinceAttempt.value_or(86'400'000)));
        EXPECT_DOUBLE_EQ(refresh.nextNewsRefreshDelay(clock.now()), delay);
        const qsizetype fetchesBefore = server.requests().size();
        QCoro::waitFor(refresh.refreshNewsIfDue());
        EXPECT_EQ(server.requests().size() > fetchesBefore, due);
        EXPECT_EQ(model().bookkeeping().lastNewsRefreshAttempt, due ? clock.now() : attempt);
    }
}

TEST_F(NewsRefreshTest, ARefreshPublishesWhatItReadsOrKeepsTheLastGoodHeadlines)
{
    const QByteArray base = server.url().toEncoded();
    const QByteArray external = rssDocument("<item><title>Safe &ext;</title></item>",
        "<!DOCTYPE rss SYSTEM \"" + base + "rss.dtd\" [<!ENTITY % remote SYSTEM \"" + base
            + "remote.ent\"> %remote; <!ENTITY ext SYSTEM \"" + base + "ext.txt\">]>");
    const QList<NewsHeadline> lastGood = numberedHeadlines(2);
    // the answer, the headlines after it, the status
    const std::tuple<HttpTestResponse, QList<NewsHeadline>, QString> cases[] = {
        {{.body = rssDocument(numberedItems(35))}, numberedHeadlines(20), u"Updated just now · 20 headlines"_s},
        {{.body = rssDocument(numberedItems(1))}, numberedHeadlines(1), u"Updated just now · 1 headline"_s},
        {{.body = rssDocument({})}, {}, u"No headlines available"_s},
        // External document types and entities are never fetched.
        {{.body = external}, {{u"Safe"_s, std::nullopt}}, u"Updated just now · 1 headline"_s},
        {{.status = 404, .body = rssDocument(numberedItems(3))}, lastGood,
            u"Couldn’t load BBC News · The server answered with HTTP status 404."_s},
        {{.body = "<rss><channel><item>"}, lastGood,
            u"Couldn’t load BBC News · The feed could not be read (line 1): Premature end of document."_s},
    };
    QStringList statuses;
    QObject::connect(&model(), &SettingsModel::changed, [&] { statuses.append(model().newsStatus()); });
    for (const auto &[response, headlines, status] : cases) {
        feed = response;
        model().setNewsHeadlines(lastGood);
        statuses.clear();
        clock.advance(60);
        const qsizetype before = server.requests().size();
        QCoro::waitFor(refresh.refreshNews());
        EXPECT_EQ(model().newsHeadlines(), headlines) << status.toStdString();
        EXPECT_EQ(model().newsStatus(), status);
        EXPECT_TRUE(statuses.contains(u"Refreshing…"_s));
        EXPECT_EQ(model().bookkeeping().lastNewsRefreshAttempt, clock.now()); // failures too: retried next interval
        ASSERT_EQ(server.requests().size(), before + 1) << status.toStdString();
        EXPECT_EQ(server.requests().last().path, NewsFeed::defaultFeed().url.path());
        EXPECT_EQ(server.requests().last().headers.value("user-agent"), "Ribbex/1.0 RSS reader");
    }
    EXPECT_EQ(attemptsStarted, std::ssize(cases));
}

TEST_F(NewsRefreshTest, ACustomFeedIsReadOnlyFromAUsableAddress)
{
    edit([](RibbexSettings &settings) { settings.newsFeedID = NewsFeed::customId; });
    model().setNewsHeadlines(numberedHeadlines(2));
    QCoro::waitFor(refresh.refreshNews());
    EXPECT_EQ(model().newsStatus(), u"Add a valid custom RSS URL below");
    EXPECT_TRUE(model().newsHeadlines().isEmpty());
    EXPECT_EQ(attemptsStarted, 0);
    changes.reset();

    // typed, kept (none: refused)
    const std::pair<const char16_t *, const char16_t *> typed[] = {
        {u"ftp://feeds.example.org/rss", nullptr},
        {u"feeds.example.org/rss", nullptr},
        {u"  HTTP://Feeds.Example.org/Caps.xml \n", u"http://feeds.example.org/Caps.xml"},
    };
    for (const auto &[text, kept] : typed) {
        const RibbexSettings before = model().settings();
        refresh.useCustomNewsFeed(QString::fromUtf16(text));
        if (kept)
            break;
        EXPECT_EQ(model().newsStatus(), u"Enter a valid http or https feed URL");
        EXPECT_EQ(model().settings(), before);
    }
    EXPECT_EQ(changes.onChangeCalls, 2); // the address, then the choice
    EXPECT_EQ(stored().customNewsFeedURL, u"http://feeds.example.org/Caps.xml"_s);
    EXPECT_EQ(stored().newsFeedID, NewsFeed::customId);
    ASSERT_TRUE(refreshesReach(2));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().last().path, u"/Caps.xml"_s);
    EXPECT_EQ(model().newsStatus(), u"Updated just now · 3 headlines");
}

TEST_F(NewsRefreshTest, ChoosingAFeedSavesItAndReadsItAsStored)
{
    // The search feed's query is sent percent-encoded exactly as stored; an unknown id reads the default.
    const std::pair<QString, NewsFeed> choices[]
        = {{u"cnn"_s, NewsFeed::feedFor(u"cnn"_s)}, {u"no-such-feed"_s, NewsFeed::defaultFeed()}};
    for (const auto &[id, expected] : choices) {
        const int finished = refreshesFinished;
        refresh.setNewsFeed(id);
        EXPECT_EQ(model().newsStatus(), u"Refreshing…");
        EXPECT_EQ(stored().newsFeedID, id);
        ASSERT_TRUE(refreshesReach(finished + 1));
        EXPECT_EQ(server.requests().last().path, expected.url.path());
        EXPECT_EQ(server.requests().last().query.query(QUrl::FullyEncoded), expected.url.query(QUrl::FullyEncoded));
    }
}

TEST_F(NewsRefreshTest, OnlyTheLatestRefreshPublishes)
{
    // Regression: a slow answer for the feed chosen before used to overwrite the new feed's.
    const HttpTestResponse olderAnswers[]
        = {{.body = rssDocument(numberedItems(9)), .delay = 300ms}, {.status = 500, .delay = 300ms}};
    const QString chosen = NewsFeed::feedFor(u"dw"_s).url.path();
    for (const HttpTestResponse &older : olderAnswers) {
        answer = [&](const HttpTestRequest &request) {
            return request.path == chosen ? HttpTestResponse {.body = rssDocument(numberedItems(4))} : older;
        };
        edit([](RibbexSettings &settings) { settings.newsFeedID = NewsFeed::defaultFeed().id; });
        model().setNewsHeadlines({});
        const int finished = refreshesFinished;
        QCoro::Task<> first = refresh.refreshNews();
        refresh.setNewsFeed(u"dw"_s);
        QCoro::waitFor(first);
        ASSERT_TRUE(refreshesReach(finished + 2));
        EXPECT_EQ(model().newsHeadlines(), numberedHeadlines(4));
        EXPECT_EQ(model().newsStatus(), u"Updated just now · 4 headlines");
    }
}

TEST_F(NewsRefreshTest, ARefreshOutlivingItsOwnerPublishesNothing)
{
    feed.delay = 200ms;
    auto owner = std::make_unique<NewsRefresh>(model(), provider);
    QCoro::Task<> running = owner->refreshNews();
    owner.reset();
    QCoro::waitFor(running);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(model().newsStatus(), u"Refreshing…");
    EXPECT_TRUE(model().newsHeadlines().isEmpty());
    QCoro::waitFor(refresh.refreshNews()); // the refresh that lives on still publishes
    EXPECT_EQ(model().newsHeadlines(), numberedHeadlines(3));
}

TEST_F(NewsRefreshTest, WithNewsSwitchedOffNothingHappens)
{
    edit([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::weather}; });
    QCoro::waitFor(refresh.refreshNews());
    refresh.setNewsFeed(u"sky"_s);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(model().newsStatus(), u"Not refreshed yet");
    EXPECT_FALSE(model().bookkeeping().lastNewsRefreshAttempt);
    EXPECT_EQ(attemptsStarted, 0);
}

} // namespace
} // namespace ribbex::test
