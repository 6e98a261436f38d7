#include "feed_documents.h"
#include "sources/news/rss_headline_parser.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(RSSHeadlineParser, LinksFollowTheHrefAndLastLinkRulesAndOnlyWebAddressesSurvive)
{
    const std::pair<const char *, const char *> cases[] = {
        {"<link>https://a.example/1</link>", "https://a.example/1"},
        {"<link>\n  https://a.example/1  \n</link>", "https://a.example/1"},
        {"<link href='https://a.example/1'/><link href='https://a.example/2'/>", "https://a.example/2"},
        {"<link>https://a.example/text</link><link href='https://a.example/href'/>", "https://a.example/href"},
        // Regression: the texts of several link elements used to run together into one address.
        {"<link href='https://a.example/href'/><link>https://a.example/text</link>", "https://a.example/href"},
        {"<link>https://a.example/1</link><link>https://a.example/2</link>", "https://a.example/2"},
        {"<LINK>https://a.example/caps</LINK>", "https://a.example/caps"},
        {"<link>HTTP://A.example/upper</link>", "http://a.example/upper"},
        {"<link>http://a.example/with space</link>", "http://a.example/with%20space"},
        {"<link>https://a.example/a?x=1&amp;y=2</link>", "https://a.example/a?x=1&y=2"},
        {"<atom:link href='https://a.example/self'/><link>https://a.example/1</link>", "https://a.example/1"},
        {"<link>javascript:alert(1)</link>", nullptr},
        {"<link>file:///etc/passwd</link>", nullptr},
        {"<link>/relative/path</link>", nullptr},
        {"<link>https:no-host</link>", nullptr},
        {"<link>http://bad[host/</link>", nullptr},
        {"<link></link>", nullptr},
        {"<guid>https://a.example/guid</guid>", nullptr},
    };
    for (const auto &[links, expected] : cases) {
        const auto result
            = RSSHeadlineParser::parse(rssDocument("<item><title>T</title>" + QByteArray(links) + "</item>"));
        ASSERT_TRUE(result) << links;
        ASSERT_EQ(result->size(), 1) << links;
        const std::optional<QUrl> url = result->first().url;
        EXPECT_EQ(url.has_value(), expected != nullptr) << links;
        if (url && expected) {
            EXPECT_EQ(url->toString(QUrl::FullyEncoded), QString::fromLatin1(expected)) << links;
        }
    }
}

TEST(RSSHeadlineParser, TitlesAreTheTrimmedTextOfTitleElementsInsideItems)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"<item><title>  \n\t </title><link>https://a.example/</link></item><item><title>Kept</title></item>",
            {u"Kept"_s}},
        {"<item><link>https://a.example/</link></item>", {}},
        {"<ITEM><Title>Capitals</Title></ITEM><Entry><TITLE>Entry</TITLE></Entry>", {u"Capitals"_s, u"Entry"_s}},
        {"<item><title>\n  Line one\n</title></item>", {u"Line one"_s}},
        {"<item><title>A <![CDATA[<b>]]> B</title></item>", {u"A <b> B"_s}},
        {"<item xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title>Dublin Core</dc:title></item>", {}},
        {"<image><title>Logo</title></image><item><title>Only</title></item>", {u"Only"_s}},
        {"<item><!-- comment --><title>x<?pi data?>y</title></item>", {u"xy"_s}},
        {"<item><title>Caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x93\xb0</title></item>", {u"Café — 📰"_s}},
    };
    for (const auto &[items, titles] : cases) {
        const auto result = RSSHeadlineParser::parse(rssDocument(items));
        ASSERT_TRUE(result) << items;
        QStringList parsed;
        for (const NewsHeadline &headline : *result)
            parsed.append(headline.title);
        EXPECT_EQ(parsed, titles) << items;
    }
}

TEST(RSSHeadlineParser, UntitledItemsDoNotCountTowardsTheTwenty)
{
    const QByteArray document = rssDocument("<item><link>https://a.example/0</link></item>" + numberedItems(25));
    const auto headlines = RSSHeadlineParser::parse(document);
    ASSERT_TRUE(headlines);
    EXPECT_EQ(*headlines, numberedHeadlines(20));

    const auto entries = RSSHeadlineParser::parseEntries(document);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 26);
    EXPECT_EQ(entries->first(), (FeedEntry {QString(), u"https://a.example/0"_s}));
}

TEST(RSSHeadlineParser, EntitiesExpandOnlyWithinBounds)
{
    QTemporaryDir folder;
    const QString secretPath = folder.filePath(u"secret.txt"_s);
    QFile secret(secretPath);
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("SECRET");
    secret.close();
    const QByteArray fileEntity
        = "<!DOCTYPE rss [<!ENTITY s SYSTEM \"" + QUrl::fromLocalFile(secretPath).toEncoded() + "\">]>";

    const struct {
        const char *name;
        QByteArray document;
        std::optional<QString> title; // absent: the document must be refused
    } cases[] = {
        {"declared entity",
            rssDocument("<item><title>&a;</title></item>", "<!DOCTYPE rss [<!ENTITY a \"AT&#38;#38;T\">]>"), u"AT&T"_s},
        {"nested entities",
            rssDocument("<item><title>&b;</title></item>", "<!DOCTYPE rss [<!ENTITY a \"x\"><!ENTITY b \"&a;&a;\">]>"),
            u"xx"_s},
        {"external file entity stays unread", rssDocument("<item><title>Before&s;After</title></item>", fileEntity),
            u"BeforeAfter"_s},
        {"billion laughs", billionLaughs(), std::nullopt},
        {"quadratic blowup", quadraticBlowup(4000, 3000), std::nullopt},
        {"undeclared entity", rssDocument("<item><title>a&nbsp;b</title></item>"), std::nullopt},
    };
    for (const auto &c : cases) {
        const auto result = RSSHeadlineParser::parse(c.document);
        ASSERT_EQ(result.has_value(), c.title.has_value())
            << c.name << (result ? "" : ": " + result.error().description().toStdString());
        if (result) {
            ASSERT_EQ(result->size(), 1) << c.name;
            EXPECT_EQ(result->first().title, *c.title) << c.name;
        } else {
            EXPECT_EQ(result.error().kind, NewsFeedError::Kind::malformedFeed) << c.name;
            EXPECT_FALSE(result.error().detail.isEmpty()) << c.name;
        }
    }
}

} // namespace
} // namespace ribbex::test
