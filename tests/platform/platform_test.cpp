#include "platform/autostart_settings.h"
#include "platform/desktop_entry.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "platform/xdg_paths.h"

#include "support/full_disk.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using test::readFile;
using test::TempHome;
using test::writeFile;
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

class FilePreferencesStoreTest : public testing::Test {
protected:
    // A read's outcome spelled out, so that a mismatch reads well.
    std::string readOutcome(const QString &name) const
    {
        const auto bytes = store.read(name);
        if (!bytes)
            return "error: " + bytes.error().description().toStdString();
        return bytes->has_value() ? "bytes: " + (*bytes)->toStdString() : "absent";
    }

    test::TempHome home;
    FilePreferencesStore store {home.ribbexConfigDir()};
    const QString key = u"settings"_s;
    const QString path = store.pathFor(key);
};

TEST_F(FilePreferencesStoreTest, ReadsBackTheLastBytesWrittenUnderEachKeyAndRefusesKeysThatLeaveTheFolder)
{
    for (const QString &bad : {u""_s, u"a/b"_s, u"../settings"_s, u".settings"_s}) {
        EXPECT_FALSE(store.write(bad, "x")) << bad.toStdString();
        EXPECT_FALSE(store.read(bad));
        EXPECT_FALSE(store.keepCopy(bad, u".copy"_s));
    }
    EXPECT_THAT(entriesOf(home.path()), testing::IsEmpty());

    ASSERT_TRUE(store.write(key, "{\"a\":1}"));
    ASSERT_TRUE(store.write(u"position"_s, QByteArray()));
    ASSERT_TRUE(store.write(key, "{\"a\":2}"));
    EXPECT_EQ(readOutcome(key), "bytes: {\"a\":2}");
    EXPECT_EQ(readOutcome(u"position"_s), "bytes: ");
    EXPECT_EQ(readOutcome(u"fixtures"_s), "absent");
}

TEST_F(FilePreferencesStoreTest, FilesArePrivateInFoldersItMakesPrivateAndASymlinkedFileIsWrittenWhereItPoints)
{
    ASSERT_TRUE(store.write(key, "new"));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(modeOf(home.ribbexConfigDir()), 0700u);
    EXPECT_EQ(modeOf(home.configDir()), 0700u);

    // The user's own folders keep their modes; a file others could read becomes private.
    QDir(home.configDir()).removeRecursively();
    writeFile(path, "old");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const unsigned folderMode = modeOf(home.ribbexConfigDir());
    ASSERT_TRUE(store.write(key, "new"));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(modeOf(home.ribbexConfigDir()), folderMode);

    const QString elsewhere = home.path() + u"/dotfiles/settings.json"_s;
    writeFile(elsewhere, "old");
    ASSERT_TRUE(QFile::remove(path) && QFile::link(elsewhere, path));
    ASSERT_TRUE(store.write(key, "linked"));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readFile(elsewhere), "linked");
    EXPECT_EQ(modeOf(elsewhere), 0600u);
}

TEST_F(FilePreferencesStoreTest, AFileThatCannotBeReadIsReportedNeverTakenForAbsentOrReplaced)
{
    ASSERT_TRUE(QDir().mkpath(path));
    const auto read = store.read(key);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().path, path);
    EXPECT_FALSE(store.keepCopy(key, u".unreadable"_s));
    EXPECT_FALSE(store.write(key, "new"));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(FilePreferencesStoreTest, FailedWriteOnAFullDiskLeavesTheOldDocumentAndSaysWhy)
{
    test::FullDisk disk(home.configDir());
    ASSERT_TRUE(store.write(key, "old"));
    disk.fill();

    // A small document stays in a write buffer until the commit; a large one fails on its way in.
    for (const QByteArray &bytes : {QByteArray("new"), QByteArray(64 * 1024, 'x')}) {
        const auto written = store.write(key, bytes);
        ASSERT_FALSE(written) << bytes.size();
        EXPECT_THAT(written.error().description().toStdString(),
            testing::AllOf(HasSubstr(path.toStdString()), HasSubstr(disk.reason().toStdString())));
        EXPECT_EQ(readOutcome(key), "bytes: old");
        EXPECT_EQ(entriesOf(home.ribbexConfigDir()), QStringList {u"settings.json"_s});
    }
}

TEST_F(FilePreferencesStoreTest, KeepsTheNewestCopiesNumberedBesideTheStoredBytes)
{
    const QString copy = path + u".unreadable"_s;
    ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s)); // nothing stored, nothing kept
    EXPECT_FALSE(QFile::exists(copy));

    for (int version = 1; version <= 7; ++version) {
        ASSERT_TRUE(store.write(key, QByteArray::number(version)));
        // Keeping the same bytes twice must not push an older copy out.
        ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s));
        ASSERT_TRUE(store.keepCopy(key, u".unreadable"_s));
    }
    EXPECT_EQ(readFile(copy), "7");
    for (int age = 1; age <= 4; ++age)
        EXPECT_EQ(readFile(copy + u'.' + QString::number(age)), QByteArray::number(7 - age)) << age;
    EXPECT_EQ(entriesOf(home.ribbexConfigDir()).size(), 1 + 1 + 4);
    EXPECT_EQ(modeOf(copy), 0600u);
    EXPECT_EQ(readOutcome(key), "bytes: 7");
}

// Sets one environment variable until the end of the scope.
auto scopedEnv(const char *name, const QString &value)
{
    const auto old = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    qputenv(name, QFile::encodeName(value));
    return qScopeGuard([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

TEST(XdgPaths, UseTheBaseFoldersOnlyWhenTheyAreAbsolute)
{
    // XDG_CONFIG_HOME and XDG_CACHE_HOME, the base folders used; "~" stands for the temporary home.
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {u"~/xdg/config"_s, u"~/xdg/cache"_s, u"~/xdg/config"_s, u"~/xdg/cache"_s},
        {u"xdg/config"_s, u""_s, u"~/.config"_s, u"~/.cache"_s},
    };
    const TempHome home;
    const auto inHome = [&](QString path) { return path.replace(u'~', home.path()); };
    const auto homeVariable = scopedEnv("HOME", home.path());
    for (const auto &[configHome, cacheHome, config, cache] : cases) {
        const auto configVariable = scopedEnv("XDG_CONFIG_HOME", inHome(configHome));
        const auto cacheVariable = scopedEnv("XDG_CACHE_HOME", inHome(cacheHome));
        EXPECT_EQ(ribbexConfigFolder().toStdString(), inHome(config + u"/ribbex"_s).toStdString());
        EXPECT_EQ(autostartFolder().toStdString(), inHome(config + u"/autostart"_s).toStdString());
        EXPECT_EQ(ribbexCacheFolder().toStdString(), inHome(cache + u"/ribbex"_s).toStdString());
    }
}

void makeProgram(const QString &path, QFile::Permissions permissions)
{
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, permissions);
}

constexpr QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

TEST(XdgAutostart, StatusFollowsTheEntryOnDisk)
{
    // the case, the entry ("@": a folder, also on PATH, with "ribbex" and the non-executable "plain"), the status
    const char *const absent = nullptr;
    const char *const unreadable = "";
    const std::tuple<const char *, const char *, LoginItemStatus> cases[] = {
        {"absent", absent, LoginItemStatus::notRegistered},
        {"normal", "Exec=@/ribbex --minimized\n", LoginItemStatus::enabled},
        {"hidden", "Exec=@/ribbex\nHidden=true\n", LoginItemStatus::notRegistered},
        {"switched off", "Exec=@/ribbex\nX-GNOME-Autostart-enabled=false\n", LoginItemStatus::notRegistered},
        {"hidden only in a comment and another group",
            "Exec=@/ribbex\n# Hidden=true\n[Desktop Action Quit]\nHidden=true\n", LoginItemStatus::enabled},
        {"missing program", "Exec=@/gone\n", LoginItemStatus::notFound},
        {"program not executable", "Exec=@/plain\n", LoginItemStatus::notFound},
        {"program on PATH", "Exec=ribbex\n", LoginItemStatus::enabled},
        {"program not on PATH", "Exec=gone\n", LoginItemStatus::notFound},
        {"unreadable", unreadable, LoginItemStatus::unavailable},
    };
    for (const auto &[name, entry, expected] : cases) {
        SCOPED_TRACE(name);
        TempHome home;
        const QString bin = home.path() + u"/bin"_s;
        makeProgram(bin + u"/ribbex"_s, executable);
        makeProgram(bin + u"/plain"_s, QFile::ReadOwner | QFile::WriteOwner);
        const auto path = scopedEnv("PATH", bin);
        XdgAutostart autostart(home.autostartDir(), bin + u"/ribbex"_s);
        if (entry == unreadable)
            QDir().mkpath(autostart.entryPath());
        else if (entry != absent)
            writeFile(autostart.entryPath(), "[Desktop Entry]\n" + QByteArray(entry).replace('@', bin.toUtf8()));

        EXPECT_EQ(autostart.status(), expected);
    }
}

TEST(XdgAutostart, RegisteringWritesAnEnabledEntryThatStartsTheExecutableWhateverItsPathAndUnregisteringRemovesIt)
{
    // the case, the program's folder, an entry already there, the Exec line written ("@": the temporary home)
    const std::tuple<const char *, QString, QByteArray, const char *> cases[] = {
        {"plain path", u"/apps"_s, {}, "Exec=@/apps/ribbex"},
        {"a quote alone needs quoting", u"/it's"_s, {}, R"(Exec="@/it's/ribbex")"},
        {"characters escaped in quotes", u"/a b\"c$d`e\\f%g"_s, {}, R"(Exec="@/a b\\"c\\$d\\`e\\\\f%%g/ribbex")"},
        {"entry the user hid", u"/apps"_s,
            "[Desktop Entry]\nExec=/old/ribbex\nHidden=true\nX-GNOME-Autostart-enabled=false\n", "Exec=@/apps/ribbex"},
    };
    for (const auto &[name, folder, existing, execLine] : cases) {
        SCOPED_TRACE(name);
        TempHome home;
        const QString program = home.path() + folder + u"/ribbex"_s;
        makeProgram(program, executable);
        XdgAutostart autostart(home.autostartDir(), program);
        if (!existing.isEmpty())
            writeFile(autostart.entryPath(), existing);

        ASSERT_TRUE(autostart.registerApp());

        EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
        const QByteArray entry = readFile(autostart.entryPath());
        EXPECT_THAT(entry.split('\n'), testing::Contains(QByteArray(execLine).replace('@', home.path().toUtf8())));
        EXPECT_EQ(execProgram(readDesktopEntry(entry).value(u"Exec"_s)).toStdString(), program.toStdString());
        EXPECT_EQ(modeOf(autostart.entryPath()), 0644u);
    }

    // Unregistering twice succeeds; a folder that is a file is reported.
    TempHome home;
    XdgAutostart autostart(home.autostartDir(), u"/usr/bin/ribbex"_s);
    ASSERT_TRUE(autostart.registerApp());
    EXPECT_TRUE(autostart.unregisterApp());
    EXPECT_TRUE(autostart.unregisterApp());
    EXPECT_EQ(autostart.status(), LoginItemStatus::notRegistered);

    QDir(home.autostartDir()).removeRecursively();
    writeFile(home.autostartDir(), "not a folder");
    const auto registered = autostart.registerApp();
    ASSERT_FALSE(registered);
    EXPECT_THAT(registered.error().description().toStdString(),
        testing::StartsWith("Could not add ribbex to the programs started at login: "));
    EXPECT_FALSE(autostart.unregisterApp());
    EXPECT_EQ(readFile(home.autostartDir()), "not a folder");
}

// Which desktop settings the Startup row opens to edit the login programs.
TEST(AutostartSettings, PicksTheFirstInstalledToolOfTheNamedDesktops)
{
    const QString folder = u"/home/u/.config/autostart"_s;
    const auto command = [](const QString &program, QStringList arguments = {}) {
        return AutostartSettingsTarget {AutostartSettingsCommand {u"/usr/bin/"_s + program, arguments}};
    };
    const AutostartSettingsTarget openFolder = AutostartFolder {folder};
    const QStringList everything {u"gnome-session-properties"_s, u"gnome-tweaks"_s, u"systemsettings"_s,
        u"systemsettings5"_s, u"xfce4-session-settings"_s};
    // XDG_CURRENT_DESKTOP, the tools installed, what opens
    const std::tuple<QString, QStringList, AutostartSettingsTarget> cases[] = {
        {u"GNOME"_s, everything, command(u"gnome-session-properties"_s)},
        {u"ubuntu:GNOME"_s, {u"gnome-tweaks"_s}, command(u"gnome-tweaks"_s)},
        {u"GNOME"_s, {u"systemsettings"_s}, openFolder},
        {u"KDE"_s, {u"systemsettings5"_s}, command(u"systemsettings5"_s, {u"kcm_autostart"_s})},
        {u"xfce"_s, everything, command(u"xfce4-session-settings"_s)},
        // The more specific desktop comes first; one without a tool gives way to the next.
        {u"XFCE:GNOME"_s, {u"gnome-tweaks"_s}, command(u"gnome-tweaks"_s)},
        {QString(), everything, openFolder},
    };
    for (const auto &[desktop, installed, expected] : cases) {
        const auto find
            = [&](const QString &name) { return installed.contains(name) ? u"/usr/bin/"_s + name : QString(); };
        EXPECT_EQ(autostartSettingsTarget(desktop, find, folder), expected)
            << desktop.toStdString() << " with " << installed.join(u' ').toStdString();
    }
}

} // namespace
} // namespace ribbex
