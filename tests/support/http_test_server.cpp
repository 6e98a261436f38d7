#include "support/http_test_server.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

namespace ribbex::test {

namespace {

std::optional<HttpTestRequest> parseRequest(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3)
        return std::nullopt;
    HttpTestRequest request;
    request.method = requestLine[0];
    const QUrl target(QString::fromLatin1(requestLine[1]));
    request.path = target.path();
    request.query = QUrlQuery(target.query(QUrl::FullyEncoded));
    for (const QByteArray &line : lines.sliced(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.sliced(colon + 1).trimmed());
    }
    return request;
}

QByteArray serialise(const HttpTestResponse &response)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n"; // clients go by the code
    for (const auto &[name, value] : response.headers)
        out += name + ": " + value + "\r\n";
    out += "Connection: close\r\n";
    if (response.chunked) {
        out += "Transfer-Encoding: chunked\r\n\r\n";
        constexpr qsizetype chunkSize = 64 * 1024;
        for (qsizetype at = 0; at < response.body.size(); at += chunkSize) {
            const QByteArray chunk = response.body.mid(at, chunkSize);
            out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
        }
        return out + "0\r\n\r\n";
    }
    const qint64 length = response.announcedLength >= 0 ? response.announcedLength : response.body.size();
    return out + "Content-Length: " + QByteArray::number(length) + "\r\n\r\n" + response.body;
}

} // namespace

HttpTestServer::HttpTestServer(Handler handler)
    : m_handler(std::move(handler))
{
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
}

QUrl HttpTestServer::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(pathAndQuery));
}

qsizetype HttpTestServer::count(const QString &path) const
{
    return std::ranges::count(m_requests, path, &HttpTestRequest::path);
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpTestServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray all = socket->peek(1024 * 1024);
    const qsizetype headEnd = all.indexOf("\r\n\r\n");
    if (socket->property("answered").toBool() || headEnd < 0)
        return;
    std::optional<HttpTestRequest> request = parseRequest(all.left(headEnd));
    if (request) {
        const qsizetype length = request->headers.value("content-length").toLongLong();
        if (all.size() < headEnd + 4 + length)
            return; // the rest of the body is on its way
        request->body = all.mid(headEnd + 4, length);
    }
    socket->setProperty("answered", true);
    socket->readAll();
    if (!request) {
        socket->disconnectFromHost();
        return;
    }
    m_requests.append(*request);
    const HttpTestResponse response = m_handler(*request);
    QTimer::singleShot(response.delay, socket, [this, socket = QPointer(socket), response] {
        if (socket)
            respond(socket, response);
    });
}

void HttpTestServer::respond(QTcpSocket *socket, const HttpTestResponse &response)
{
    const QByteArray bytes = response.raw.isEmpty() ? serialise(response) : response.raw;
    if (response.trickle.count() <= 0) {
        socket->write(bytes);
        socket->disconnectFromHost();
        return;
    }
    auto *pace = new QTimer(socket);
    connect(pace, &QTimer::timeout, socket, [socket, pace, bytes, sent = qsizetype(0)]() mutable {
        if (sent < bytes.size())
            socket->write(bytes.mid(sent++, 1));
        else
            pace->stop();
    });
    pace->start(response.trickle);
}

} // namespace ribbex::test
