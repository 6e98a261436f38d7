#include "feed_documents.h"
#include "support/loopback_network.h"
#include "settings/news_feed.h"
#include "sources/news/news_rss_provider.h"
#include "support/http_test_server.h"

#include <QCoroTask>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

using Result = std::expected<QList<NewsHeadline>, NewsFeedError>;

Result fetch(const QUrl &url, std::chrono::milliseconds timeout = NewsRSSProvider::defaultTimeout)
{
    QNetworkAccessManager network;
    return QCoro::waitFor(NewsRSSProvider(network, timeout).headlines(url));
}

NewsHeadline headline(const char16_t *title, const char16_t *link = nullptr)
{
    return {QString::fromUtf16(title), link ? std::optional(QUrl(QString::fromUtf16(link))) : std::nullopt};
}

TEST(NewsRSSProvider, FeedsOfEveryKindYieldTheirHeadlines)
{
    const struct {
        const char *name;
        QByteArray body;
        QList<NewsHeadline> expected;
    } cases[] = {
        {"rss 2.0",
            rssDocument("<item><title>One</title><link>https://a.example/1</link></item>"
                        "<item><title>Two</title></item>"),
            {headline(u"One", u"https://a.example/1"), headline(u"Two")}},
        {"atom, last href wins",
            R"(<feed xmlns="http://www.w3.org/2005/Atom"><title>Feed</title><link href="https://feed.example/"/>
            <entry><title type="text">Atom entry</title><link rel="alternate" href="https://a.example/html"/>
            <link rel="related" href="https://a.example/related"/></entry></feed>)",
            {headline(u"Atom entry", u"https://a.example/related")}},
        {"rdf",
            R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/">
            <channel rdf:about="https://dw.example/"><title>DW</title><link>https://dw.example/</link></channel>
            <item rdf:about="https://dw.example/1"><title>RDF item</title><link>https://dw.example/1</link></item>
            </rdf:RDF>)",
            {headline(u"RDF item", u"https://dw.example/1")}},
        {"cdata and entity titles",
            rssDocument(
                "<item><title><![CDATA[ Spending <review> ]]></title><link><![CDATA[https://a.example/c]]></link>"
                "</item><item><title>AT&amp;T &#8217;s &lt;deal&gt; &pub;</title></item>",
                "<!DOCTYPE rss [<!ENTITY pub \"Reuters\">]>"),
            {headline(u"Spending <review>", u"https://a.example/c"), headline(u"AT&T ’s <deal> Reuters")}},
        {"nested markup in a title gives its text",
            rssDocument("<item><title>Rates <b>rise</b> <i>again</i></title></item>"), {headline(u"Rates rise again")}},
        {"35 items give the first 20", rssDocument(numberedItems(35)), numberedHeadlines(20)},
        {"20 items give all 20", rssDocument(numberedItems(20)), numberedHeadlines(20)},
        {"no items", rssDocument(""), {}},
    };
    for (const auto &c : cases) {
        HttpTestServer server([&c](const HttpTestRequest &request) {
            if (request.path == u"/moved")
                return HttpTestResponse {.status = 301, .headers = {{"Location", "/feed.xml"}}};
            return HttpTestResponse {.body = c.body, .headers = {{"Content-Type", "application/rss+xml"}}};
        });
        // Publishers move feeds; the fetch follows the redirect.
        for (const QString &path : {u"/feed.xml"_s, u"/moved"_s}) {
            const Result result = fetch(server.url(path));
            ASSERT_TRUE(result) << c.name << ": " << result.error().description().toStdString();
            EXPECT_EQ(*result, c.expected) << c.name;
        }
        for (const HttpTestRequest &request : server.requests())
            EXPECT_EQ(request.headers.value("user-agent"), "Ribbex/1.0 RSS reader");
    }
}

QByteArray cutBefore(const QByteArray &document, const QByteArray &text)
{
    return document.first(document.indexOf(text));
}

TEST(NewsRSSProvider, BadAnswersFailWithTheirOwnError)
{
    using Kind = NewsFeedError::Kind;
    const struct {
        const char *name;
        HttpTestResponse response;
        Kind kind;
    } cases[] = {
        {"404 with a feed body, not parsed", {.status = 404, .body = rssDocument(numberedItems(3))},
            Kind::badServerResponse},
        {"500", {.status = 500, .body = "oops"}, Kind::badServerResponse},
        {"not xml", {.body = "<html><body>Gateway error<br></body></html>"}, Kind::malformedFeed},
        {"plain text", {.body = "Service unavailable"}, Kind::malformedFeed},
        {"empty", {.body = ""}, Kind::malformedFeed},
        {"cut off after 25 items", {.body = cutBefore(rssDocument(numberedItems(30)), "Headline 26")},
            Kind::malformedFeed},
        {"billion laughs", {.body = billionLaughs()}, Kind::malformedFeed},
    };
    for (const auto &c : cases) {
        HttpTestServer server([&c](const HttpTestRequest &) { return c.response; });
        const Result result = fetch(server.url(u"/feed.xml"_s));
        ASSERT_FALSE(result) << c.name;
        EXPECT_EQ(result.error().kind, c.kind) << c.name << ": " << result.error().description().toStdString();
    }
}

TEST(NewsRSSProvider, NoAnswerInTimeNoServerOrNoHttpAnswerFails)
{
    HttpTestServer stalled([](const HttpTestRequest &) { return HttpTestResponse {.stall = true}; });
    const Result late = fetch(stalled.url(u"/feed.xml"_s), 300ms);
    ASSERT_FALSE(late);
    EXPECT_EQ(late.error().description(), u"The server did not answer in time."_s);

    const Result refused = fetch(QUrl(u"http://127.0.0.1:1/feed.xml"_s));
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().description().startsWith(u"The server could not be reached: "_s));

    const Result notHttp
        = fetch(QUrl(u"data:application/rss+xml,%3Crss%3E%3Citem%3E%3Ctitle%3ET%3C/title%3E%3C/item%3E%3C/rss%3E"_s));
    ASSERT_FALSE(notHttp);
    EXPECT_EQ(notHttp.error().description(), u"The server’s answer was not an HTTP response."_s);
}

TEST(NewsRSSProvider, TheSearchFeedSendsItsQueryExactlyAsStored)
{
    HttpTestServer server([](const HttpTestRequest &) { return HttpTestResponse {.body = rssDocument("")}; });
    LoopbackNetworkAccessManager network(server.url());
    ASSERT_TRUE(QCoro::waitFor(NewsRSSProvider(network).headlines(NewsFeed::feedFor(u"cnn"_s).url)));
    ASSERT_EQ(server.requests().size(), 1);
    const HttpTestRequest &request = server.requests().first();
    EXPECT_EQ(request.path, u"/rss/search");
    using Items = QList<std::pair<QString, QString>>;
    EXPECT_EQ(request.query.queryItems(QUrl::FullyEncoded),
        (Items {{u"q"_s, u"when%3A24h%20site%3Acnn.com%20-intitle%3Asitemap%20-site%3Acnn.com/business/calculators"_s},
            {u"hl"_s, u"en-US"_s}, {u"gl"_s, u"US"_s}, {u"ceid"_s, u"US:en"_s}}));
}

TEST(NewsRSSProvider, ExternalDocumentTypesAndEntitiesAreNeverFetched)
{
    QByteArray feed;
    HttpTestServer server([&feed](const HttpTestRequest &request) {
        return HttpTestResponse {.body = request.path == u"/feed.xml" ? feed : QByteArray("LEAKED")};
    });
    const QByteArray base = server.url().toEncoded();
    feed = rssDocument("<item><title>Safe &ext;</title></item>",
        "<!DOCTYPE rss SYSTEM \"" + base + "rss.dtd\" [<!ENTITY % remote SYSTEM \"" + base
            + "remote.ent\"> %remote; <!ENTITY ext SYSTEM \"" + base + "ext.txt\">]>");
    const Result result = fetch(server.url(u"/feed.xml"_s));
    ASSERT_TRUE(result) << result.error().description().toStdString();
    EXPECT_EQ(*result, QList {headline(u"Safe")});
    EXPECT_EQ(server.requests().size(), 1);
}

} // namespace
} // namespace ribbex::test
