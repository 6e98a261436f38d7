// Every news refresh parses the whole feed on the GUI thread; a 1 MiB feed must take at most 10 ms.

#include "sources/news/rss_headline_parser.h"

#include <benchmark/benchmark.h>

namespace ribbex {
namespace {

// A feed shaped like the big publishers': CDATA titles, escaped HTML descriptions, media
// elements and namespaces, about 1 KiB per item.
QByteArray oneMebibyteFeed()
{
    QByteArray document
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
          "xmlns:media=\"http://search.yahoo.com/mrss/\" xmlns:atom=\"http://www.w3.org/2005/Atom\">"
          "<channel><title><![CDATA[World News]]></title><link>https://news.example/</link>"
          "<atom:link href=\"https://news.example/rss.xml\" rel=\"self\" type=\"application/rss+xml\"/>\n";
    for (int n = 0; document.size() < 1024 * 1024; ++n) {
        const QByteArray number = QByteArray::number(n);
        document += "<item><title><![CDATA[Ministers meet as talks on the budget resume, day " + number
            + " – what we know]]></title>"
              "<description>&lt;p&gt;Leaders from both parties met on Tuesday &amp;amp; agreed to keep "
              "talking. &lt;a href=&quot;https://news.example/live&quot;&gt;Follow live&lt;/a&gt;&lt;/p&gt; "
              "The discussions, which began last week, are expected to run into the weekend as "
              "negotiators work through the remaining issues one by one.</description>"
              "<link>https://news.example/world/"
            + number + "</link><guid isPermaLink=\"false\">https://news.example/world/" + number
            + "#0</guid><pubDate>Sun, 06 Dec 2026 15:00:00 GMT</pubDate><dc:creator>Staff</dc:creator>"
              "<media:thumbnail width=\"240\" height=\"135\" url=\"https://images.example/"
            + number + ".jpg\"/><category>World</category><category>Politics</category></item>\n";
    }
    return document + "</channel></rss>\n";
}

void parseOneMebibyteFeed(benchmark::State &state)
{
    const QByteArray document = oneMebibyteFeed();
    for (auto _ : state) {
        auto headlines = RSSHeadlineParser::parse(document);
        if (!headlines || headlines->size() != RSSHeadlineParser::maxHeadlines)
            state.SkipWithError("the feed did not parse");
        benchmark::DoNotOptimize(headlines);
    }
    state.SetBytesProcessed(state.iterations() * document.size());
}
BENCHMARK(parseOneMebibyteFeed)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ribbex
