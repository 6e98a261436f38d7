// Whether a hostile feed can stall the strip: shows the strip over a model whose news source
// fetches an 8 MiB feed from a server in this process again and again, and reports the longest
// gap between two ticks of a 30 Hz timer on the GUI thread (the strip's scroll timer waits
// exactly as long). Run it in an X session, e.g.
//   tests/support/with-x11-session refresh_stall [--kind attributes|items|title|nesting] [--seconds 20]

#include "scratch_model.h"
#include "sources/source_list.h"
#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype documentBytes = 8 * 1024 * 1024 - 1024;

// The most expensive feeds we could think of that stay within the body limit.
QByteArray hostileFeed(const QString &kind)
{
    QByteArray body;
    if (kind == u"attributes") { // one element with ~700,000 attributes
        body = "<rss><channel><item ";
        for (int i = 0; body.size() < documentBytes - 100; ++i)
            body += 'a' + QByteArray::number(i) + "=\"\" ";
        return body + "><title>x</title></item></channel></rss>";
    }
    if (kind == u"title") { // one title of 8 MiB
        return "<rss><channel><item><title>" + QByteArray(documentBytes - 100, 'x') + "</title></item></channel></rss>";
    }
    if (kind == u"nesting") { // elements nested a million deep
        const qsizetype depth = (documentBytes - 40) / 7;
        return "<rss>" + QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth) + "</rss>";
    }
    body = "<rss><channel>"; // items: tens of thousands of ordinary ones
    for (int i = 0; body.size() < documentBytes - 200; ++i)
        body += "<item><title>Headline " + QByteArray::number(i) + "</title><link>https://example.org/"
            + QByteArray::number(i) + "</link></item>";
    return body + "</channel></rss>";
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype kindAt = arguments.indexOf(QStringLiteral("--kind"));
    const QString kind = kindAt > 0 ? arguments.value(kindAt + 1) : QStringLiteral("items");
    const qsizetype secondsAt = arguments.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? arguments.value(secondsAt + 1).toInt() : 20;

    const QByteArray feed = hostileFeed(kind);
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &feed] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                    + QByteArray::number(feed.size()) + "\r\n\r\n" + feed);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });

    using namespace ribbex;
    ScratchModel scratch;
    SettingsModel &model = scratch.model;
    RibbexSettings settings = model.settings();
    settings.enabledSources = {TickerSource::news};
    settings.newsFeedID = QStringLiteral("custom");
    settings.customNewsFeedURL = QStringLiteral("http://127.0.0.1:%1/feed.xml").arg(server.serverPort());
    model.setSettings(settings);
    model.setNewsHeadlines({{QStringLiteral("A headline long enough to scroll across the whole strip, twice over"),
        QUrl(QStringLiteral("https://example.org/"))}});

    QNetworkAccessManager network;
    const SourceList sources = makeSources({model, network});
    LiveSource &news = **std::ranges::find_if(sources, [](const auto &s) { return s->kind() == TickerSource::news; });
    DesktopClickHandler clicks;
    MenuBarScrollerController controller(
        model, scratch.settingsStore, clicks, [] {}, [] {});

    int refreshes = 0;
    bool refreshing = false;
    QTimer again;
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (refreshing)
            return;
        refreshing = true;
        [](LiveSource &source, int &count, bool &busy) -> QCoro::Task<> {
            co_await source.refreshNow();
            ++count;
            busy = false;
        }(news, refreshes, refreshing);
    });
    again.start(100);

    std::vector<qint64> gaps;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            gaps.push_back(sinceTick.elapsed());
        sinceTick.restart();
    });
    probe.start(1000 / 30);

    QTimer::singleShot(seconds * 1000, [&] {
        std::ranges::sort(gaps);
        const auto percentile = [&](double p) { return gaps[static_cast<std::size_t>(p * double(gaps.size() - 1))]; };
        std::printf("feed '%s', %lld bytes, %d refreshes in %d s; last status: %s\n", qPrintable(kind),
            static_cast<long long>(feed.size()), refreshes, seconds, qPrintable(model.newsStatus()));
        std::printf("gaps between 30 Hz ticks: median %lld ms, 99th percentile %lld ms, longest %lld ms\n",
            static_cast<long long>(percentile(0.5)), static_cast<long long>(percentile(0.99)),
            static_cast<long long>(gaps.back()));
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
