#include "sources/net/http_get.h"

#include <QCoroSignal>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// What the reply may hold unread; the network thread pauses while it is full.
constexpr qint64 readBufferBytes = 256 * 1024;

struct DeleteLater {
    void operator()(QObject *object) const { object->deleteLater(); }
};

qint64 headerBytes(const QNetworkReply &reply)
{
    qint64 total = 0;
    for (const auto &[name, value] : reply.rawHeaderPairs())
        total += name.size() + value.size() + 4; // "name: value\r\n"
    return total;
}

// Reads one reply into memory within its limits, and says when it is over. Its `done` signal is
// always emitted from the event loop, never from inside a signal of the reply, so whoever
// awaits it may tear down the reply and its manager.
class BoundedDownload final : public QObject {
    Q_OBJECT

public:
    BoundedDownload(QNetworkReply *reply, FetchLimits limits)
        : m_reply(reply)
        , m_limits(limits)
    {
        reply->setReadBufferSize(readBufferBytes);
        connect(reply, &QNetworkReply::metaDataChanged, this, &BoundedDownload::checkHeaders);
        connect(reply, &QNetworkReply::readyRead, this, &BoundedDownload::readAvailable);
        connect(reply, &QNetworkReply::finished, this, &BoundedDownload::replyFinished);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { stop({FetchFailure::Kind::timedOut}); });
        m_deadline.start(limits.deadline);
        if (reply->isFinished())
            replyFinished();
    }

    ~BoundedDownload() override
    {
        if (m_reply) {
            m_reply->disconnect(this);
            m_reply->abort();
            m_reply->deleteLater();
        }
    }

    std::expected<HttpResponse, FetchFailure> result() const;

Q_SIGNALS:
    void done();

private:
    void checkHeaders()
    {
        const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // Qt drops the whole header block when it cannot read it (more than a hundred fields, or
        // one past 8 KiB), and with it the body's framing: nothing after it can be trusted.
        if (headerBytes(*m_reply) > FetchLimits::maxHeaderBytes
            || (status.isValid() && m_reply->rawHeaderPairs().isEmpty()))
            stop({FetchFailure::Kind::headersTooLarge});
        else if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > m_limits.maxBodyBytes
            && m_reply->rawHeader("Content-Encoding").isEmpty())
            stop({.kind = FetchFailure::Kind::tooLarge, .limit = m_limits.maxBodyBytes});
    }

    // Reads in bounded steps: one read of a compressed body may otherwise inflate without end.
    void readAvailable()
    {
        constexpr qint64 step = 64 * 1024;
        while (!m_failure && m_reply->bytesAvailable() > 0) {
            const qsizetype before = m_body.size();
            const qint64 wanted = std::min(step, m_limits.maxBodyBytes + 1 - before);
            m_body.resize(before + wanted);
            const qint64 got = m_reply->read(m_body.data() + before, wanted);
            m_body.resize(before + std::max<qint64>(got, 0));
            if (got <= 0)
                break;
            if (m_body.size() > m_limits.maxBodyBytes)
                stop({.kind = FetchFailure::Kind::tooLarge, .limit = m_limits.maxBodyBytes});
        }
    }

    void replyFinished()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_deadline.stop();
        if (!m_failure)
            readAvailable();
        QMetaObject::invokeMethod(this, &BoundedDownload::done, Qt::QueuedConnection);
    }

    // The first failure wins. The abort runs from the event loop: aborting finishes the reply at
    // once, and that must not happen inside the reply's own signal.
    void stop(FetchFailure failure)
    {
        if (m_failure || m_finished)
            return;
        m_failure = std::move(failure);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_reply && !m_finished)
                    m_reply->abort();
            },
            Qt::QueuedConnection);
    }

    QPointer<QNetworkReply> m_reply;
    FetchLimits m_limits;
    QTimer m_deadline;
    QByteArray m_body;
    std::optional<FetchFailure> m_failure;
    bool m_finished = false;
};

std::expected<HttpResponse, FetchFailure> BoundedDownload::result() const
{
    if (m_failure)
        return std::unexpected(*m_failure);
    if (!m_reply) // the manager went away with it
        return std::unexpected(FetchFailure {FetchFailure::Kind::network});
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::TooManyRedirectsError)
        return std::unexpected(FetchFailure {FetchFailure::Kind::tooManyRedirects});
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        if (error == QNetworkReply::NoError || error == QNetworkReply::ProtocolFailure)
            return std::unexpected(FetchFailure {FetchFailure::Kind::notHttp});
        return std::unexpected(FetchFailure {FetchFailure::Kind::network, m_reply->errorString()});
    }
    HttpResponse response {
        status.toInt(), m_body, m_reply->attribute(QNetworkRequest::SourceIsFromCacheAttribute).toBool()};
    // Qt reports HTTP statuses as errors too; only a successful answer can be cut short.
    if (error != QNetworkReply::NoError && response.isSuccess())
        return std::unexpected(FetchFailure {FetchFailure::Kind::brokenOff, m_reply->errorString()});
    return response;
}

// The network layer's words as the end of our sentence, with exactly one full stop.
QString asSentenceEnd(const QString &words)
{
    return words.endsWith(u'.') ? words : words + u'.';
}

} // namespace

QString FetchFailure::description() const
{
    switch (kind) {
    case Kind::timedOut:
        return u"The server did not answer in time."_s;
    case Kind::tooLarge:
        return u"The server sent more than %1 MiB."_s.arg(limit / (1024 * 1024));
    case Kind::headersTooLarge:
        return u"The server sent response headers that are too large or too many."_s;
    case Kind::tooManyRedirects:
        return u"The server redirected the request too many times."_s;
    case Kind::notHttp:
        return u"The server’s answer was not an HTTP response."_s;
    case Kind::brokenOff:
        return u"The server’s answer broke off: "_s + asSentenceEnd(detail);
    case Kind::network:
        break;
    }
    if (detail.isEmpty())
        return u"The server could not be reached."_s;
    return u"The server could not be reached: "_s + asSentenceEnd(detail);
}

namespace {

QCoro::Task<std::expected<HttpResponse, FetchFailure>> fetch(
    QNetworkAccessManager &network, QNetworkRequest request, std::optional<QByteArray> postBody, FetchLimits limits)
{
    if (limits.maxRedirects > 0)
        request.setMaximumRedirectsAllowed(limits.maxRedirects);
    else
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Qt's own check for compression bombs stalls a reply whose read buffer is bounded; our
    // limit counts the decoded bytes instead.
    request.setDecompressedSafetyCheckThreshold(-1);
    QNetworkReply *reply = postBody ? network.post(request, *postBody) : network.get(request);
    const std::unique_ptr<BoundedDownload, DeleteLater> download(new BoundedDownload(reply, limits));
    co_await qCoro(download.get(), &BoundedDownload::done);
    co_return download->result();
}

} // namespace

QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpGet(
    QNetworkAccessManager &network, QNetworkRequest request, FetchLimits limits)
{
    return fetch(network, std::move(request), std::nullopt, limits);
}

QCoro::Task<std::expected<HttpResponse, FetchFailure>> httpPost(
    QNetworkAccessManager &network, QNetworkRequest request, QByteArray body, FetchLimits limits)
{
    return fetch(network, std::move(request), std::move(body), limits);
}

} // namespace ribbex

#include "http_get.moc"
