// News feeds (RSS 2.0, RSS 1.0, Atom): headlines and entries from the same document.

#include "fuzz_input.h"
#include "sources/news/rss_headline_parser.h"

namespace {

using ribbex::FeedEntry;
using ribbex::NewsHeadline;
using ribbex::RSSHeadlineParser;

// A headline shows a title and opens its link on a click: never an empty title, never a link
// that would start something other than a web browser.
void expectShowable(const NewsHeadline &headline)
{
    FUZZ_EXPECT(!headline.title.isEmpty());
    FUZZ_EXPECT(headline.title == headline.title.trimmed());
    FUZZ_EXPECT(ribbex::fuzz::isPlainText(headline.title));
    // The XML reader never yields half a character, so only a cut to length could leave one.
    FUZZ_EXPECT(QStringView(headline.title).isValidUtf16());
    if (!headline.url)
        return;
    FUZZ_EXPECT(headline.url->isValid());
    FUZZ_EXPECT(headline.url->scheme() == u"http" || headline.url->scheme() == u"https");
    FUZZ_EXPECT(!headline.url->host().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray document = ribbex::fuzz::bytes(data, size);
    const auto headlines = RSSHeadlineParser::parse(document);
    const auto entries = RSSHeadlineParser::parseEntries(document);
    // Stopping after the twentieth headline must not change whether the document is accepted.
    FUZZ_EXPECT(headlines.has_value() == entries.has_value());
    if (!headlines) {
        FUZZ_EXPECT(!headlines.error().description().isEmpty());
        return 0;
    }
    FUZZ_EXPECT(headlines->size() <= RSSHeadlineParser::maxHeadlines);
    QList<NewsHeadline> fromEntries;
    for (const FeedEntry &entry : *entries) {
        if (fromEntries.size() == RSSHeadlineParser::maxHeadlines)
            break;
        if (std::optional<NewsHeadline> headline = RSSHeadlineParser::headline(entry))
            fromEntries.append(std::move(*headline));
    }
    FUZZ_EXPECT(*headlines == fromEntries);
    for (const NewsHeadline &headline : *headlines)
        expectShowable(headline);
    return 0;
}
