#include "sources/spotify/spotify_credential_store.h"
#include "support/test_keyring.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>

#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

const SpotifyCredentials signIn {
    u"access-1"_s, u"refresh-1"_s, QDateTime::fromMSecsSinceEpoch(1'767'225'600'123, Qt::UTC)};

TEST(SpotifyCredentialsJson, StoresSecondsSince2001AndReadsOnlyTheWholeRecord)
{
    // 2001-01-01 00:00:01.500 UTC is 1.5 in the stored form.
    const QDateTime oneAndAHalf = QDateTime::fromMSecsSinceEpoch(978'307'201'500, Qt::UTC);
    const QJsonObject stored
        = QJsonDocument::fromJson(encodeSpotifyCredentials({u"a"_s, u"r"_s, oneAndAHalf})).object();
    EXPECT_EQ(stored, (QJsonObject {{u"accessToken"_s, u"a"_s}, {u"refreshToken"_s, u"r"_s}, {u"expiresAt"_s, 1.5}}));

    const std::pair<const char *, std::optional<SpotifyCredentials>> cases[] = {
        // 131257.425 * 1000 is 131257424.99999999 in doubles.
        {R"({"scope":"x","accessToken":"a","refreshToken":"r","expiresAt":131257.425})",
            SpotifyCredentials {u"a"_s, u"r"_s, QDateTime::fromMSecsSinceEpoch(978'438'457'425, Qt::UTC)}},
        {R"({"accessToken":"a","expiresAt":1.5})", std::nullopt},
        {R"({"accessToken":"a","refreshToken":7,"expiresAt":1.5})", std::nullopt},
        {R"({"accessToken":"a","refreshToken":"r","expiresAt":"1.5"})", std::nullopt},
        {R"({"accessToken":"a","refreshToken":"r","expiresAt":1e400})", std::nullopt},
        {R"({"accessToken":"a","refreshToken":"r","expiresAt":-1e300})", std::nullopt},
    };
    for (const auto &[json, expected] : cases)
        EXPECT_TRUE(decodeSpotifyCredentials(QByteArrayView(json)) == expected) << json;
}

// Saving, renewing into the one item and reading back are tried with the Web API's renewal.
TEST(CredentialStoreTest, RemovingForgetsTheSignInAndASecretThatIsNotOneReadsAsNone)
{
    test::TestKeyring keyring;
    const SpotifyCredentialStore store;
    ASSERT_TRUE(QCoro::waitFor(store.save(signIn)));
    EXPECT_TRUE(QCoro::waitFor(store.remove()));
    EXPECT_FALSE(QCoro::waitFor(store.load()));
    EXPECT_TRUE(QCoro::waitFor(store.remove()));

    QKeychain::WritePasswordJob write(SpotifyCredentialStore::defaultService);
    write.setAutoDelete(false);
    write.setKey(SpotifyCredentialStore::key);
    write.setTextData(u"hunter2"_s);
    write.start();
    QCoro::waitFor(qCoro(&write, &QKeychain::Job::finished));
    ASSERT_EQ(write.error(), QKeychain::NoError) << write.errorString().toStdString();
    EXPECT_FALSE(QCoro::waitFor(store.load()));
}

TEST(CredentialStoreWithoutSecretService, FindsNothingAndSaysWhyItCannotSave)
{
    const SpotifyCredentialStore store;
    EXPECT_FALSE(QCoro::waitFor(store.load()));
    const std::expected<void, CredentialStoreError> saved = QCoro::waitFor(store.save(signIn));
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().description().toStdString(),
        "The secret store could not keep the Spotify sign-in: no secret service such as GNOME Keyring or KWallet is "
        "running.");
}

} // namespace
} // namespace ribbex
