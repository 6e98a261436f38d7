#pragma once

// Reads the headlines of an RSS 2.0, RSS 1.0 (RDF) or Atom document: bytes in, records out, with
// no network, so tests, fuzzers and benchmarks reach it directly.

#include "model/source_records.h"
#include "sources/news/news_feed_error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <expected>
#include <functional>
#include <optional>

class QXmlStreamReader;

namespace ribbex {

// One item or entry as the parser collected it, before it becomes a headline.
struct FeedEntry {
    QString title; // trimmed; empty when the entry has no title text
    QString link; // trimmed; the last href, else the text of the last link element

    bool operator==(const FeedEntry &) const = default;
};

class RSSHeadlineParser {
public:
    static constexpr qsizetype maxHeadlines = 20;
    // Text that references to the document's own entities may add, in characters.
    static constexpr qint64 maxEntityExpansion = 8 * 1024 * 1024;
    // More attributes on one element than any feed needs; the reader's cost grows with their square.
    static constexpr qsizetype maxAttributes = 256;
    static constexpr qsizetype maxDepth = 256;

    // The first 20 entries with a title, in document order. The whole document must be
    // well-formed: a feed cut off after its twentieth item fails like any other.
    static std::expected<QList<NewsHeadline>, NewsFeedError> parse(const QByteArray &document);
    // Every entry in document order, untitled ones included.
    static std::expected<QList<FeedEntry>, NewsFeedError> parseEntries(const QByteArray &document);
    // The headline an entry makes: none without a title, and a link only for an http or https
    // address with a host, so a feed cannot make a click run some other handler.
    static std::optional<NewsHeadline> headline(const FeedEntry &entry);

private:
    // Takes each finished entry; returns whether it wants more.
    using EntrySink = std::function<bool(FeedEntry &&)>;

    explicit RSSHeadlineParser(EntrySink sink);

    std::optional<NewsFeedError> run(const QByteArray &document);
    void startElement(const QXmlStreamReader &reader);
    void characters(QStringView text);
    void endElement(QStringView name);

    EntrySink m_sink;
    bool m_wantsMore = true;
    QString m_title;
    QString m_link;
    bool m_insideItem = false;
    bool m_capturingTitle = false;
    bool m_capturingLink = false;
    bool m_linkFromHref = false;
};

} // namespace ribbex
