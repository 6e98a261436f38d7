#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QTemporaryFile>

namespace ribbex::test {

// A D-Bus session bus of the test's own: a dbus-daemon started for the object and stopped with
// it, so bus names claimed by one test never meet another's or the user's.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // A new connection to the bus under a name of its own; each behaves like another client.
    QDBusConnection connect(const QString &name);
    // For a process that must take it as its session or system bus.
    QString address() const { return m_address; }

private:
    QTemporaryFile m_config;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

} // namespace ribbex::test
