#pragma once

// Fetches a news feed over HTTP and reads its headlines. Stateless between calls.

#include "model/source_records.h"
#include "sources/news/news_feed_error.h"

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <expected>

namespace ribbex {

class NewsRSSProvider {
public:
    static constexpr std::chrono::milliseconds defaultTimeout {20000};
    static constexpr qint64 maxBodyBytes = 8 * 1024 * 1024;
    static inline const QByteArray userAgent = QByteArrayLiteral("Ribbex/1.0 RSS reader");

    // The manager must outlive every fetch. Tests pass a short time-out.
    explicit NewsRSSProvider(QNetworkAccessManager &network, std::chrono::milliseconds timeout = defaultTimeout);

    // The first 20 headlines of the feed at url, in document order.
    QCoro::Task<std::expected<QList<NewsHeadline>, NewsFeedError>> headlines(QUrl from) const;

private:
    QNetworkAccessManager &m_network;
    std::chrono::milliseconds m_timeout;
};

} // namespace ribbex
