#include "feed_documents.h"
#include "support/loopback_network.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "sources/news/news_refresh.h"
#include "support/http_test_server.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <QCoroSignal>
#include <QCoroTask>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QDateTime start(QDate(2026, 12, 6), QTime(15, 0), Qt::UTC);

// A model over real files with a pinned clock; every feed address, built-in or custom, is
// fetched from one loopback server.
class NewsRefreshTest : public testing::Test {
protected:
    NewsRefreshTest()
    {
        model.onNewsRefreshAttemptStarted = [this] { ++attemptsStarted; };
        model.onChange = [this] { ++onChangeCalls; };
        QObject::connect(&refresh, &NewsRefresh::newsRefreshFinished, [this] { ++refreshesFinished; });
    }

    void editSettings(const std::function<void(RibbexSettings &)> &edit)
    {
        RibbexSettings settings = model.settings();
        edit(settings);
        model.setSettings(settings);
    }

    QCoro::Task<bool> untilRefreshesFinished(int count)
    {
        while (refreshesFinished < count) {
            const auto emitted = co_await qCoro(&refresh, &NewsRefresh::newsRefreshFinished, 10s);
            if (!emitted)
                co_return false;
        }
        co_return true;
    }

    QStringList requestedPaths() const
    {
        QStringList paths;
        for (const HttpTestRequest &request : server.requests())
            paths.append(request.path);
        return paths;
    }

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), u"/bin/true"_s};
    PinnedClock clock {start};
    SettingsModel model {ModelServices {settingsStore, cacheStore, loginItems, clock, false}};

    HttpTestResponse answer {.body = rssDocument(numberedItems(3))};
    HttpTestServer server {[this](const HttpTestRequest &) { return answer; }};
    LoopbackNetworkAccessManager network {server.url()};
    NewsRSSProvider provider {network, 1s};
    NewsRefresh refresh {model, provider};

    int attemptsStarted = 0;
    int onChangeCalls = 0;
    int refreshesFinished = 0;
};

TEST_F(NewsRefreshTest, TheIntervalHasAFloorAndTheRefreshIsDueFromItsEnd)
{
    const struct {
        std::optional<qint64> stored;
        std::optional<qint64> msecsSinceAttempt; // absent: no attempt yet
        double delay;
        bool due;
    } cases[] = {
        {60, 899'500, 1.0, false},
        {60, 900'000, 1.0, true},
        {900, 899'500, 1.0, false},
        {900, 900'000, 1.0, true},
        {std::nullopt, 100'000, 800.0, false},
        {1800, 900'000, 900.0, false},
        {3600, 3'600'250, 1.0, true},
        {60, std::nullopt, 900.0, false},
        {7200, std::nullopt, 7200.0, false},
        // The clock was set back: the wait never grows past one interval.
        {900, -3'600'000, 900.0, true},
    };
    for (const auto &c : cases) {
        editSettings([&](RibbexSettings &settings) { settings.newsRefreshIntervalSeconds = c.stored; });
        const std::optional<QDateTime> attempt = c.msecsSinceAttempt ? std::optional(start) : std::nullopt;
        model.bookkeeping().lastNewsRefreshAttempt = attempt;
        clock.set(start.addMSecs(c.msecsSinceAttempt.value_or(86'400'000)));
        const QString label = u"interval %1, %2 ms"_s.arg(c.stored.value_or(-1)).arg(c.msecsSinceAttempt.value_or(-1));

        EXPECT_DOUBLE_EQ(refresh.nextNewsRefreshDelay(clock.now()), c.delay) << label.toStdString();
        const qsizetype fetchesBefore = server.requests().size();
        QCoro::waitFor(refresh.refreshNewsIfDue());
        EXPECT_EQ(server.requests().size() > fetchesBefore, c.due) << label.toStdString();
        EXPECT_EQ(model.bookkeeping().lastNewsRefreshAttempt, c.due ? clock.now() : attempt) << label.toStdString();
    }
    EXPECT_EQ(model.newsStatus(), u"Updated just now · 3 headlines");
}

TEST_F(NewsRefreshTest, ARefreshPublishesEveryFetchedHeadlineAndCountsThem)
{
    const struct {
        int items;
        const char16_t *status;
    } cases[] = {
        {35, u"Updated just now · 20 headlines"},
        {3, u"Updated just now · 3 headlines"},
        {1, u"Updated just now · 1 headline"},
        {0, u"No headlines available"},
    };
    QStringList statuses;
    QObject::connect(&model, &SettingsModel::changed, [&] { statuses.append(model.newsStatus()); });
    for (const auto &c : cases) {
        answer.body = rssDocument(numberedItems(c.items));
        model.setNewsHeadlines(numberedHeadlines(2));
        statuses.clear();
        clock.advance(60);
        QCoro::waitFor(refresh.refreshNews());

        EXPECT_EQ(model.newsHeadlines(), numberedHeadlines(std::min(c.items, 20))) << c.items;
        EXPECT_EQ(model.newsStatus(), QString::fromUtf16(c.status));
        EXPECT_TRUE(statuses.contains(u"Refreshing…"_s));
        EXPECT_EQ(model.bookkeeping().lastNewsRefreshAttempt, clock.now());
    }
    EXPECT_EQ(attemptsStarted, 4);
    EXPECT_EQ(requestedPaths(), QStringList(4, u"/news/rss.xml"_s)); // the default feed
}

TEST_F(NewsRefreshTest, AFailedRefreshKeepsTheLastGoodHeadlines)
{
    const std::pair<HttpTestResponse, const char16_t *> cases[] = {
        {{.status = 500}, u"Couldn’t load BBC News · The server answered with HTTP status 500."},
        {{.stall = true}, u"Couldn’t load BBC News · The server did not answer in time."},
        {{.body = "<rss><channel><item>"},
            u"Couldn’t load BBC News · The feed could not be read (line 1): Premature end of document."},
    };
    QCoro::waitFor(refresh.refreshNews());
    ASSERT_EQ(model.newsHeadlines(), numberedHeadlines(3));
    for (const auto &[response, status] : cases) {
        answer = response;
        clock.advance(900);
        QCoro::waitFor(refresh.refreshNews());
        EXPECT_EQ(model.newsStatus(), QString::fromUtf16(status));
        EXPECT_EQ(model.newsHeadlines(), numberedHeadlines(3));
        // A failing feed is retried once per interval, not sooner.
        EXPECT_EQ(model.bookkeeping().lastNewsRefreshAttempt, clock.now());
    }
}

TEST_F(NewsRefreshTest, ACustomFeedWithoutAUsableAddressAsksForOne)
{
    const std::optional<QString> addresses[] = {std::nullopt, u"ftp://feeds.example.org/rss"_s, u"https:///rss"_s};
    for (const std::optional<QString> &address : addresses) {
        editSettings([&](RibbexSettings &settings) {
            settings.newsFeedID = NewsFeed::customId;
            settings.customNewsFeedURL = address;
        });
        model.setNewsHeadlines(numberedHeadlines(2));
        QCoro::waitFor(refresh.refreshNews());
        EXPECT_EQ(model.newsStatus(), u"Add a valid custom RSS URL below");
        EXPECT_TRUE(model.newsHeadlines().isEmpty());
    }
    EXPECT_EQ(attemptsStarted, 0);
    EXPECT_FALSE(model.bookkeeping().lastNewsRefreshAttempt);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(NewsRefreshTest, UsingACustomFeedStoresAValidAddressAndReadsIt)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"  https://feeds.example.org/custom.xml \n", u"https://feeds.example.org/custom.xml"},
        {u"HTTP://Feeds.Example.org/Caps.xml", u"http://feeds.example.org/Caps.xml"},
        {u"ftp://feeds.example.org/rss", nullptr},
        {u"feeds.example.org/rss", nullptr},
        {u"", nullptr},
    };
    for (const auto &[text, stored] : cases) {
        const RibbexSettings before = model.settings();
        onChangeCalls = refreshesFinished = 0;
        refresh.useCustomNewsFeed(QString::fromUtf16(text));
        if (!stored) {
            EXPECT_EQ(model.newsStatus(), u"Enter a valid http or https feed URL");
            EXPECT_EQ(model.settings(), before);
            EXPECT_EQ(onChangeCalls, 0);
            EXPECT_EQ(refreshesFinished, 0);
            continue;
        }
        EXPECT_EQ(model.settings().customNewsFeedURL, QString::fromUtf16(stored));
        EXPECT_EQ(model.settings().newsFeedID, u"custom");
        EXPECT_EQ(onChangeCalls, 2);
        ASSERT_TRUE(QCoro::waitFor(untilRefreshesFinished(1)));
        EXPECT_EQ(requestedPaths().last(), QUrl(QString::fromUtf16(stored)).path());
        EXPECT_EQ(model.newsStatus(), u"Updated just now · 3 headlines");
    }
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(NewsRefreshTest, ChoosingAFeedSavesItAndReadsItAtOnce)
{
    refresh.setNewsFeed(u"dw"_s);
    EXPECT_EQ(onChangeCalls, 1);
    EXPECT_EQ(model.newsStatus(), u"Refreshing…");
    ASSERT_TRUE(QCoro::waitFor(untilRefreshesFinished(1)));

    refresh.setNewsFeed(u"no-such-feed"_s);
    ASSERT_TRUE(QCoro::waitFor(untilRefreshesFinished(2)));
    EXPECT_EQ(requestedPaths(), (QStringList {u"/rdf/rss-en-top"_s, u"/news/rss.xml"_s}));

    const auto saved = settingsStore.read(RibbexSettings::preferencesKey);
    ASSERT_TRUE(saved && saved->has_value());
    EXPECT_EQ(decodeSettings(**saved)->newsFeedID, u"no-such-feed");
}

TEST_F(NewsRefreshTest, OnlyTheLatestRefreshPublishes)
{
    // Regression: a slow answer for the feed chosen before used to overwrite the new feed's.
    server.setHandler([](const HttpTestRequest &request) {
        if (request.path == u"/news/rss.xml")
            return HttpTestResponse {.body = rssDocument(numberedItems(9)), .delay = 300ms};
        return HttpTestResponse {.body = rssDocument(numberedItems(4))};
    });
    QCoro::Task<> first = refresh.refreshNews();
    refresh.setNewsFeed(u"dw"_s);
    QCoro::waitFor(first);
    ASSERT_TRUE(QCoro::waitFor(untilRefreshesFinished(2)));
    EXPECT_EQ(model.newsHeadlines(), numberedHeadlines(4));
    EXPECT_EQ(model.newsStatus(), u"Updated just now · 4 headlines");
}

TEST_F(NewsRefreshTest, ARefreshOutlivingItsOwnerPublishesNothing)
{
    answer.delay = 200ms;
    auto owner = std::make_unique<NewsRefresh>(model, provider);
    QCoro::Task<> running = owner->refreshNews();
    owner.reset();
    QCoro::waitFor(running);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(model.newsStatus(), u"Refreshing…");
    EXPECT_TRUE(model.newsHeadlines().isEmpty());
}

TEST_F(NewsRefreshTest, WithNewsSwitchedOffNothingHappens)
{
    editSettings([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::weather}; });
    QCoro::waitFor(refresh.refreshNews());
    refresh.setNewsFeed(u"sky"_s);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(model.newsStatus(), u"Not refreshed yet");
    EXPECT_FALSE(model.bookkeeping().lastNewsRefreshAttempt);
    EXPECT_EQ(attemptsStarted, 0);
}

} // namespace
} // namespace ribbex::test
