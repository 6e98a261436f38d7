#include "platform/autostart_settings.h"

#include "platform/xdg_paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

struct KnownTool {
    QString program;
    QStringList arguments {};
};

// The tools each desktop ships for its login programs, preferred first. GNOME dropped its own
// editor in version 3.x; Tweaks took over the list.
QList<KnownTool> toolsFor(const QString &desktop)
{
    if (desktop == u"gnome")
        return {{u"gnome-session-properties"_s}, {u"gnome-tweaks"_s}};
    if (desktop == u"kde")
        return {{u"systemsettings"_s, {u"kcm_autostart"_s}}, {u"systemsettings5"_s, {u"kcm_autostart"_s}}};
    if (desktop == u"xfce")
        return {{u"xfce4-session-settings"_s}};
    return {};
}

} // namespace

AutostartSettingsTarget autostartSettingsTarget(
    const QString &currentDesktop, const ExecutableLookup &findExecutable, const QString &folder)
{
    for (const QString &desktop : currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        for (const KnownTool &tool : toolsFor(desktop.trimmed().toLower())) {
            const QString path = findExecutable(tool.program);
            if (!path.isEmpty())
                return AutostartSettingsCommand {path, tool.arguments};
        }
    }
    return AutostartFolder {folder};
}

bool openAutostartSettings()
{
    const AutostartSettingsTarget target = autostartSettingsTarget(
        qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
        [](const QString &name) { return QStandardPaths::findExecutable(name); }, autostartFolder());
    if (const auto *command = std::get_if<AutostartSettingsCommand>(&target)) {
        if (QProcess::startDetached(command->program, command->arguments))
            return true;
    }
    const QString folder = autostartFolder();
    return QDir().mkpath(folder) && QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace ribbex
