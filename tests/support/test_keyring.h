#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ribbex::test {

// A real gnome-keyring-daemon serving the Secret Service on the test's session bus (the suite runs
// under dbus-run-session), with keyrings in a temporary home of its own, already unlocked so no
// prompt ever shows. Stopped with the object.
class TestKeyring {
public:
    TestKeyring();
    ~TestKeyring();
    TestKeyring(const TestKeyring &) = delete;
    TestKeyring &operator=(const TestKeyring &) = delete;

    // How many secrets QtKeychain keeps for the service, under any key.
    int itemCount(const QString &service) const;

private:
    QTemporaryDir m_home;
    QProcess m_daemon;
};

} // namespace ribbex::test
