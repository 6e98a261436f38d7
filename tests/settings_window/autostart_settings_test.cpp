#include "platform/autostart_settings.h"

#include <QSet>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

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
    const struct {
        QString desktop;
        QStringList installed;
        AutostartSettingsTarget expected;
    } cases[] = {
        {u"GNOME"_s, everything, command(u"gnome-session-properties"_s)},
        {u"ubuntu:GNOME"_s, {u"gnome-tweaks"_s}, command(u"gnome-tweaks"_s)},
        {u"GNOME"_s, {u"systemsettings"_s}, openFolder},
        {u"KDE"_s, {u"systemsettings5"_s}, command(u"systemsettings5"_s, {u"kcm_autostart"_s})},
        {u"xfce"_s, everything, command(u"xfce4-session-settings"_s)},
        // The more specific desktop comes first; one without a tool gives way to the next.
        {u"XFCE:GNOME"_s, {u"gnome-tweaks"_s}, command(u"gnome-tweaks"_s)},
        {QString(), everything, openFolder},
    };
    for (const auto &c : cases) {
        const QSet<QString> installed(c.installed.begin(), c.installed.end());
        const auto find
            = [&](const QString &name) { return installed.contains(name) ? u"/usr/bin/"_s + name : QString(); };
        EXPECT_EQ(autostartSettingsTarget(c.desktop, find, folder), c.expected)
            << c.desktop.toStdString() << " with " << c.installed.join(u' ').toStdString();
    }
}

} // namespace
} // namespace ribbex::test
