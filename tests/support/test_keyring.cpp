#include "support/test_keyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace ribbex::test {

using namespace Qt::StringLiterals;

namespace {

const QString secretService = u"org.freedesktop.secrets"_s;

} // namespace

TestKeyring::TestKeyring()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, folder] : {std::pair {"HOME", "home"}, {"XDG_DATA_HOME", "data"},
             {"XDG_CONFIG_HOME", "config"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = m_home.filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QString::fromLatin1(name), path);
    }
    m_daemon.setProcessEnvironment(environment);
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // --unlock creates the login keyring, the default one, with the password read from stdin to
    // its end; an empty password is taken as none given and leaves no keyring to write into.
    m_daemon.start(u"gnome-keyring-daemon"_s, {u"--foreground"_s, u"--components=secrets"_s, u"--unlock"_s});
    if (!m_daemon.waitForStarted(5000)) {
        ADD_FAILURE() << "gnome-keyring-daemon did not start";
        return;
    }
    m_daemon.write("test");
    m_daemon.closeWriteChannel();
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    const bool serving = QTest::qWaitFor(
        [&] { return m_daemon.state() != QProcess::Running || bus->isServiceRegistered(secretService); }, 10000);
    if (!serving || m_daemon.state() != QProcess::Running)
        ADD_FAILURE() << "gnome-keyring-daemon did not take " << secretService.toStdString();
}

TestKeyring::~TestKeyring()
{
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

int TestKeyring::itemCount(const QString &service) const
{
    // QtKeychain files a secret under the attributes user (the key), server (the service) and type.
    QDBusMessage search = QDBusMessage::createMethodCall(
        secretService, u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"SearchItems"_s);
    qDBusRegisterMetaType<QMap<QString, QString>>();
    search << QVariant::fromValue(QMap<QString, QString> {{u"server"_s, service}});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(search);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        ADD_FAILURE() << "SearchItems failed: " << reply.errorMessage().toStdString();
        return -1;
    }
    // Unlocked items, then locked ones.
    qsizetype count = 0;
    for (const QVariant &paths : reply.arguments())
        count += qdbus_cast<QList<QDBusObjectPath>>(paths).size();
    return int(count);
}

} // namespace ribbex::test
