#pragma once

// One bounded HTTP GET, awaited on the GUI thread: the clients of every source fetch through it.

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>

#include <QCoroTask>

#include <chrono>
#include <expected>
#include <optional>

namespace ribbex {

struct HttpResponse {
    int statusCode = 0;
    QByteArray body;
    bool fromCache = false;

    bool isSuccess() const { return statusCode >= 200 && statusCode < 300; }
};

struct FetchFailure {
    enum class Kind {
        timedOut, // nothing arrived for the whole time-out
        tooLarge, // the body grew past the limit; reading stopped there
        notHttp, // the answer was not an HTTP response
        network, // no answer: host not found, connection refused, TLS failure...
    };

    Kind kind = Kind::network;
    QString detail; // the network layer's own words, for the user
};

struct FetchLimits {
    qint64 maxBodyBytes = 0;
    std::chrono::milliseconds timeout {20000};
};

// GETs the request. An HTTP answer of any status is a response; only the absence of one is a
// failure. The time-out counts from the last byte received, so a slow but steady answer lives.
QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpGet(
    QNetworkAccessManager &network, QNetworkRequest request, FetchLimits limits);

} // namespace ribbex
