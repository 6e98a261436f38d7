#include "support/private_bus.h"

#include "support/temp_home.h"

#include <QDBusError>

#include <gtest/gtest.h>

namespace ribbex::test {

using namespace Qt::StringLiterals;

PrivateBus::PrivateBus()
{
    // A bus that starts only the services a test puts in XDG_DATA_HOME, so no keyring starts in
    // the developer's home.
    QByteArray config = readFile(QStringLiteral(RIBBEX_SESSION_BUS_CONFIG));
    if (const QByteArray dataHome = qgetenv("XDG_DATA_HOME"); !dataHome.isEmpty())
        config.replace(
            "</busconfig>", QByteArray("<servicedir>" + dataHome + "/dbus-1/services</servicedir></busconfig>"));
    m_config.open();
    m_config.write(config);
    m_config.close();
    m_daemon.start(u"dbus-daemon"_s,
        {u"--config-file="_s + m_config.fileName(), u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
    if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000)) {
        ADD_FAILURE() << "dbus-daemon did not start";
        return;
    }
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    m_daemon.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect(const QString &name)
{
    const QString unique = name + u'@' + m_address;
    m_connections.append(unique);
    QDBusConnection connection = QDBusConnection::connectToBus(m_address, unique);
    EXPECT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
    return connection;
}

} // namespace ribbex::test
