#include "settings/news_feed.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

TEST(NewsFeed, UnknownIdsReadTheDefaultFeed)
{
    ASSERT_EQ(NewsFeed::all().size(), 9);
    EXPECT_EQ(NewsFeed::defaultFeed().id, u"bbc");
    EXPECT_EQ(NewsFeed::feedFor(QStringLiteral("dw")).name, u"Deutsche Welle");
    EXPECT_EQ(NewsFeed::feedFor(QStringLiteral("DW")).id, u"bbc");
    EXPECT_EQ(NewsFeed::feedFor(QStringLiteral("custom")).id, u"bbc");
    for (const NewsFeed &feed : NewsFeed::all())
        EXPECT_EQ(feed.url.scheme(), u"https") << feed.id.toStdString();
}

TEST(NewsFeed, SearchFeedSendsItsQueryExactlyAsStored)
{
    const NewsFeed &cnn = NewsFeed::feedFor(QStringLiteral("cnn"));
    EXPECT_EQ(cnn.url.path(), u"/rss/search");
    EXPECT_EQ(cnn.url.query(QUrl::FullyEncoded),
        u"q=when%3A24h%20site%3Acnn.com%20-intitle%3Asitemap%20-site%3Acnn.com/business/calculators"
        u"&hl=en-US&gl=US&ceid=US:en");
}

TEST(NewsFeed, RecordsWithTheSameIdButOtherNamesDiffer)
{
    NewsFeed renamed = NewsFeed::defaultFeed();
    renamed.name = QStringLiteral("Other");
    EXPECT_NE(renamed, NewsFeed::defaultFeed());
}

TEST(NewsFeed, CustomAddressNeedsHttpSchemeAndHost)
{
    const std::pair<const char16_t *, bool> cases[] = {
        {u"https://example.org/feed.xml", true},
        {u"http://example.org", true},
        {u"HTTPS://EXAMPLE.ORG/rss", true},
        {u"http://127.0.0.1:8080/feed", true},
        {u"ftp://example.org/feed.xml", false},
        {u"https:///feed.xml", false},
        {u"https:feed.xml", false},
        {u"example.org/feed.xml", false},
        {u"javascript:alert(1)", false},
        {u"file:///etc/passwd", false},
        {u"", false},
        {u"https://exa mple.org/", false},
    };
    for (const auto &[text, valid] : cases) {
        const QString address = QString::fromUtf16(text);
        EXPECT_EQ(isValidCustomFeedAddress(address), valid) << address.toStdString();
        const std::optional<NewsFeed> feed = NewsFeed::custom(address);
        EXPECT_EQ(feed.has_value(), valid);
        if (feed) {
            EXPECT_EQ(feed->id, u"custom");
            EXPECT_EQ(feed->name, u"Custom RSS");
        }
    }
}

} // namespace
} // namespace ribbex
