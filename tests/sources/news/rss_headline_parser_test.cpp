#include "sources/news/rss_headline_parser.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

// An RSS 2.0 document around the given item elements, with an optional document type declaration.
QByteArray rssDocument(const QByteArray &items, const QByteArray &doctype = {})
{
    return doctype + "<rss version='2.0'><channel><title>Feed</title><link>https://feed.example/</link>" + items
        + "</channel></rss>";
}

// Items titled "Headline 1" to "Headline <count>", each linking to https://news.example/<n>.
QByteArray numberedItems(int count)
{
    QString items;
    for (int n = 1; n <= count; ++n)
        items += u"<item><title>Headline %1</title><link>https://news.example/%1</link></item>\n"_s.arg(n);
    return items.toUtf8();
}

TEST(RSSHeadlineParser, LinksFollowTheHrefAndLastLinkRulesAndOnlyWebAddressesSurvive)
{
    const std::pair<const char *, const char *> cases[] = {
        {"<link>\n  https://a.example/1  \n</link>", "https://a.example/1"},
        {"<link href='https://a.example/1'/><link href='https://a.example/2'/>", "https://a.example/2"},
        {"<link>https://a.example/text</link><link href='https://a.example/href'/>", "https://a.example/href"},
        // Regression: the texts of several link elements used to run together into one address.
        {"<link href='https://a.example/href'/><link>https://a.example/text</link>", "https://a.example/href"},
        {"<link>https://a.example/1</link><link>https://a.example/2</link>", "https://a.example/2"},
        {"<LINK>HTTP://A.example/a?x=1&amp;y=2</LINK>", "http://a.example/a?x=1&y=2"},
        {"<atom:link href='https://a.example/self'/><link>https://a.example/1</link>", "https://a.example/1"},
        {"<link>javascript://a.example/%0Aalert(1)</link>", nullptr},
        {"<link>https:no-host</link>", nullptr},
        {"<link>http://bad[host/</link>", nullptr},
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
        {"<item><title>A <![CDATA[<b>Spending</b> review]]></title></item>", {u"A <b>Spending</b> review"_s}},
        {"<item><title>Rates <b>rise</b> <i>again</i></title></item>", {u"Rates rise again"_s}},
        {"<item><title>AT&amp;T &#8217;s &lt;deal&gt;</title></item>", {u"AT&T ’s <deal>"_s}},
        {"<image><title>Logo</title></image><item><title>Only</title></item>", {u"Only"_s}},
        {"<item><!-- comment --><title>x<?pi data?>y</title></item>", {u"xy"_s}},
        // Network text loses control and direction characters.
        {"<item><title>Caf\xc3\xa9\xc2\x9b \xe2\x80\xae\xe2\x80\x94 \xf0\x9f\x93\xb0</title></item>", {u"Café — 📰"_s}}};
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
    ASSERT_TRUE(headlines && headlines->size() == 20);
    EXPECT_EQ(headlines->last(), (NewsHeadline {u"Headline 20"_s, QUrl(u"https://news.example/20"_s)}));
}

// Nine levels of ten references each: 3 GB of text from under 1 KiB.
QByteArray billionLaughs()
{
    QString dtd = u"<!ENTITY lol0 'lol'>"_s;
    for (int level = 1; level <= 9; ++level)
        dtd += u"<!ENTITY lol%1 '%2'>"_s.arg(level).arg(u"&lol%1;"_s.arg(level - 1).repeated(10));
    return rssDocument("<item><title>&lol9;</title></item>", "<!DOCTYPE rss [" + dtd.toUtf8() + "]>");
}

QByteArray titleWithAttributes(qsizetype count)
{
    QString attributes;
    for (qsizetype i = 0; i < count; ++i)
        attributes += u" a%1=''"_s.arg(i);
    return rssDocument("<item><title" + attributes.toUtf8() + ">T</title></item>");
}

// A title `depth` elements deep: rss, channel, item, the wrappers and the title itself.
QByteArray titleNested(qsizetype depth)
{
    const QByteArray wrappers = QByteArray("<x>").repeated(depth - 4);
    return rssDocument("<item>" + wrappers + "<title>T</title>" + QByteArray(wrappers).replace("<", "</") + "</item>");
}

TEST(RSSHeadlineParser, DocumentsThatCouldExhaustTheReaderOrLeakFilesAreRefused)
{
    const QByteArray twentyFive = rssDocument(numberedItems(25));
    // what the document is, the document, the title it gives (none: it is refused)
    const std::tuple<const char *, QByteArray, std::optional<QString>> cases[] = {
        {"nested entities",
            rssDocument("<item><title>&b;</title></item>",
                "<!DOCTYPE rss [<!ENTITY a \"AT&#38;#38;T\"><!ENTITY b \"&a;&a;\">]>"),
            u"AT&TAT&T"_s},
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
        {"nesting up to the limit", titleNested(RSSHeadlineParser::maxDepth), u"T"_s},
        {"nesting past the limit", titleNested(RSSHeadlineParser::maxDepth + 1), std::nullopt},
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

// feedparser's test documents, whose headers say what feedparser reads from them. Our headlines must agree save
// for the differences our rules make, listed with their reasons; any other difference fails, as does a listed one
// that no longer occurs. Documents go by their path below tests/wellformed/ (tests/ for illformed/), without .xml.
const std::pair<const char *, const char *> allowedDifferences[] = {
    {"markup inside a title adds only its text; feedparser keeps or rebuilds the markup",
        "amp/amp59 amp/amp60 amp/amp61 amp/amp62 amp/amp63 amp/amp64 amp/attr04 amp/attr05 amp/attr06 "
        "atom/entry_title_inline_markup atom/entry_title_inline_markup_2 atom/entry_title_naked_markup "
        "atom10/entry_title_inline_markup atom10/entry_title_inline_markup_2"},
    {"titles are read as written; feedparser decodes base64 content",
        "atom/entry_title_base64 atom/entry_title_base64_2 atom10/entry_title_base64 atom10/entry_title_base64_2"},
    {"the last link element wins, an href over link text; feedparser lists every link or prefers rel=alternate",
        "atom/entry_link_multiple atom/entry_link_no_href_link_priority atom10/entry_link_alternate_map_link_3 "
        "atom10/entry_link_multiple atom10/entry_link_no_href_link_priority"},
    {"a document that is not well-formed fails whole; feedparser recovers what it can",
        "illformed/rss_item_link_corrupted_ampersands"},
    {"element names are matched as written, only lowercased: dc:title is not title, and a prefix needs no "
     "declaration",
        "illformed/undeclared_namespace rss/item_dc_title"},
    {"the guid is never taken as the link", "rss/item_guid_isPermaLink_map_link rss/item_guid_map_link"},
};

// Where our reading differs from what the header expects of feedparser's, as in "not bozo and entries[0]['title']
// == entries[1]['title'] == 'Example'": well-formedness and each entry's title and link; other clauses are skipped.
QStringList differencesFromFeedparser(const QByteArray &document)
{
    static const QRegularExpression expect(uR"(Expect:\s*(.*))"_s);
    static const QRegularExpression chain(
        uR"((?:entries\[\d+\][^\s=]*\s*==\s*)+)"
        uR"re((?:'((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)"|\{[^}]*'href':\s*'([^']*)'[^}]*\}))re"_s);
    static const QRegularExpression subject(
        uR"(entries\[(\d+)\](\['title'\]|\['title_detail'\]\['value'\]|\['link'\]|\.link|\['links'\]\[\d+\](\['href'\])?)\s*==)"_s);
    const auto entries = RSSHeadlineParser::parseEntries(document);
    QMap<QString, QString> ours {{u"well-formed"_s, entries ? u"yes"_s : u"no"_s}};
    for (qsizetype i = 0; entries && i < entries->size(); ++i) {
        // An entry without a title makes no headline; for its link we take the text the parser collected.
        const std::optional<NewsHeadline> headline = RSSHeadlineParser::headline(entries->at(i));
        ours.insert(u"entry %1's title"_s.arg(i), headline ? headline->title : u"(no headline)"_s);
        ours.insert(
            u"entry %1's link"_s.arg(i), headline ? headline->url.value_or(QUrl()).toString() : entries->at(i).link);
    }
    QStringList differences;
    const auto compare = [&](const QString &what, const QString &theirs) {
        if (const QString read = ours.value(what, entries ? u"(none)"_s : entries.error().description());
            read != theirs)
            differences.append(u"%1 is '%2', ours '%3'"_s.arg(what, theirs, read));
    };
    const QString expectation
        = expect.match(QString::fromUtf8(document.first(document.indexOf("-->") + 1))).captured(1);
    if (expectation.startsWith(u"bozo") || expectation.startsWith(u"not bozo"))
        compare(u"well-formed"_s, expectation.startsWith(u"not") ? u"yes"_s : u"no"_s);
    for (const QRegularExpressionMatch &match : chain.globalMatch(expectation)) {
        const int quoted = match.hasCaptured(1) ? 1 : match.hasCaptured(2) ? 2 : 3;
        const QString value = match.captured(quoted).replace(u"\\'"_s, u"'"_s);
        for (const QRegularExpressionMatch &operand : subject.globalMatch(match.captured(0))) {
            const bool title = operand.captured(2).contains(u"title");
            compare(u"entry %1's %2"_s.arg(operand.captured(1), title ? u"title"_s : u"link"_s), value);
        }
    }
    return differences;
}

TEST(FeedparserCorpus, OurHeadlinesAgreeWithFeedparserSaveForOurRules)
{
    const QDir corpus(QStringLiteral(RIBBEX_FEEDPARSER_CORPUS "/tests"));
    ASSERT_TRUE(corpus.exists()) << "the feedparser corpus is missing: " << corpus.path().toStdString();
    QMap<QString, QStringList> differences;
    QDirIterator files(corpus.path(), {u"*.xml"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        if (const QStringList found = differencesFromFeedparser(file.readAll()); !found.isEmpty())
            differences.insert(corpus.relativeFilePath(file.fileName()).chopped(4).remove(u"wellformed/"_s), found);
    }
    for (const auto &[reason, names] : allowedDifferences) {
        for (const QString &name : QString::fromLatin1(names).split(u' '))
            EXPECT_TRUE(differences.remove(name)) << name.toStdString() << " reads the same now, though " << reason;
    }
    for (auto it = differences.cbegin(); it != differences.cend(); ++it)
        ADD_FAILURE() << it.key().toStdString() << "\n  " << it.value().join(u"\n  "_s).toStdString();
}

} // namespace
} // namespace ribbex::test
