#pragma once

// One bounded HTTP request, awaited on the GUI thread: the clients of every source fetch through
// it.

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>

#include <QCoroTask>

#include <chrono>
#include <expected>

namespace ribbex {

struct HttpResponse {
    int statusCode = 0;
    QByteArray body;
    bool fromCache = false;

    bool isSuccess() const { return statusCode >= 200 && statusCode < 300; }
};

// Why no usable HTTP answer arrived. One type for every client, with one set of user texts.
struct FetchFailure {
    enum class Kind {
        timedOut, // the deadline passed before the last byte
        tooLarge, // the body (decoded) grew past the limit; reading stopped there
        headersTooLarge, // the header block passed its limit, or was too malformed to read
        tooManyRedirects,
        notHttp, // the answer was not an HTTP response
        brokenOff, // a successful answer ended before all of its body arrived
        network, // no answer: host not found, connection refused, TLS failure...
    };

    Kind kind = Kind::network;
    QString detail {}; // the network layer's own words, for network and brokenOff
    qint64 limit = 0; // for tooLarge: the body limit in bytes

    bool operator==(const FetchFailure &) const = default;

    // The sentence the user reads, about "the server".
    QString description() const;
};

struct FetchLimits {
    static constexpr qint64 maxHeaderBytes = 64 * 1024;

    qint64 maxBodyBytes = 0;
    std::chrono::milliseconds deadline {20000}; // from the request's start to its last byte
    // Zero: a redirect is itself the answer, so a request carrying a secret never follows one.
    int maxRedirects = 10;
};

// GETs the request. An HTTP answer of any status is a response; only the absence of a whole one
// is a failure. Redirects are followed up to the limit. The reply never buffers much more
// than the body limit, and the task resumes from the event loop, never from inside one of the
// reply's signals, so a caller may destroy the manager as soon as the task has finished.
QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpGet(
    QNetworkAccessManager &network, QNetworkRequest request, FetchLimits limits);

// POSTs body in the same way.
QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpPost(
    QNetworkAccessManager &network, QNetworkRequest request, QByteArray body, FetchLimits limits);

} // namespace ribbex
