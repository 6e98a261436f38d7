#pragma once

// What the ticker shows, as one value a status bar's follower prints from, and the strip's
// offer of it on the session bus: `--follow` reads the running strip's ticker rather than
// fetching everything a second time.

#include "model/settings_model.h"
#include "sources/source_list.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>

namespace ribbex {

struct TickerSnapshot {
    QString line; // the composed line, as `--once` prints it
    QString json; // the `--once` JSON object, on one line

    bool operator==(const TickerSnapshot &) const = default;
};

TickerSnapshot tickerSnapshot(const SettingsModel &model, const SourceList &sources);

// Composes the snapshot on the turn of the event loop after the model changes, and announces it
// when it differs from the last.
class TickerSnapshotFeed final : public QObject {
    Q_OBJECT

public:
    // The model and the sources must outlive this object.
    TickerSnapshotFeed(const SettingsModel &model, const SourceList &sources, QObject *parent = nullptr);

    const TickerSnapshot &current() const { return m_current; }

Q_SIGNALS:
    void changed(const TickerSnapshot &snapshot);

private:
    void compose();

    const SettingsModel &m_model;
    const SourceList &m_sources;
    TickerSnapshot m_current;
    QTimer m_pending;
};

// The strip's side: the interface com.ribbex.Ticker at /com/ribbex/Ribbex/Ticker under the name
// the single instance owns, with the method Snapshot() -> (line, json) and the signal
// Changed(line, json).
class TickerFeedService final : public QObject {
    Q_OBJECT

public:
    static inline const QString objectPath = QStringLiteral("/com/ribbex/Ribbex/Ticker");
    static inline const QString interfaceName = QStringLiteral("com.ribbex.Ticker");

    TickerFeedService(QDBusConnection bus, const TickerSnapshotFeed &feed, QObject *parent = nullptr);
    ~TickerFeedService() override;

private:
    QDBusConnection m_bus;
};

} // namespace ribbex
