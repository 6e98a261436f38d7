#include "sources/news/rss_headline_parser.h"

#include "sources/net/plain_text.h"
#include "sources/news/markup_scan.h"

#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

// Element names are compared after lowercasing.
bool isNamed(QStringView name, QStringView expected)
{
    return name.compare(expected, Qt::CaseInsensitive) == 0;
}

bool isItem(QStringView name)
{
    return isNamed(name, u"item") || isNamed(name, u"entry");
}

// The qualified name ("dc:title") when the reader gives one, else the plain name.
QStringView elementName(const QXmlStreamReader &reader)
{
    return reader.qualifiedName().isEmpty() ? reader.name() : reader.qualifiedName();
}

// Upper bounds of what one reference to each entity of the internal DTD subset expands to,
// worked out from the declarations before the body is read. QXmlStreamReader caps a single
// expansion (4096 characters by default) but not how often an entity is referenced, and it
// gathers all text of an element into one token: a few megabytes of "&e;" would grow to
// gigabytes before we saw any of it.
class EntitySizes {
public:
    explicit EntitySizes(const QXmlStreamEntityDeclarations &declarations)
    {
        for (const QXmlStreamEntityDeclaration &declaration : declarations)
            m_values.insert(declaration.name().toString(), declaration.value().toString());
    }

    qint64 widest()
    {
        qint64 widest = 0;
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            widest = std::max(widest, size(it.key(), 0));
        return widest;
    }

private:
    static constexpr qint64 tooLarge = RSSHeadlineParser::maxEntityExpansion + 1;
    static constexpr int maxDepth = 32;

    qint64 size(const QString &name, int depth)
    {
        if (const auto known = m_sizes.constFind(name); known != m_sizes.cend())
            return *known;
        if (depth > maxDepth)
            return tooLarge;
        m_sizes.insert(name, tooLarge); // a reference cycle reads as too large
        const QString value = m_values.value(name);
        qint64 total = value.size();
        for (qsizetype at = value.indexOf(u'&'); at >= 0 && total < tooLarge; at = value.indexOf(u'&', at + 1)) {
            const qsizetype end = value.indexOf(u';', at);
            if (end < 0)
                break;
            const QString reference = value.sliced(at + 1, end - at - 1);
            if (m_values.contains(reference))
                total += size(reference, depth + 1) - (reference.size() + 2);
        }
        total = std::min(total, tooLarge);
        m_sizes.insert(name, total);
        return total;
    }

    QHash<QString, QString> m_values;
    QHash<QString, qint64> m_sizes;
};

void checkDocumentType(QXmlStreamReader &reader, const QByteArray &document)
{
    // Every element is checked against every declared attribute default: a few thousand of
    // them make a large document take minutes. Feeds never declare any.
    if (reader.text().contains(u"<!ATTLIST")) {
        reader.raiseError(u"Its document type declares attribute lists, which feeds do not use."_s);
        return;
    }
    if (reader.entityDeclarations().isEmpty())
        return;
    // Every reference starts with '&' in every encoding the reader accepts; counting them all
    // over-estimates, which only errs on the safe side.
    const qint64 references = document.count('&');
    if (references * EntitySizes(reader.entityDeclarations()).widest() > RSSHeadlineParser::maxEntityExpansion)
        reader.raiseError(u"Its entity references expand to more than 8 MiB of text."_s);
}

std::optional<QUrl> webLink(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text); // tolerant: feeds write links with stray spaces
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace

RSSHeadlineParser::RSSHeadlineParser(EntrySink sink)
    : m_sink(std::move(sink))
{
}

std::expected<QList<NewsHeadline>, NewsFeedError> RSSHeadlineParser::parse(const QByteArray &document)
{
    QList<NewsHeadline> headlines;
    RSSHeadlineParser parser([&headlines](FeedEntry &&entry) {
        if (std::optional<NewsHeadline> made = headline(entry))
            headlines.append(std::move(*made));
        return headlines.size() < maxHeadlines;
    });
    if (std::optional<NewsFeedError> error = parser.run(document))
        return std::unexpected(std::move(*error));
    return headlines;
}

std::expected<QList<FeedEntry>, NewsFeedError> RSSHeadlineParser::parseEntries(const QByteArray &document)
{
    QList<FeedEntry> entries;
    RSSHeadlineParser parser([&entries](FeedEntry &&entry) {
        entries.append(std::move(entry));
        return true;
    });
    if (std::optional<NewsFeedError> error = parser.run(document))
        return std::unexpected(std::move(*error));
    return entries;
}

std::optional<NewsHeadline> RSSHeadlineParser::headline(const FeedEntry &entry)
{
    QString title = plainText(entry.title).trimmed();
    if (title.isEmpty())
        return std::nullopt;
    return NewsHeadline {std::move(title), webLink(entry.link)};
}

std::optional<NewsFeedError> RSSHeadlineParser::run(const QByteArray &document)
{
    if (const std::optional<qint64> line = lineOfCrowdedTag(document, maxAttributes)) {
        return NewsFeedError {.kind = NewsFeedError::Kind::malformedFeed,
            .detail = u"An element carries more than %1 attributes."_s.arg(maxAttributes),
            .line = *line};
    }
    QXmlStreamReader reader(document);
    // Names are matched as written ("dc:title"), so an undeclared prefix is no reason to fail.
    reader.setNamespaceProcessing(false);
    qsizetype depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        // The reader's work per element grows with its depth; no feed nests more than a few levels.
        if (token == QXmlStreamReader::StartElement && ++depth > maxDepth)
            reader.raiseError(u"Its elements nest deeper than %1 levels."_s.arg(maxDepth));
        else if (token == QXmlStreamReader::EndElement)
            --depth;
        // Past the last wanted entry the rest is only checked for well-formedness.
        if (!m_wantsMore && token != QXmlStreamReader::DTD)
            continue;
        switch (token) {
        case QXmlStreamReader::DTD:
            checkDocumentType(reader, document);
            break;
        case QXmlStreamReader::StartElement:
            startElement(reader);
            break;
        case QXmlStreamReader::Characters: // CDATA sections included: many feeds wrap every title in one
            characters(reader.text());
            break;
        case QXmlStreamReader::EndElement:
            endElement(elementName(reader));
            break;
        default:
            break;
        }
    }
    if (!reader.hasError())
        return std::nullopt;
    if (reader.errorString().isEmpty())
        return NewsFeedError {.kind = NewsFeedError::Kind::cannotParseResponse};
    return NewsFeedError {
        .kind = NewsFeedError::Kind::malformedFeed, .detail = reader.errorString(), .line = reader.lineNumber()};
}

void RSSHeadlineParser::startElement(const QXmlStreamReader &reader)
{
    const QStringView name = elementName(reader);
    if (isItem(name)) {
        m_insideItem = true;
        m_title.clear();
        m_link.clear();
        m_linkFromHref = false;
        return;
    }
    if (!m_insideItem)
        return;
    if (isNamed(name, u"title")) {
        m_capturingTitle = true;
    } else if (isNamed(name, u"link")) {
        const QXmlStreamAttributes attributes = reader.attributes();
        if (attributes.hasAttribute(u"href"_s)) {
            m_link = attributes.value(u"href"_s).toString();
            m_linkFromHref = true;
            m_capturingLink = false;
        } else {
            // An href wins over link text; otherwise the last link element wins, rather than
            // the texts of several link elements running together into one address.
            m_capturingLink = !m_linkFromHref;
            if (m_capturingLink)
                m_link.clear();
        }
    }
}

void RSSHeadlineParser::characters(QStringView text)
{
    if (!m_insideItem)
        return;
    if (m_capturingTitle)
        m_title += text;
    if (m_capturingLink)
        m_link += text;
}

void RSSHeadlineParser::endElement(QStringView name)
{
    if (isNamed(name, u"title")) {
        m_capturingTitle = false;
    } else if (isNamed(name, u"link")) {
        m_capturingLink = false;
    } else if (isItem(name) && m_insideItem) {
        m_insideItem = false;
        m_wantsMore = m_sink(FeedEntry {m_title.trimmed(), m_link.trimmed()});
    }
}

} // namespace ribbex
