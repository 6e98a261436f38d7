#pragma once

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

namespace ribbex::test {

// A network access manager that sends every request, whatever its scheme and host, over plain HTTP to one loopback
// server, keeping path and query: the built-in feeds' real addresses are fetched without leaving the machine.
class LoopbackNetworkAccessManager final : public QNetworkAccessManager {
public:
    explicit LoopbackNetworkAccessManager(QUrl server)
        : m_server(std::move(server))
    {
    }

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &original, QIODevice *data) override
    {
        QUrl url = original.url();
        url.setScheme(QStringLiteral("http"));
        url.setHost(m_server.host());
        url.setPort(m_server.port());
        QNetworkRequest request(original);
        request.setUrl(url);
        return QNetworkAccessManager::createRequest(operation, request, data);
    }

private:
    QUrl m_server;
};

} // namespace ribbex::test
