#pragma once

// One Ribbex per user session. The first process owns the bus name com.ribbex.Ribbex and serves
// the desktop's org.freedesktop.Application interface there; a later process hands its request
// to it and exits.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <expected>

namespace ribbex {

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    static inline const QString serviceName = QStringLiteral("com.ribbex.Ribbex");
    static inline const QString objectPath = QStringLiteral("/com/ribbex/Ribbex");

    enum class Role {
        primary, // this process owns the name and receives requests
        secondary, // another process owns it
        alone, // no session bus: nobody can be asked, so this process runs by itself
    };

    explicit SingleInstance(QDBusConnection bus, QObject *parent = nullptr);
    ~SingleInstance() override;

    Role claim();

    // Asks the running process to open its settings window (no URLs) or to handle the URLs.
    // Waits at most a few seconds: a hung instance must not hang the one asking.
    std::expected<void, QString> handOver(const QStringList &urls);

Q_SIGNALS:
    void activationRequested();
    void urlsReceived(const QStringList &urls);

private:
    QDBusConnection m_bus;
    bool m_ownsName = false;
};

} // namespace ribbex
