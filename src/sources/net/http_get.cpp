#include "sources/net/http_get.h"

#include <QCoroNetworkReply>
#include <QNetworkReply>

#include <memory>

namespace ribbex {

namespace {

struct DeleteLater {
    void operator()(QObject *object) const
    {
        object->disconnect();
        object->deleteLater();
    }
};

FetchFailure failureOf(const QNetworkReply &reply, bool exceededLimit)
{
    if (exceededLimit)
        return {FetchFailure::Kind::tooLarge, QString()};
    if (reply.error() == QNetworkReply::OperationCanceledError || reply.error() == QNetworkReply::TimeoutError)
        return {FetchFailure::Kind::timedOut, reply.errorString()};
    return {FetchFailure::Kind::network, reply.errorString()};
}

} // namespace

QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpGet(
    QNetworkAccessManager &network, QNetworkRequest request, FetchLimits limits)
{
    request.setTransferTimeout(static_cast<int>(limits.timeout.count()));
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(network.get(request));
    bool exceededLimit = false;
    // Stop reading as soon as the announced or received size passes the limit.
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
        [&exceededLimit, max = limits.maxBodyBytes, r = reply.get()](qint64 received, qint64 total) {
            if (!exceededLimit && (received > max || total > max)) {
                exceededLimit = true;
                r->abort();
            }
        });
    co_await reply.get();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (exceededLimit || !status.isValid()) {
        if (!exceededLimit && reply->error() == QNetworkReply::NoError)
            co_return std::unexpected(FetchFailure {FetchFailure::Kind::notHttp, QString()});
        co_return std::unexpected(failureOf(*reply, exceededLimit));
    }
    co_return HttpResponse {
        status.toInt(), reply->readAll(), reply->attribute(QNetworkRequest::SourceIsFromCacheAttribute).toBool()};
}

} // namespace ribbex
