#include "feed_documents.h"
#include "sources/news/rss_headline_parser.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(RSSHeadlineParser, LinksFollowTheHrefAndLastLinkRulesAndOnlyWebAddressesSurvive)
{
    const std::pair<const char *, const char *> cases[] = {
        {"<link>\n  https://a.example/1  \n</link>", "https://a.example/1"},
        {"<link href='https://a.example/1'/><link href='https://a.example/2'/>", "https://a.example/2"},
        {"<link>https://a.example/text</link><link href='https://a.example/href'/>", "https://a.example/href"},
        // Regression: the texts of several link elements used to run together into one address.
        {"<link href='https://a.example/href'/><link>https://a.example/text</link>", "https://a.example/href"},
        {"<link>https://a.example/1</link><link>https://a.example/2</link>", "https://a.example/2"},
        {"<LINK>HTTP://A.example/upper</LINK>", "http://a.example/upper"},
        {"<link>https://a.example/a?x=1&amp;y=2</link>", "https://a.example/a?x=1&y=2"},
        {"<atom:link href='https://a.example/self'/><link>https://a.example/1</link>", "https://a.example/1"},
        {"<link>javascript:alert(1)</link>", nullptr},
        {"<link>javascript://a.example/%0Aalert(1)</link>", nullptr},
        {"<link>file:///etc/passwd</link>", nullptr},
        {"<link>/relative/path</link>", nullptr},
        {"<link>https:no-host</link>", nullptr},
        {"<link>http://bad[host/</link>", nullptr},
        {"<guid>https://a.example/guid</guid>", nullptr},
    };
    for (const auto &[links, expected] : cases) {
        const auto result
            = RSSHeadlineParser::parse(rssDocument("<item><title>T</title>" + QByteArray(links) + "</item>"));
        ASSERT_TRUE(result && result->size() == 1) << links;
        const std::optional<QUrl> url = result->first().url;
        EXPECT_EQ(url.value_or(QUrl()).toString(QUrl::FullyEncoded), QString::fromLatin1(expected)) << links;
    }
}

TEST(RSSHeadlineParser, TitlesAreTheTrimmedTextOfTitleElementsInsideItems)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"<item><title>  \n\t </title><link>https://a.example/</link></item><item><title>Kept</title></item>",
            {u"Kept"_s}},
        {"<ITEM><Title>Capitals</Title></ITEM><Entry><TITLE>Entry</TITLE></Entry>", {u"Capitals"_s, u"Entry"_s}},
        {"<item><title><![CDATA[ Spending <review> ]]></title></item>", {u"Spending <review>"_s}},
        {"<item><title>A <![CDATA[<b>]]> B</title></item>", {u"A <b> B"_s}},
        {"<item><title>Rates <b>rise</b> <i>again</i></title></item>", {u"Rates rise again"_s}},
        {"<item><title>AT&amp;T &#8217;s &lt;deal&gt;</title></item>", {u"AT&T ’s <deal>"_s}},
        {"<item xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title>Dublin Core</dc:title></item>", {}},
        {"<image><title>Logo</title></image><item><title>Only</title></item>", {u"Only"_s}},
        {"<item><!-- comment --><title>x<?pi data?>y</title></item>", {u"xy"_s}},
        // Network text loses control and direction characters.
        {"<item><title>Caf\xc3\xa9\xc2\x9b \xe2\x80\xae\xe2\x80\x94 \xf0\x9f\x93\xb0</title></item>", {u"Café — 📰"_s}},
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
    EXPECT_EQ(RSSHeadlineParser::parse(document), numberedHeadlines(20));
    const auto entries = RSSHeadlineParser::parseEntries(document);
    ASSERT_TRUE(entries && entries->size() == 26);
    EXPECT_EQ(entries->first(), (FeedEntry {QString(), u"https://a.example/0"_s}));
}

// Nine levels of ten references each: 3 GB of text from under 1 KiB.
QByteArray billionLaughs()
{
    QByteArray dtd = "<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray reference = "&lol" + QByteArray::number(level - 1) + ';';
        dtd += "<!ENTITY lol" + QByteArray::number(level) + " \"" + reference.repeated(10) + "\">\n";
    }
    return rssDocument("<item><title>&lol9;</title></item>", "<!DOCTYPE rss [\n" + dtd + "]>");
}

QByteArray titleWithAttributes(qsizetype count)
{
    QByteArray attributes;
    for (qsizetype i = 0; i < count; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"\"";
    return rssDocument("<item><title" + attributes + ">T</title></item>");
}

TEST(RSSHeadlineParser, DocumentsThatCouldExhaustTheReaderOrLeakFilesAreRefused)
{
    const QByteArray twentyFive = rssDocument(numberedItems(25));
    // what the document is, the document, the title it gives (none: it is refused)
    const std::tuple<const char *, QByteArray, std::optional<QString>> cases[] = {
        {"declared entity",
            rssDocument("<item><title>&a;</title></item>", "<!DOCTYPE rss [<!ENTITY a \"AT&#38;#38;T\">]>"), u"AT&T"_s},
        {"nested entities",
            rssDocument("<item><title>&b;</title></item>", "<!DOCTYPE rss [<!ENTITY a \"x\"><!ENTITY b \"&a;&a;\">]>"),
            u"xx"_s},
        {"external file entity stays unread",
            rssDocument("<item><title>Before&s;After</title></item>",
                "<!DOCTYPE rss [<!ENTITY s SYSTEM \"file:///etc/passwd\">]>"),
            u"BeforeAfter"_s},
        {"billion laughs", billionLaughs(), std::nullopt},
        // Every single expansion stays under the reader's own limit; together they are 12 MB.
        {"quadratic blowup",
            "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>\n<rss><channel><item><title>"
                + QByteArray("&e;").repeated(3000) + "</title></item></channel></rss>",
            std::nullopt},
        {"undeclared entity", rssDocument("<item><title>a&nbsp;b</title></item>"), std::nullopt},
        {"attributes up to the limit", titleWithAttributes(RSSHeadlineParser::maxAttributes), u"T"_s},
        {"attributes past the limit", titleWithAttributes(RSSHeadlineParser::maxAttributes + 1), std::nullopt},
        {"declared attribute list",
            rssDocument("<item><title>T</title></item>", "<!DOCTYPE rss [<!ATTLIST title a CDATA \"x\">]>"),
            std::nullopt},
        {"cut off after the twentieth item", twentyFive.first(twentyFive.indexOf("Headline 22")), std::nullopt},
    };
    for (const auto &[name, document, title] : cases) {
        const auto result = RSSHeadlineParser::parse(document);
        EXPECT_EQ(result ? std::optional(result->value(0).title) : std::nullopt, title)
            << name << (result ? "" : ": " + result.error().description().toStdString());
    }
}

} // namespace
} // namespace ribbex::test
