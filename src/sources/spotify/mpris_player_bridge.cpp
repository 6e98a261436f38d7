#include "sources/spotify/mpris_player_bridge.h"

#include "sources/net/plain_text.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>

#include <QCoroDBusPendingCall>

#include <algorithm>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

const auto objectPath = u"/org/mpris/MediaPlayer2"_s;
const auto rootInterface = u"org.mpris.MediaPlayer2"_s;
const auto playerInterface = u"org.mpris.MediaPlayer2.Player"_s;
const auto propertiesInterface = u"org.freedesktop.DBus.Properties"_s;

template<typename T> using Expected = std::expected<T, PlayerError>;

PlayerError errorOf(const QDBusMessage &reply)
{
    const QDBusError error(reply);
    switch (error.type()) {
    case QDBusError::AccessDenied:
        return {PlayerError::Kind::accessDenied};
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return {PlayerError::Kind::timedOut};
    default:
        return {PlayerError::Kind::failed, error.message()};
    }
}

// A call that ends by the deadline: one nobody answers ends in NoReply.
QDBusPendingCall send(const QDBusConnection &bus, const QDBusMessage &message, QDeadlineTimer deadline)
{
    return bus.asyncCall(message, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
}

// The unique name of the player's owner, or nothing when it has none. Calls go to that unique
// name: one to the well-known name would start Spotify when it has just quit.
QCoro::Task<Expected<std::optional<QString>>> ownerOf(QDBusConnection bus, QDeadlineTimer deadline)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, u"GetNameOwner"_s);
    message << MprisPlayerBridge::serviceName;
    const QDBusMessage reply = co_await send(bus, message, deadline);
    if (reply.type() == QDBusMessage::ReplyMessage)
        co_return reply.arguments().value(0).toString();
    if (reply.errorName() == u"org.freedesktop.DBus.Error.NameHasNoOwner"_s)
        co_return std::nullopt;
    co_return std::unexpected(errorOf(reply));
}

// A dictionary as QtDBus hands it over: still marshalled, at the top and nested in a variant.
QVariantMap mapOf(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return {};
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != u"a{sv}"_s)
        return {};
    return qdbus_cast<QVariantMap>(argument);
}

QCoro::Task<Expected<QVariantMap>> propertiesOf(
    QDBusConnection bus, QString owner, QString interface, QDeadlineTimer deadline)
{
    QDBusMessage message = QDBusMessage::createMethodCall(owner, objectPath, propertiesInterface, u"GetAll"_s);
    message << interface;
    const QDBusMessage reply = co_await send(bus, message, deadline);
    if (reply.type() != QDBusMessage::ReplyMessage)
        co_return std::unexpected(errorOf(reply));
    co_return mapOf(reply.arguments().value(0));
}

std::optional<double> secondsOf(const QVariant &microseconds)
{
    switch (microseconds.typeId()) {
    case QMetaType::LongLong:
        return static_cast<double>(microseconds.toLongLong()) / 1e6;
    case QMetaType::ULongLong:
        return static_cast<double>(microseconds.toULongLong()) / 1e6;
    default:
        return std::nullopt;
    }
}

SpotifyPlaybackResult playbackOf(const QVariantMap &player, const QDateTime &now)
{
    const QString status = player.value(u"PlaybackStatus"_s).toString();
    const QVariantMap metadata = mapOf(player.value(u"Metadata"_s));
    // Titles and artists come from Spotify's catalogue, where anyone can publish.
    QString title = plainText(metadata.value(u"xesam:title"_s).toString()).trimmed();
    if ((status != u"Playing"_s && status != u"Paused"_s) || title.isEmpty())
        return std::nullopt;
    SpotifyPlayback playback {std::move(title), std::nullopt, std::nullopt};
    const QStringList artists = metadata.value(u"xesam:artist"_s).toStringList();
    if (!artists.isEmpty())
        playback.artist = plainText(artists.join(u", "_s));
    // Spotify sends mpris:length as uint64, not int64.
    const std::optional<double> duration = secondsOf(metadata.value(u"mpris:length"_s));
    const std::optional<double> position = secondsOf(player.value(u"Position"_s));
    if (duration && position && *duration > 0)
        playback.progress = SpotifyTrackProgress {*position, *duration, now, status == u"Playing"_s};
    return playback;
}

// Free of the bridge, so that a bridge deleted while the player thinks leaves nothing dangling.
QCoro::Task<Expected<PlayerAnswer>> askPlayer(QDBusConnection bus, const Clock &clock, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    const auto owner = co_await ownerOf(bus, deadline);
    if (!owner)
        co_return std::unexpected(owner.error());
    if (!*owner)
        co_return PlayerAnswer {};
    const auto player = co_await propertiesOf(bus, **owner, playerInterface, deadline);
    if (!player)
        co_return std::unexpected(player.error());
    co_return PlayerAnswer {true, playbackOf(*player, clock.now())};
}

QCoro::Task<bool> raisePlayer(QDBusConnection bus, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    const auto owner = co_await ownerOf(bus, deadline);
    if (!owner || !*owner)
        co_return false;
    const auto root = co_await propertiesOf(bus, **owner, rootInterface, deadline);
    if (!root || !root->value(u"CanRaise"_s).toBool())
        co_return false;
    const QDBusMessage reply
        = co_await send(bus, QDBusMessage::createMethodCall(**owner, objectPath, rootInterface, u"Raise"_s), deadline);
    co_return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

MprisPlayerBridge::MprisPlayerBridge(
    QDBusConnection bus, const Clock &clock, QObject *parent, std::chrono::milliseconds limit)
    : PlayerBridge(parent)
    , m_bus(std::move(bus))
    , m_clock(clock)
    , m_limit(limit)
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(250ms);
    connect(&m_coalesce, &QTimer::timeout, this, &PlayerBridge::changed);
    // Naming the service makes QtDBus take these only from the name's current owner, so another
    // program cannot pass itself off as the player.
    m_bus.connect(serviceName, objectPath, propertiesInterface, u"PropertiesChanged"_s, {playerInterface}, QString(),
        this, SLOT(noteEvent()));
    m_bus.connect(serviceName, objectPath, playerInterface, u"Seeked"_s, this, SLOT(noteEvent()));
    auto *owners = new QDBusServiceWatcher(serviceName, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, &MprisPlayerBridge::noteEvent);
}

QCoro::Task<std::expected<PlayerAnswer, PlayerError>> MprisPlayerBridge::currentPlayback()
{
    return askPlayer(m_bus, m_clock, m_limit);
}

QCoro::Task<bool> MprisPlayerBridge::raise()
{
    return raisePlayer(m_bus, m_limit);
}

// The first event of a burst starts the timer and later ones ride along, so a track change shows
// within 250 ms however busy the player is.
void MprisPlayerBridge::noteEvent()
{
    if (!m_coalesce.isActive())
        m_coalesce.start();
}

} // namespace ribbex
