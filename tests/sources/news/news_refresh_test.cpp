#include "settings/news_feed.h"
#include "sources/news/news_refresh.h"
#include "support/model_home.h"

#include <QCoroTask>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// What the model home's twoHeadlineFeed reads as.
const QList<NewsHeadline> twoHeadlines {{u"First headline"_s, QUrl(u"https://news.example/1"_s)},
    {u"Second headline"_s, QUrl(u"https://news.example/2"_s)}};

// A news refresh over the model home; its feed server answers `feed` to every request.
class NewsRefreshTest : public ModelTest {
protected:
    NewsRefreshTest()
    {
        answer = [this](const HttpTestRequest &) { return feed; };
        model().onNewsRefreshAttemptStarted = [this] { ++attemptsStarted; };
        QObject::connect(&refresh, &NewsRefresh::newsRefreshFinished, [this] { ++refreshesFinished; });
    }

    HttpTestResponse feed {.body = twoHeadlineFeed};
    NewsRSSProvider provider {network};
    NewsRefresh refresh {model(), provider};
    int attemptsStarted = 0;
    int refreshesFinished = 0;
};

TEST_F(NewsRefreshTest, TheIntervalHasAFloorAndTheRefreshIsDueFromItsEnd)
{
    // the stored interval, the time since the last attempt (none: no attempt yet), the delay, whether it is due
    const std::tuple<std::optional<qint64>, std::optional<qint64>, double, bool> cases[] = {
        {60, 899'500, 1.0, false}, {60, 900'000, 1.0, true}, {std::nullopt, 100'000, 800.0, false},
        {1800, 900'000, 900.0, false}, {7200, std::nullopt, 7200.0, false},
        {900, -3'600'000, 900.0, true}, // the clock was set back: the wait never grows past one interval
    };
    const QDateTime start = clock.now();
    for (const auto &[interval, msecsSinceAttempt, delay, due] : cases) {
        SCOPED_TRACE(testing::Message() << interval.value_or(-1) << " s, " << msecsSinceAttempt.value_or(-1) << " ms");
        edit([&](RibbexSettings &settings) { settings.newsRefreshIntervalSeconds = interval; });
        const std::optional<QDateTime> attempt = msecsSinceAttempt ? std::optional(start) : std::nullopt;
        model().bookkeeping().lastNewsRefreshAttempt = attempt;
        clock.set(start.addMSecs(msecsSinceAttempt.value_or(86'400'000)));
        EXPECT_DOUBLE_EQ(refresh.nextNewsRefreshDelay(clock.now()), delay);
        const qsizetype fetchesBefore = server.requests().size();
        QCoro::waitFor(refresh.refreshNewsIfDue());
        EXPECT_EQ(server.requests().size() > fetchesBefore, due);
    }
}

TEST_F(NewsRefreshTest, ARefreshPublishesWhatItReadsOrKeepsTheLastGoodHeadlines)
{
    const QByteArray base = server.url().toEncoded();
    const QList<NewsHeadline> lastGood {{u"Last good"_s, std::nullopt}};
    const QString failed = u"Couldn’t load BBC News · "_s;
    // the answer, the headlines after it, the status
    const std::tuple<HttpTestResponse, QList<NewsHeadline>, QString> cases[] = {
        {{.body = twoHeadlineFeed}, twoHeadlines, u"Updated just now · 2 headlines"_s},
        {{.body = "<rss><channel></channel></rss>"}, {}, u"No headlines available"_s},
        // External document types and entities are never fetched.
        {{.body = "<!DOCTYPE rss SYSTEM \"" + base + "rss.dtd\" [<!ENTITY % remote SYSTEM \"" + base
                 + "remote.ent\"> %remote; <!ENTITY ext SYSTEM \"" + base
                 + "ext.txt\">]><rss><item><title>Safe &ext;</title></item></rss>"},
            {{u"Safe"_s, std::nullopt}}, u"Updated just now · 1 headline"_s},
        {{.status = 404, .body = twoHeadlineFeed}, lastGood, failed + u"The server answered with HTTP status 404."_s},
        {{.body = "<rss><channel><item>"}, lastGood,
            failed + u"The feed could not be read (line 1): Premature end of document."_s},
        {{.raw = "SSH-2.0-OpenSSH\r\n"}, lastGood, failed + u"The server could not be reached: Connection closed."_s}};
    for (const auto &[response, headlines, status] : cases) {
        feed = response;
        model().setNewsHeadlines(lastGood);
        clock.advance(60);
        QCoro::waitFor(refresh.refreshNews());
        EXPECT_EQ(model().newsHeadlines(), headlines) << status.toStdString();
        EXPECT_EQ(model().newsStatus(), status);
        EXPECT_EQ(model().bookkeeping().lastNewsRefreshAttempt, clock.now()); // failures too: retried next interval
    }
    EXPECT_EQ(attemptsStarted, std::ssize(cases));
    for (const HttpTestRequest &request : server.requests()) // never a document type or an entity
        EXPECT_EQ(request.path, NewsFeed::defaultFeed().url.path());
}

TEST_F(NewsRefreshTest, ChoosingAFeedSavesItAndReadsItAsStored)
{
    refresh.setNewsFeed(u"cnn"_s);
    EXPECT_EQ(model().newsStatus(), u"Refreshing…");
    ASSERT_TRUE(eventually([this] { return refreshesFinished == 1; }));
    // The search feed's query is sent percent-encoded exactly as stored.
    const QUrl cnn = NewsFeed::feedFor(u"cnn"_s).url;
    EXPECT_EQ(server.requests().last().path, cnn.path());
    EXPECT_EQ(server.requests().last().query.query(QUrl::FullyEncoded), cnn.query(QUrl::FullyEncoded));
    // The custom feed is read only from a usable address, saved as it is normalised.
    refresh.setNewsFeed(NewsFeed::customId);
    EXPECT_EQ(model().newsStatus(), u"Add a valid custom RSS URL below");
    EXPECT_TRUE(model().newsHeadlines().isEmpty());
    const RibbexSettings before = model().settings();
    refresh.useCustomNewsFeed(u"feeds.example.org/rss"_s);
    EXPECT_EQ(model().newsStatus(), u"Enter a valid http or https feed URL");
    EXPECT_EQ(model().settings(), before);
    refresh.useCustomNewsFeed(u"  HTTP://Feeds.Example.org/Caps.xml \n"_s);
    EXPECT_EQ(stored().customNewsFeedURL, u"http://feeds.example.org/Caps.xml"_s);
    // Reading it is tried with the window's field.
    ASSERT_TRUE(eventually([this] { return refreshesFinished == 3; }));
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(NewsRefreshTest, OnlyTheLatestRefreshWhoseOwnerLivesPublishesAndOnlyWhileNewsIsOn)
{
    edit([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::weather}; });
    QCoro::waitFor(refresh.refreshNews());
    refresh.setNewsFeed(u"sky"_s);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(model().newsStatus(), u"Not refreshed yet");
    edit([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::news}; });
    refreshesFinished = 0;
    // A refresh whose owner is gone publishes nothing.
    auto owner = std::make_unique<NewsRefresh>(model(), provider);
    QCoro::Task<> orphan = owner->refreshNews();
    owner.reset();
    QCoro::waitFor(orphan);
    EXPECT_EQ(model().newsStatus(), u"Refreshing…");
    EXPECT_TRUE(model().newsHeadlines().isEmpty());
    // Regression: a slow answer for the feed chosen before used to overwrite the new feed's.
    const QString chosen = NewsFeed::feedFor(u"dw"_s).url.path();
    answer = [&](const HttpTestRequest &request) {
        return request.path == chosen ? feed : HttpTestResponse {.status = 500, .delay = 300ms};
    };
    QCoro::Task<> first = refresh.refreshNews();
    refresh.setNewsFeed(u"dw"_s);
    QCoro::waitFor(first);
    ASSERT_TRUE(eventually([this] { return refreshesFinished == 2; }));
    EXPECT_EQ(model().newsHeadlines(), twoHeadlines);
    EXPECT_EQ(model().newsStatus(), u"Updated just now · 2 headlines");
}

} // namespace
} // namespace ribbex::test
