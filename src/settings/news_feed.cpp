#include "settings/news_feed.h"

#include <algorithm>

namespace ribbex {

namespace {

NewsFeed feed(const char16_t *id, const char16_t *name, const char16_t *url)
{
    return {QString::fromUtf16(id), QString::fromUtf16(name), QUrl(QString::fromUtf16(url))};
}

// The aggregator's search expression is stored percent-encoded and sent exactly as stored.
QList<NewsFeed> builtInFeeds()
{
    return {
        feed(u"bbc", u"BBC News", u"https://feeds.bbci.co.uk/news/rss.xml"),
        feed(u"guardian", u"The Guardian", u"https://www.theguardian.com/world/rss"),
        feed(u"nytimes", u"The New York Times", u"https://rss.nytimes.com/services/xml/rss/nyt/World.xml"),
        feed(u"telegraph", u"The Telegraph", u"https://www.telegraph.co.uk/rss.xml"),
        feed(u"sky", u"Sky News", u"https://feeds.skynews.com/feeds/rss/home.xml"),
        feed(u"aljazeera", u"Al Jazeera", u"https://www.aljazeera.com/xml/rss/all.xml"),
        feed(u"dw", u"Deutsche Welle", u"https://rss.dw.com/rdf/rss-en-top"),
        feed(u"france24", u"France 24", u"https://www.france24.com/en/rss"),
        feed(u"cnn", u"CNN",
            u"https://news.google.com/rss/search"
            u"?q=when%3A24h%20site%3Acnn.com%20-intitle%3Asitemap%20-site%3Acnn.com/business/calculators"
            u"&hl=en-US&gl=US&ceid=US:en"),
    };
}

} // namespace

const QList<NewsFeed> &NewsFeed::all()
{
    static const QList<NewsFeed> feeds = builtInFeeds();
    return feeds;
}

const NewsFeed &NewsFeed::defaultFeed()
{
    return all().first();
}

const NewsFeed &NewsFeed::feedFor(const QString &id)
{
    const auto &feeds = all();
    const auto it = std::ranges::find(feeds, id, &NewsFeed::id);
    return it == feeds.end() ? defaultFeed() : *it;
}

std::optional<NewsFeed> NewsFeed::custom(const QString &text)
{
    if (!isValidCustomFeedAddress(text))
        return std::nullopt;
    return NewsFeed {customId, customName, QUrl(text, QUrl::StrictMode)};
}

bool isValidCustomFeedAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return false;
    const QString scheme = url.scheme().toLower();
    return (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

} // namespace ribbex
