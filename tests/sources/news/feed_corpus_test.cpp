// Reads feedparser's test documents and compares our headlines with what each document's header
// says feedparser reads. The differences our rules make are listed below with their reasons; any
// other difference fails, and so does a listed one that no longer occurs.

#include "sources/news/rss_headline_parser.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

// Documents by their path below the corpus's tests/wellformed/ (or tests/, for illformed/), without ".xml".
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

// One thing feedparser's expectation says: whether the document is well-formed, or an entry's
// title or link (empty: it has none).
struct Claim {
    QString field;
    int entry = 0;
    QString value;
};

// The claims of an expectation such as "not bozo and entries[0]['title'] == entries[1]['title'] ==
// 'Example'"; clauses about anything else are skipped.
QList<Claim> claimsOf(const QString &expectation)
{
    static const QRegularExpression chain(
        uR"((?:entries\[\d+\][^\s=]*\s*==\s*)+)"
        uR"re((?:'((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)"|\{[^}]*'href':\s*'([^']*)'[^}]*\}))re"_s);
    static const QRegularExpression subject(
        uR"(entries\[(\d+)\](?:\['(title)'\]|\['(title)_detail'\]\['value'\]|\['(link)'\]|\.(link)|\['(link)s'\]\[\d+\](?:\['href'\])?)\s*==)"_s);
    static const QRegularExpression noLink(uR"(not entries\[(\d+)\]\.has_key\('link'\))"_s);
    QList<Claim> claims;
    if (expectation.startsWith(u"bozo") || expectation.startsWith(u"not bozo"))
        claims.append({u"well-formed"_s, 0, expectation.startsWith(u"not") ? u"true"_s : u"false"_s});
    for (const QRegularExpressionMatch &link : noLink.globalMatch(expectation))
        claims.append({u"link"_s, link.captured(1).toInt(), QString()});
    for (const QRegularExpressionMatch &match : chain.globalMatch(expectation)) {
        const int quoted = match.hasCaptured(1) ? 1 : match.hasCaptured(2) ? 2 : 3;
        const QString value = match.captured(quoted).replace(u"\\'"_s, u"'"_s);
        for (const QRegularExpressionMatch &operand : subject.globalMatch(match.captured(0))) {
            const QStringList fields = operand.capturedTexts().sliced(2);
            const auto field = std::ranges::find_if(fields, [](const QString &f) { return !f.isEmpty(); });
            claims.append({*field, operand.captured(1).toInt(), value});
        }
    }
    return claims;
}

// Our reading of what a claim is about: the headline an entry makes, or for an entry without a
// title (which makes none) the link text the parser collected.
QString ours(const Claim &claim, const std::expected<QList<FeedEntry>, NewsFeedError> &entries)
{
    if (claim.field == u"well-formed")
        return entries ? u"true"_s : u"false"_s;
    if (!entries)
        return u"(refused: %1)"_s.arg(entries.error().description());
    if (claim.entry >= entries->size())
        return u"(no entry)"_s;
    const std::optional<NewsHeadline> headline = RSSHeadlineParser::headline(entries->at(claim.entry));
    if (claim.field == u"title")
        return headline ? headline->title : u"(no headline)"_s;
    if (!headline)
        return entries->at(claim.entry).link;
    return headline->url ? headline->url->toString() : QString();
}

TEST(FeedparserCorpus, OurHeadlinesAgreeWithFeedparserSaveForOurRules)
{
    const QDir corpus(QStringLiteral(RIBBEX_FEEDPARSER_CORPUS "/tests"));
    ASSERT_TRUE(corpus.exists()) << "the feedparser corpus is missing: " << corpus.path().toStdString();
    static const QRegularExpression expect(uR"(Expect:\s*(.*))"_s);
    static const QRegularExpression wellformed(u"^wellformed/"_s);

    QMap<QString, QStringList> differences;
    int documents = 0;
    qsizetype claimCount = 0;
    QDirIterator files(corpus.path(), {u"*.xml"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray document = file.readAll();
        const QString name = corpus.relativeFilePath(file.fileName()).chopped(4).remove(wellformed);
        const QString header = QString::fromUtf8(document.first(document.indexOf("-->") + 1));
        const QList<Claim> claims = claimsOf(expect.match(header).captured(1).trimmed());
        ++documents;
        claimCount += claims.size();
        const auto entries = RSSHeadlineParser::parseEntries(document);
        for (const Claim &claim : claims) {
            if (const QString read = ours(claim, entries); read != claim.value)
                differences[name].append(
                    u"entry %1's %2 is '%3', ours '%4'"_s.arg(claim.entry).arg(claim.field, claim.value, read));
        }
    }
    EXPECT_EQ(documents, 182);
    EXPECT_EQ(claimCount, 295); // what the expectations say about well-formedness, titles and links

    for (const auto &[reason, names] : allowedDifferences) {
        for (const QString &name : QString::fromLatin1(names).split(u' '))
            EXPECT_TRUE(differences.remove(name)) << name.toStdString() << " reads the same now, though " << reason;
    }
    for (auto it = differences.cbegin(); it != differences.cend(); ++it)
        ADD_FAILURE() << it.key().toStdString() << "\n  " << it.value().join(u"\n  "_s).toStdString();
}

} // namespace
} // namespace ribbex::test
