#include "app/single_instance.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

const QString applicationInterface = u"org.freedesktop.Application"_s;
constexpr int handOverTimeoutMs = 5000;

// The freedesktop application interface, as launchers and `gapplication` speak it.
class ApplicationAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(SingleInstance *instance)
        : QDBusAbstractAdaptor(instance)
        , m_instance(instance)
    {
    }

public Q_SLOTS:
    void Activate(const QVariantMap &) { Q_EMIT m_instance->activationRequested(); }
    void Open(const QStringList &uris, const QVariantMap &) { Q_EMIT m_instance->urlsReceived(uris); }
    // Ribbex has no application actions; activating one shows the settings like a launch does.
    void ActivateAction(const QString &, const QVariantList &, const QVariantMap &)
    {
        Q_EMIT m_instance->activationRequested();
    }

private:
    SingleInstance *m_instance;
};

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    new ApplicationAdaptor(this);
}

SingleInstance::~SingleInstance()
{
    if (m_ownsName) {
        m_bus.unregisterObject(objectPath);
        m_bus.unregisterService(serviceName);
    }
}

SingleInstance::Role SingleInstance::claim()
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return Role::alone;
    // The object is there before the name, so a request that arrives at once finds it.
    if (!m_bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors))
        return Role::alone;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = m_bus.interface()->registerService(
        serviceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_ownsName = true;
        return Role::primary;
    }
    m_bus.unregisterObject(objectPath);
    return reply.isValid() ? Role::secondary : Role::alone;
}

std::expected<void, QString> SingleInstance::handOver(const QStringList &urls)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName, objectPath, applicationInterface, urls.isEmpty() ? u"Activate"_s : u"Open"_s);
    if (urls.isEmpty())
        call << QVariantMap();
    else
        call << urls << QVariantMap();
    const QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, handOverTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return std::unexpected(u"could not reach the running ribbex: "_s + reply.errorMessage());
    return {};
}

} // namespace ribbex

#include "single_instance.moc"
