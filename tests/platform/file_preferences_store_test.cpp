#include "platform/file_preferences_store.h"

#include "support/full_disk.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using test::readFile;
using test::TempHome;
using test::writeFile;
using testing::AllOf;
using testing::HasSubstr;

unsigned modeOf(const QString &path)
{
    struct stat info { };
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A read's outcome spelled out, so that a mismatch reads well.
std::string readOutcome(const PreferencesStore &store, const QString &key)
{
    const auto bytes = store.read(key);
    if (!bytes)
        return "error: " + bytes.error().description().toStdString();
    if (!bytes->has_value())
        return "absent";
    return "bytes: " + (*bytes)->toStdString();
}

TEST(FilePreferencesStore, readsBackWhatWasWrittenUnderEachKey)
{
    TempHome home;
    FilePreferencesStore store(home.ribbexConfigDir());

    ASSERT_TRUE(store.write(u"settings"_s, "{\"a\":1}"));
    ASSERT_TRUE(store.write(u"position"_s, QByteArray()));
    ASSERT_TRUE(store.write(u"settings"_s, "{\"a\":2}"));

    EXPECT_EQ(readOutcome(store, u"settings"_s), "bytes: {\"a\":2}");
    EXPECT_EQ(readOutcome(store, u"position"_s), "bytes: ");
    EXPECT_EQ(readOutcome(store, u"fixtures"_s), "absent");
    EXPECT_EQ(readFile(home.ribbexConfigDir() + u"/settings.json"_s), "{\"a\":2}");
}

TEST(FilePreferencesStore, keepsFilesPrivateAndCreatesFoldersPrivate)
{
    const struct {
        const char *name;
        std::optional<QFile::Permissions> existing;
    } cases[] = {
        {"new file", std::nullopt},
        {"replaces a readable file", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        FilePreferencesStore store(home.ribbexConfigDir());
        const QString path = store.pathFor(u"settings"_s);
        if (c.existing) {
            writeFile(path, "old");
            QFile::setPermissions(path, *c.existing);
        }
        // A folder the store did not make is the user's: its mode stays as it was.
        const unsigned folderMode = c.existing ? modeOf(home.ribbexConfigDir()) : 0700u;
        const unsigned parentMode = c.existing ? modeOf(home.configDir()) : 0700u;

        ASSERT_TRUE(store.write(u"settings"_s, "new"));

        EXPECT_EQ(modeOf(path), 0600u);
        EXPECT_EQ(modeOf(home.ribbexConfigDir()), folderMode);
        EXPECT_EQ(modeOf(home.configDir()), parentMode);
    }
}

TEST(FilePreferencesStore, refusesKeysThatLeaveTheFolderOrHide)
{
    for (const QString &key : {u""_s, u"a/b"_s, u"../settings"_s, u".settings"_s}) {
        SCOPED_TRACE(key.toStdString());
        TempHome home;
        FilePreferencesStore store(home.ribbexConfigDir());

        EXPECT_FALSE(store.write(key, "x"));
        EXPECT_FALSE(store.read(key));
        EXPECT_FALSE(store.keepCopy(key, u".copy"_s));
        EXPECT_THAT(entriesOf(home.path()), testing::IsEmpty());
    }
}

TEST(FilePreferencesStore, reportsAFileThatCannotBeReadInsteadOfCallingItAbsent)
{
    TempHome home;
    FilePreferencesStore store(home.ribbexConfigDir());
    const QString path = store.pathFor(u"settings"_s);
    ASSERT_TRUE(QDir().mkpath(path));

    const auto read = store.read(u"settings"_s);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().path, path);
    EXPECT_FALSE(store.keepCopy(u"settings"_s, u".unreadable"_s));
    EXPECT_FALSE(store.write(u"settings"_s, "new"));
}

TEST(FilePreferencesStore, failedWriteOnAFullDiskLeavesTheOldDocumentAndSaysWhy)
{
    TempHome home;
    test::FullDisk disk(home.configDir());
    FilePreferencesStore store(home.ribbexConfigDir());
    ASSERT_TRUE(store.write(u"settings"_s, "old"));
    disk.fill();

    // A small document stays in a write buffer until the commit; a large one fails on its way in.
    for (const QByteArray &bytes : {QByteArray("new"), QByteArray(64 * 1024, 'x')}) {
        const auto written = store.write(u"settings"_s, bytes);
        ASSERT_FALSE(written) << bytes.size();
        EXPECT_EQ(written.error().reason.toStdString(), disk.reason().toStdString());
        EXPECT_THAT(written.error().description().toStdString(),
            AllOf(HasSubstr(store.pathFor(u"settings"_s).toStdString()), HasSubstr(disk.reason().toStdString())));
        EXPECT_EQ(readOutcome(store, u"settings"_s), "bytes: old");
        EXPECT_EQ(entriesOf(home.ribbexConfigDir()), QStringList {u"settings.json"_s});
    }
}

TEST(FilePreferencesStore, keepsTheNewestCopiesNumberedBesideTheStoredBytes)
{
    TempHome home;
    FilePreferencesStore store(home.ribbexConfigDir());
    const QString key = u"ribbex.settings.v1"_s;
    const QString copy = store.pathFor(key) + u".unreadable"_s;

    ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s));
    EXPECT_FALSE(QFile::exists(copy));

    for (int version = 1; version <= 7; ++version) {
        ASSERT_TRUE(store.write(key, QByteArray::number(version)));
        // Keeping the same bytes twice must not push an older copy out.
        ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s));
        ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s));
    }

    const QStringList older {u".1"_s, u".2"_s, u".3"_s, u".4"_s};
    EXPECT_EQ(readFile(copy), "7");
    for (int n = 0; n < older.size(); ++n)
        EXPECT_EQ(readFile(copy + older[n]), QByteArray::number(6 - n)) << n;
    EXPECT_EQ(entriesOf(home.ribbexConfigDir()).size(), 1 + 1 + older.size());
    EXPECT_EQ(modeOf(copy), 0600u);
    EXPECT_EQ(readOutcome(store, key), "bytes: 7");
}

} // namespace
} // namespace ribbex
