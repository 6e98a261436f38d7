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

void makeProgram(const QString &path, QFile::Permissions permissions)
{
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, permissions);
}

// Points PATH at one folder for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const QString &folder)
        : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~ScopedPath() { qputenv("PATH", m_old); }
    ScopedPath(const ScopedPath &) = delete;
    ScopedPath &operator=(const ScopedPath &) = delete;

private:
    QByteArray m_old;
};

TEST(XdgAutostart, statusFollowsTheEntryOnDisk)
{
    // "@" stands for a folder, also on PATH, holding "ribbex" and the non-executable "plain".
    const char *const absent = nullptr;
    const char *const unreadable = "";
    const struct {
        const char *name;
        const char *entry;
        LoginItemStatus expected;
    } cases[] = {
        {"absent", absent, LoginItemStatus::notRegistered},
        {"normal", "Exec=@/ribbex --minimized\n", LoginItemStatus::enabled},
        {"hidden", "Exec=@/ribbex\nHidden=true\n", LoginItemStatus::notRegistered},
        {"switched off", "Exec=@/ribbex\nX-GNOME-Autostart-enabled=false\n", LoginItemStatus::notRegistered},
        {"missing program", "Exec=@/gone\n", LoginItemStatus::notFound},
        {"program not executable", "Exec=@/plain\n", LoginItemStatus::notFound},
        {"program on PATH", "Exec=ribbex\n", LoginItemStatus::enabled},
        {"program not on PATH", "Exec=gone\n", LoginItemStatus::notFound},
        {"no Exec", "Name=Ribbex\n", LoginItemStatus::notFound},
        {"unreadable", unreadable, LoginItemStatus::unavailable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        const QString bin = home.path() + u"/bin"_s;
        makeProgram(bin + u"/ribbex"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        makeProgram(bin + u"/plain"_s, QFile::ReadOwner | QFile::WriteOwner);
        const ScopedPath path(bin);
        XdgAutostart autostart(home.autostartDir(), bin + u"/ribbex"_s);
        if (c.entry == unreadable)
            QDir().mkpath(autostart.entryPath());
        else if (c.entry != absent)
            writeFile(autostart.entryPath(), "[Desktop Entry]\n" + QByteArray(c.entry).replace('@', bin.toUtf8()));

        EXPECT_EQ(autostart.status(), c.expected);
    }
}

TEST(XdgAutostart, registeringWritesAnEnabledEntryForTheExecutable)
{
    const struct {
        const char *name;
        QByteArray existing;
    } cases[] = {
        {"no entry yet", {}},
        {"entry the user hid", "[Desktop Entry]\nExec=/old/ribbex\nHidden=true\nX-GNOME-Autostart-enabled=false\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        const QString executable = home.path() + u"/My Apps/ribbex"_s;
        makeProgram(executable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        XdgAutostart autostart(home.autostartDir(), executable);
        if (!c.existing.isEmpty())
            writeFile(autostart.entryPath(), c.existing);

        ASSERT_TRUE(autostart.registerApp());

        EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
        const auto keys = readDesktopEntry(readFile(autostart.entryPath()));
        EXPECT_EQ(execProgram(keys.value(u"Exec"_s)).toStdString(), executable.toStdString());
        EXPECT_EQ(keys.value(u"Type"_s), u"Application"_s);
        struct stat info { };
        ASSERT_EQ(::stat(QFile::encodeName(autostart.entryPath()).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u);
    }
}

TEST(XdgAutostart, unregisteringTwiceSucceeds)
{
    TempHome home;
    XdgAutostart autostart(home.autostartDir(), u"/usr/bin/ribbex"_s);
    ASSERT_TRUE(autostart.registerApp());

    EXPECT_TRUE(autostart.unregisterApp());
    EXPECT_TRUE(autostart.unregisterApp());
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
        testing::StartsWith("Could not add ribbex to the programs started at login: "));
    ASSERT_FALSE(unregistered);
    EXPECT_THAT(unregistered.error().description().toStdString(),
        testing::StartsWith("Could not remove ribbex from the programs started at login: "));
    EXPECT_EQ(autostart.status(), LoginItemStatus::unavailable);
    EXPECT_EQ(readFile(home.autostartDir()), "not a folder");
}

} // namespace
} // namespace ribbex
