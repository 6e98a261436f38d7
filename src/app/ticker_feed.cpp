#include "app/ticker_feed.h"

#include "app/once_output.h"
#include "ticker/strip_render.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>

namespace ribbex {

namespace {

// The interface as the bus sees it.
class TickerAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.ribbex.Ticker")

public:
    TickerAdaptor(QObject *parent, const TickerSnapshotFeed &feed)
        : QDBusAbstractAdaptor(parent)
        , m_feed(feed)
    {
        setAutoRelaySignals(false);
        connect(&feed, &TickerSnapshotFeed::changed, this,
            [this](const TickerSnapshot &snapshot) { Q_EMIT Changed(snapshot.line, snapshot.json); });
    }

public Q_SLOTS:
    QString Snapshot(QString &json)
    {
        json = m_feed.current().json;
        return m_feed.current().line;
    }

Q_SIGNALS:
    void Changed(const QString &line, const QString &json);

private:
    const TickerSnapshotFeed &m_feed;
};

} // namespace

TickerSnapshot tickerSnapshot(const SettingsModel &model, const SourceList &sources)
{
    return {plainTickerLine(model).trimmed(), QString::fromUtf8(tickerAsJson(model, sources).trimmed())};
}

TickerSnapshotFeed::TickerSnapshotFeed(const SettingsModel &model, const SourceList &sources, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_sources(sources)
    , m_current(tickerSnapshot(model, sources))
{
    // A refresh publishes several properties in a row; they are read once, together.
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &TickerSnapshotFeed::compose);
    connect(&model, &SettingsModel::changed, &m_pending, qOverload<>(&QTimer::start));
}

void TickerSnapshotFeed::compose()
{
    TickerSnapshot next = tickerSnapshot(m_model, m_sources);
    if (next == m_current)
        return;
    m_current = std::move(next);
    Q_EMIT changed(m_current);
}

TickerFeedService::TickerFeedService(QDBusConnection bus, const TickerSnapshotFeed &feed, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    new TickerAdaptor(this, feed);
    m_bus.registerObject(objectPath, this);
}

TickerFeedService::~TickerFeedService()
{
    m_bus.unregisterObject(objectPath);
}

} // namespace ribbex

#include "ticker_feed.moc"
