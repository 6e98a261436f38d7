#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QStringList>

#include <optional>

namespace ribbex::test {

// A Spotify desktop player for tests: serves org.mpris.MediaPlayer2.spotify's MPRIS properties on a
// connection to a private bus with the track a test sets, or never answers, or refuses.
class TestPlayer final : public QDBusVirtualObject {
public:
    static inline const QString name = QStringLiteral("org.mpris.MediaPlayer2.spotify");
    static inline const QString path = QStringLiteral("/org/mpris/MediaPlayer2");

    enum class Length { int64, uint64, absent };
    enum class Mode { answer, hang, denyAccess };
    struct Track {
        QString status = QStringLiteral("Playing");
        QString title = QStringLiteral("Song");
        std::optional<QStringList> artists = QStringList {QStringLiteral("Artist")};
        Length length = Length::int64;
        qint64 lengthMicroseconds = 200'000'000;
        qint64 positionMicroseconds = 50'000'000;
    };

    // Claims the name unless another connection holds it, and then plays an impostor.
    explicit TestPlayer(QDBusConnection bus);
    ~TestPlayer() override { m_bus.unregisterObject(path); }

    // PropertiesChanged for the Player interface, as a player sends on a change of track.
    void announce();
    // Gives up the name, as a player that quits.
    void quit() { m_bus.unregisterService(name); }

    Track track;
    Mode mode = Mode::answer;
    bool canRaise = true;
    int raiseCalls = 0;

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &call, const QDBusConnection &bus) override;

private:
    QVariantMap properties(const QString &interface) const;

    QDBusConnection m_bus;
};

} // namespace ribbex::test
