#include "sources/spotify/spotify_credential_store.h"

#include <QCoroFuture>
#include <QCoroSignal>
#include <QtConcurrent/QtConcurrentRun>

#include <qt6keychain/keychain.h>

#include <chrono>
#include <memory>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

// libsecret ends every wait but a password prompt: a person answers one well within this, a
// screen nobody watches never does.
constexpr auto deadline = std::chrono::minutes(2);

// Starts a job and waits for its end or the deadline. The job stays the caller's (left to delete
// itself, it could go before the queued resumption reaches us, which would then never come); one
// given up on deletes itself when libsecret answers at last, as its callback points at it.
template<typename Job> QCoro::Task<bool> finished(std::unique_ptr<Job> &job)
{
    job->setAutoDelete(false);
    job->setKey(SpotifyCredentialStore::key);
    job->start();
    const std::optional<QKeychain::Job *> done = co_await qCoro(job.get(), &QKeychain::Job::finished, deadline);
    if (!done) {
        Job *orphan = job.release();
        orphan->setAutoDelete(true);
    }
    co_return done.has_value();
}

// libsecret reports a Secret Service that neither runs nor can be started as a D-Bus error naming
// it ("The name org.freedesktop.secrets was not provided by any .service files"), and a missing
// session bus as "Cannot autolaunch D-Bus ..."; QtKeychain passes both on as OtherError, where its
// KWallet backend says NoBackendAvailable.
CredentialStoreError errorOf(const QKeychain::Job &job)
{
    const QString message = job.errorString();
    const bool noService = message.contains("org.freedesktop.secrets"_L1) || message.contains("autolaunch"_L1);
    return {noService ? QKeychain::NoBackendAvailable : job.error(), message};
}

// What a write or a delete came to.
template<typename Job> QCoro::Task<std::expected<void, CredentialStoreError>> outcome(std::unique_ptr<Job> &job)
{
    const bool done = co_await finished(job);
    if (!done)
        co_return std::unexpected(
            CredentialStoreError {QKeychain::OtherError, u"it gave no answer within two minutes"_s});
    if (job->error() != QKeychain::NoError)
        co_return std::unexpected(errorOf(*job));
    co_return {};
}

} // namespace

QString CredentialStoreError::description() const
{
    const QString start = u"The secret store could not keep the Spotify sign-in: "_s;
    if (code == QKeychain::NoBackendAvailable)
        return start + u"no secret service such as GNOME Keyring or KWallet is running."_s;
    QString words = message.trimmed();
    while (words.endsWith(u'.'))
        words.chop(1);
    return start + (words.isEmpty() ? u"it gave no reason"_s : words) + u'.';
}

SpotifyCredentialStore::SpotifyCredentialStore(QString service)
    : m_service(std::move(service))
{
}

QCoro::Task<std::optional<SpotifyCredentials>> SpotifyCredentialStore::load() const
{
    auto job = std::make_unique<QKeychain::ReadPasswordJob>(m_service);
    const bool done = co_await finished(job);
    if (!done || job->error() != QKeychain::NoError)
        co_return std::nullopt;
    // Whatever else put under our name is read off the GUI thread.
    const QFuture<std::optional<SpotifyCredentials>> decoding
        = QtConcurrent::run([data = job->binaryData()] { return decodeSpotifyCredentials(data); });
    co_return co_await decoding;
}

QCoro::Task<std::expected<void, CredentialStoreError>> SpotifyCredentialStore::save(
    SpotifyCredentials credentials) const
{
    auto job = std::make_unique<QKeychain::WritePasswordJob>(m_service);
    // Always text: libsecret files text and binary secrets under different attributes, so mixing
    // them would leave two items.
    job->setTextData(QString::fromUtf8(encodeSpotifyCredentials(credentials)));
    co_return co_await outcome(job);
}

QCoro::Task<std::expected<void, CredentialStoreError>> SpotifyCredentialStore::remove() const
{
    auto job = std::make_unique<QKeychain::DeletePasswordJob>(m_service);
    std::expected<void, CredentialStoreError> removed = co_await outcome(job);
    if (!removed && removed.error().code == QKeychain::EntryNotFound)
        co_return {};
    co_return removed;
}

} // namespace ribbex
