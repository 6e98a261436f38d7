#include "sources/news/news_rss_provider.h"

#include "sources/net/http_get.h"
#include "sources/news/rss_headline_parser.h"

#include <QCoroFuture>
#include <QNetworkRequest>
#include <QtConcurrent/QtConcurrentRun>

namespace ribbex {

NewsRSSProvider::NewsRSSProvider(QNetworkAccessManager &network, std::chrono::milliseconds timeout)
    : m_network(network)
    , m_timeout(timeout)
{
}

QCoro::Task<std::expected<QList<NewsHeadline>, NewsFeedError>> NewsRSSProvider::headlines(QUrl from) const
{
    QNetworkRequest request(from);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    // Nothing of this object is touched after the await, so it may go while a fetch runs.
    std::expected<HttpResponse, FetchFailure> response
        = co_await httpGet(m_network, std::move(request), FetchLimits {maxBodyBytes, m_timeout});
    if (!response)
        co_return std::unexpected(NewsFeedError {.kind = NewsFeedError::Kind::fetch, .failure = response.error()});
    if (!response->isSuccess())
        co_return std::unexpected(
            NewsFeedError {.kind = NewsFeedError::Kind::badServerResponse, .statusCode = response->statusCode});
    // Parsing grows with what the server sent: it runs off the GUI thread. (The future is a
    // named value: g++ 12 mishandles temporaries inside a co_await expression.)
    const QFuture<std::expected<QList<NewsHeadline>, NewsFeedError>> parsing
        = QtConcurrent::run(&RSSHeadlineParser::parse, std::move(response->body));
    co_return co_await parsing;
}

} // namespace ribbex
