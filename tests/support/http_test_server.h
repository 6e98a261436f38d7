#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

#include <chrono>
#include <functional>

namespace ribbex::test {

struct HttpTestRequest {
    QByteArray method;
    QString path;
    QUrlQuery query;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body {};
};

struct HttpTestResponse {
    int status = 200;
    QByteArray body {};
    QList<std::pair<QByteArray, QByteArray>> headers {};
    std::chrono::milliseconds delay {0};
    bool chunked = false; // send the body chunked, announcing no length
    qint64 announcedLength = -1; // a Content-Length other than the body's, for truncated answers
    QByteArray raw {}; // when set, sent as it is instead of an HTTP response
    std::chrono::milliseconds trickle {0}; // when set, the whole answer goes out a byte at a time
};

// An HTTP/1.1 server on loopback that answers each request through a handler and remembers
// every request it saw, so tests can check paths, queries, headers and counts.
class HttpTestServer final : public QObject {
public:
    using Handler = std::function<HttpTestResponse(const HttpTestRequest &)>;

    explicit HttpTestServer(Handler handler);

    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const;
    const QList<HttpTestRequest> &requests() const { return m_requests; }
    qsizetype count(const QString &path) const;

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const HttpTestResponse &response);

    QTcpServer m_server;
    Handler m_handler;
    QList<HttpTestRequest> m_requests;
};

} // namespace ribbex::test
