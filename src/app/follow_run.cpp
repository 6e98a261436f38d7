#include "app/follow_run.h"

#include "app/follow_output.h"
#include "app/follow_terminal.h"
#include "app/refresh_timers.h"
#include "app/single_instance.h"
#include "app/ticker_feed.h"
#include "platform/clock.h"
#include "platform/file_preferences_store.h"
#include "platform/session_display_state.h"
#include "platform/xdg_autostart.h"
#include "platform/xdg_paths.h"
#include "sources/net/network_access.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>

#include <cstdlib>
#include <memory>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// The strip's sources, run here while no strip does: the same files, pacing, sleep and wake.
class OwnTicker final {
public:
    OwnTicker()
        : m_settingsStore(ribbexConfigFolder())
        , m_cacheStore(ribbexCacheFolder())
        , m_loginItems(autostartFolder(), QCoreApplication::applicationFilePath())
        , m_model({m_settingsStore, m_cacheStore, m_loginItems, m_clock, /*mayRegisterLoginItem=*/false})
        , m_network(makeNetworkAccessManager(ribbexCacheFolder() + u"/http"_s))
        , m_sources(makeSources({m_model, *m_network}))
        , m_timers(m_model, sourcePointers(m_sources))
        , m_display(QDBusConnection::systemBus(), QDBusConnection::sessionBus())
        , m_feed(m_model, m_sources)
    {
        QObject::connect(&m_display, &DisplayState::displayDidSleep, &m_timers, [this] { update(); });
        QObject::connect(&m_display, &DisplayState::displayDidWake, &m_timers, [this] { update(); });
    }

    const TickerSnapshotFeed &feed() const { return m_feed; }

    // Refreshes only while the displays are awake and no strip does it instead.
    void setStripRunning(bool running)
    {
        m_stripRunning = running;
        update();
    }

private:
    void update()
    {
        const bool run = !m_stripRunning && m_display.isAwake();
        if (run && !m_launched) {
            m_launched = true;
            m_timers.launch();
        } else if (run && !m_timers.isDisplayAwake()) {
            m_timers.displayDidWake();
        } else if (!run && m_launched && m_timers.isDisplayAwake()) {
            m_timers.displayDidSleep();
        }
    }

    FilePreferencesStore m_settingsStore;
    FilePreferencesStore m_cacheStore;
    XdgAutostart m_loginItems;
    const SystemClock m_clock;
    SettingsModel m_model;
    std::unique_ptr<QNetworkAccessManager> m_network;
    SourceList m_sources;
    RefreshTimers m_timers;
    SessionDisplayState m_display;
    TickerSnapshotFeed m_feed;
    bool m_stripRunning = true;
    bool m_launched = false;
};

class Follower final : public QObject {
    Q_OBJECT

public:
    Follower(const RunFollow &run, FollowTerminal &terminal)
        : m_run(run)
        , m_terminal(terminal)
        , m_bus(QDBusConnection::sessionBus())
        , m_stripWatcher(SingleInstance::serviceName, m_bus,
              QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration)
    {
        m_rotation.setInterval(std::chrono::milliseconds(qRound64(run.interval * 1000)));
        connect(&m_rotation, &QTimer::timeout, this, [this] {
            ++m_shownItem;
            print();
        });
        connect(&m_stripWatcher, &QDBusServiceWatcher::serviceRegistered, this, &Follower::followStrip);
        connect(&m_stripWatcher, &QDBusServiceWatcher::serviceUnregistered, this, &Follower::followOwnSources);
        m_bus.connect(SingleInstance::serviceName, TickerFeedService::objectPath, TickerFeedService::interfaceName,
            u"Changed"_s, this, SLOT(stripChanged(QString, QString)));
        const bool stripRunning
            = m_bus.isConnected() && m_bus.interface()->isServiceRegistered(SingleInstance::serviceName);
        stripRunning ? followStrip() : followOwnSources();
    }

private Q_SLOTS:
    void stripChanged(const QString &line, const QString &json)
    {
        if (m_followingStrip)
            show({line, json});
    }

private:
    void followStrip()
    {
        m_followingStrip = true;
        if (m_own)
            m_own->setStripRunning(true);
        askStrip(0);
    }

    void followOwnSources()
    {
        m_followingStrip = false;
        if (!m_own) {
            m_own = std::make_unique<OwnTicker>();
            connect(&m_own->feed(), &TickerSnapshotFeed::changed, this, [this](const TickerSnapshot &snapshot) {
                if (!m_followingStrip)
                    show(snapshot);
            });
        }
        m_own->setStripRunning(false);
        show(m_own->feed().current());
    }

    // A strip that has just taken the name may not offer its ticker yet: it is asked again for a
    // few seconds before this process runs the sources itself.
    void askStrip(int attempt)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(SingleInstance::serviceName, TickerFeedService::objectPath,
            TickerFeedService::interfaceName, u"Snapshot"_s);
        auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this, [this, attempt](QDBusPendingCallWatcher *watcher) {
            watcher->deleteLater();
            const QDBusPendingReply<QString, QString> reply = *watcher;
            if (!m_followingStrip)
                return;
            if (!reply.isError()) {
                show({reply.argumentAt<0>(), reply.argumentAt<1>()});
            } else if (attempt < 20) {
                QTimer::singleShot(250, this, [this, attempt] {
                    if (m_followingStrip)
                        askStrip(attempt + 1);
                });
            } else {
                followOwnSources();
            }
        });
    }

    void show(const TickerSnapshot &snapshot)
    {
        m_snapshot = snapshot;
        m_items = followItems(snapshot.json);
        m_takenAt.start();
        print();
        const bool moving = m_items.size() > 1 || (m_items.size() == 1 && m_items.first().playing);
        if (m_run.format == RunFollow::Format::waybar && moving != m_rotation.isActive())
            moving ? m_rotation.start() : m_rotation.stop();
    }

    void print()
    {
        QByteArray line;
        switch (m_run.format) {
        case RunFollow::Format::text:
            line = m_snapshot.line.toUtf8() + '\n';
            break;
        case RunFollow::Format::json:
            line = m_snapshot.json.toUtf8() + '\n';
            break;
        case RunFollow::Format::waybar:
            line = waybarLine(m_items, m_shownItem, static_cast<double>(m_takenAt.elapsed()) / 1000.0);
            break;
        }
        if (line == m_printed)
            return;
        m_printed = line;
        if (!m_terminal.writeLine(line))
            QCoreApplication::exit(0);
    }

    RunFollow m_run;
    FollowTerminal &m_terminal;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_stripWatcher;
    std::unique_ptr<OwnTicker> m_own;
    bool m_followingStrip = false;
    TickerSnapshot m_snapshot;
    QList<FollowItem> m_items;
    QElapsedTimer m_takenAt;
    qsizetype m_shownItem = 0;
    QTimer m_rotation;
    QByteArray m_printed;
};

} // namespace

int runFollow(const RunFollow &run)
{
    FollowTerminal terminal;
    QObject::connect(&terminal, &FollowTerminal::ended, [] { QCoreApplication::exit(0); });
    Follower follower(run, terminal);
    const int status = QCoreApplication::exec();
    // Refreshes still waiting on the network are abandoned, not awaited: a bar that goes away
    // expects the process gone at once, and nothing is left to write (every file is committed when
    // it changes, and each line went out whole).
    std::_Exit(status);
}

} // namespace ribbex

#include "follow_run.moc"
