#include "sources/news/news_rss_provider.h"

#include "sources/net/http_get.h"
#include "sources/news/rss_headline_parser.h"

#include <QNetworkRequest>

namespace ribbex {

namespace {

NewsFeedError errorOf(const FetchFailure &failure)
{
    switch (failure.kind) {
    case FetchFailure::Kind::timedOut:
        return {.kind = NewsFeedError::Kind::timedOut, .detail = failure.detail};
    case FetchFailure::Kind::tooLarge:
        return {.kind = NewsFeedError::Kind::tooLarge};
    case FetchFailure::Kind::notHttp:
        return {.kind = NewsFeedError::Kind::badServerResponse};
    case FetchFailure::Kind::network:
        break;
    }
    return {.kind = NewsFeedError::Kind::network, .detail = failure.detail};
}

} // namespace

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
    const std::expected<HttpResponse, FetchFailure> response
        = co_await httpGet(m_network, std::move(request), FetchLimits {maxBodyBytes, m_timeout});
    if (!response)
        co_return std::unexpected(errorOf(response.error()));
    if (!response->isSuccess())
        co_return std::unexpected(
            NewsFeedError {.kind = NewsFeedError::Kind::badServerResponse, .statusCode = response->statusCode});
    co_return RSSHeadlineParser::parse(response->body);
}

} // namespace ribbex
