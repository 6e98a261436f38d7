#include "platform/xdg_autostart.h"

#include "platform/desktop_entry.h"
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

constexpr auto executableMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Puts a program at path that QFileInfo and QStandardPaths accept as executable.
void makeProgram(const QString &path, QFile::Permissions permissions = executableMode)
{
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, permissions);
}

// Points PATH at one folder for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const QString &folder) : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~ScopedPath() { qputenv("PATH", m_old); }
    ScopedPath(const ScopedPath &) = delete;
    ScopedPath &operator=(const ScopedPath &) = delete;

private:
    QByteArray m_old;
};

enum class Entry { absent, file, folder };

TEST(XdgAutostart, statusFollowsTheEntryOnDisk)
{
    // "@" stands for a folder holding the programs "ribbex" and "plain", the latter not executable.
    const struct {
        const char *name;
        Entry entry;
        QByteArray text;
        LoginItemStatus expected;
    } cases[] = {
        {"absent", Entry::absent, {}, LoginItemStatus::notRegistered},
        {"normal", Entry::file, "Exec=@/ribbex --minimized\n", LoginItemStatus::enabled},
        {"hidden", Entry::file, "Exec=@/ribbex\nHidden=true\n", LoginItemStatus::notRegistered},
        {"switched off", Entry::file, "Exec=@/ribbex\nX-GNOME-Autostart-enabled=false\n",
         LoginItemStatus::notRegistered},
        {"missing program", Entry::file, "Exec=@/gone\n", LoginItemStatus::notFound},
        {"program not executable", Entry::file, "Exec=@/plain\n", LoginItemStatus::notFound},
        {"program on PATH", Entry::file, "Exec=ribbex\n", LoginItemStatus::enabled},
        {"program not on PATH", Entry::file, "Exec=gone\n", LoginItemStatus::notFound},
        {"no Exec", Entry::file, "Name=Ribbex\n", LoginItemStatus::notFound},
        {"unreadable", Entry::folder, {}, LoginItemStatus::unavailable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        const QString bin = home.path() + u"/bin"_s;
        makeProgram(bin + u"/ribbex"_s);
        makeProgram(bin + u"/plain"_s, QFile::ReadOwner | QFile::WriteOwner);
        const ScopedPath path(bin);
        XdgAutostart autostart(home.autostartDir(), bin + u"/ribbex"_s);
        const QByteArray text = QByteArray(c.text).replace('@', QFile::encodeName(bin));
        if (c.entry == Entry::file)
            writeFile(autostart.entryPath(), "[Desktop Entry]\nType=Application\n" + text);
        if (c.entry == Entry::folder) {
            ASSERT_TRUE(QDir().mkpath(autostart.entryPath()));
        }

        EXPECT_EQ(autostart.status(), c.expected);
    }
}

TEST(XdgAutostart, registeredEntryStartsTheExecutable)
{
    TempHome home;
    const QString executable = home.path() + u"/My Apps/ribbex"_s;
    makeProgram(executable);
    XdgAutostart autostart(home.autostartDir(), executable);

    ASSERT_TRUE(autostart.registerApp());

    EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
    const auto keys = readDesktopEntry(readFile(autostart.entryPath()));
    EXPECT_EQ(execProgram(keys.value(u"Exec"_s)).toStdString(), executable.toStdString());
    EXPECT_EQ(keys.value(u"Type"_s), u"Application"_s);
    EXPECT_EQ(keys.value(u"Terminal"_s), u"false"_s);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(autostart.entryPath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(XdgAutostart, registeringSwitchesAHiddenEntryBackOn)
{
    TempHome home;
    const QString executable = home.path() + u"/ribbex"_s;
    makeProgram(executable);
    XdgAutostart autostart(home.autostartDir(), executable);
    writeFile(autostart.entryPath(), "[Desktop Entry]\nExec=" + QFile::encodeName(executable)
                                         + "\nHidden=true\nX-GNOME-Autostart-enabled=false\n");
    ASSERT_EQ(autostart.status(), LoginItemStatus::notRegistered);

    ASSERT_TRUE(autostart.registerApp());

    EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
}

TEST(XdgAutostart, unregisteringTwiceSucceeds)
{
    TempHome home;
    XdgAutostart autostart(home.autostartDir(), u"/usr/bin/ribbex"_s);
    ASSERT_TRUE(autostart.registerApp());

    EXPECT_TRUE(autostart.unregisterApp());
    EXPECT_TRUE(autostart.unregisterApp());
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
    EXPECT_EQ(autostart.status(), LoginItemStatus::notRegistered);
}

TEST(XdgAutostart, reportsFailureWhenTheFolderIsAFile)
{
    TempHome home;
    writeFile(home.autostartDir(), "not a folder");
    XdgAutostart autostart(home.autostartDir(), u"/usr/bin/ribbex"_s);

    const auto registered = autostart.registerApp();
    const auto unregistered = autostart.unregisterApp();

    ASSERT_FALSE(registered);
    EXPECT_THAT(registered.error().description().toStdString(),
                testing::StartsWith("Could not add Ribbex to the programs started at login: "));
    ASSERT_FALSE(unregistered);
    EXPECT_THAT(unregistered.error().description().toStdString(),
                testing::StartsWith("Could not remove Ribbex from the programs started at login: "));
    EXPECT_EQ(autostart.status(), LoginItemStatus::unavailable);
    EXPECT_EQ(readFile(home.autostartDir()), "not a folder");
}

} // namespace
} // namespace ribbex
