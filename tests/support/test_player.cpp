#include "support/test_player.h"

#include <QDBusMessage>
#include <QDBusVariant>

namespace ribbex::test {

using namespace Qt::StringLiterals;

const auto rootInterface = u"org.mpris.MediaPlayer2"_s;
const auto playerInterface = u"org.mpris.MediaPlayer2.Player"_s;

TestPlayer::TestPlayer(QDBusConnection bus)
    : m_bus(std::move(bus))
{
    m_bus.registerVirtualObject(path, this);
    m_bus.registerService(name);
}

void TestPlayer::announce()
{
    QDBusMessage changed
        = QDBusMessage::createSignal(path, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    m_bus.send(changed << playerInterface << properties(playerInterface) << QStringList());
}

bool TestPlayer::handleMessage(const QDBusMessage &call, const QDBusConnection &bus)
{
    if (mode == Mode::hang) {
        call.setDelayedReply(true); // and no reply ever
        return true;
    }
    if (mode == Mode::denyAccess)
        return bus.send(call.createErrorReply(QDBusError::AccessDenied, u"Rejected send message"_s));
    if (call.interface() == rootInterface && call.member() == u"Raise"_s) {
        ++raiseCalls;
        return bus.send(call.createReply());
    }
    const QVariantMap all = properties(call.arguments().value(0).toString());
    if (call.member() == u"Get"_s)
        return bus.send(
            call.createReply(QVariant::fromValue(QDBusVariant(all.value(call.arguments().value(1).toString())))));
    return call.member() == u"GetAll"_s && bus.send(call.createReply(all));
}

QVariantMap TestPlayer::properties(const QString &interface) const
{
    if (interface == rootInterface)
        return {{u"CanRaise"_s, canRaise}, {u"Identity"_s, u"Spotify"_s}};
    QVariantMap metadata {{u"xesam:title"_s, track.title}};
    if (track.artists)
        metadata[u"xesam:artist"_s] = *track.artists;
    if (track.length != Length::absent) // Spotify's way is unsigned
        metadata[u"mpris:length"_s] = track.length == Length::int64 ? QVariant(track.lengthMicroseconds)
                                                                    : QVariant(qulonglong(track.lengthMicroseconds));
    return {
        {u"PlaybackStatus"_s, track.status}, {u"Metadata"_s, metadata}, {u"Position"_s, track.positionMicroseconds}};
}

} // namespace ribbex::test
