#include "sources/spotify/spotify_credential_store.h"
#include "support/test_keyring.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>

#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>

namespace ribbex {

void PrintTo(const SpotifyCredentials &credentials, std::ostream *out)
{
    *out << qPrintable(credentials.accessToken) << ' ' << qPrintable(credentials.refreshToken) << ' '
         << qPrintable(credentials.expiresAt.toString(Qt::ISODateWithMs));
}

namespace {

using namespace Qt::StringLiterals;

// 2001-01-01 00:00:01.500 UTC is 1.5 in the stored form.
const QDateTime oneAndAHalf = QDateTime::fromMSecsSinceEpoch(978'307'201'500, Qt::UTC);
const SpotifyCredentials signIn {
    u"access-1"_s, u"refresh-1"_s, QDateTime::fromMSecsSinceEpoch(1'767'225'600'123, Qt::UTC)};

TEST(SpotifyCredentialsJson, StoresSecondsSince2001AndReadsOnlyTheWholeRecord)
{
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
        EXPECT_EQ(decodeSpotifyCredentials(QByteArrayView(json)), expected) << json;
}

class CredentialStoreTest : public testing::Test {
protected:
    test::TestKeyring keyring;
    SpotifyCredentialStore store;
};

TEST_F(CredentialStoreTest, ASecondSaveReplacesTheFirstInOneItem)
{
    EXPECT_EQ(QCoro::waitFor(store.load()), std::nullopt);
    ASSERT_TRUE(QCoro::waitFor(store.save(signIn)));
    EXPECT_EQ(QCoro::waitFor(store.load()), signIn);
    const SpotifyCredentials renewed {u"access-2"_s, u"refresh-2"_s, signIn.expiresAt.addSecs(3600)};
    ASSERT_TRUE(QCoro::waitFor(store.save(renewed)));
    EXPECT_EQ(QCoro::waitFor(store.load()), renewed);
    EXPECT_EQ(keyring.itemCount(SpotifyCredentialStore::defaultService), 1);
}

TEST_F(CredentialStoreTest, ASecretThatIsNotASignInReadsAsNone)
{
    QKeychain::WritePasswordJob write(SpotifyCredentialStore::defaultService);
    write.setAutoDelete(false);
    write.setKey(SpotifyCredentialStore::key);
    write.setTextData(u"hunter2"_s);
    write.start();
    QCoro::waitFor(qCoro(&write, &QKeychain::Job::finished));
    ASSERT_EQ(write.error(), QKeychain::NoError) << write.errorString().toStdString();
    EXPECT_EQ(QCoro::waitFor(store.load()), std::nullopt);
}

TEST_F(CredentialStoreTest, RemovingForgetsTheSignInAndRemovingNothingSucceeds)
{
    ASSERT_TRUE(QCoro::waitFor(store.save(signIn)));
    EXPECT_TRUE(QCoro::waitFor(store.remove()));
    EXPECT_EQ(QCoro::waitFor(store.load()), std::nullopt);
    EXPECT_TRUE(QCoro::waitFor(store.remove()));
}

TEST(CredentialStoreWithoutSecretService, FindsNothingAndSaysWhyItCannotSave)
{
    const SpotifyCredentialStore store;
    EXPECT_EQ(QCoro::waitFor(store.load()), std::nullopt);
    const std::expected<void, CredentialStoreError> saved = QCoro::waitFor(store.save(signIn));
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().description().toStdString(),
        "The secret store could not keep the Spotify sign-in: no secret service such as GNOME Keyring or KWallet is "
        "running.");
}

} // namespace
} // namespace ribbex
