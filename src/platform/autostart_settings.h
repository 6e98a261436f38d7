#pragma once

// Opens the desktop's own editor of the programs started at login, or, where we know of none,
// the autostart folder in the file manager.

#include <QString>
#include <QStringList>

#include <functional>
#include <variant>

namespace ribbex {

struct AutostartSettingsCommand {
    QString program; // an absolute path
    QStringList arguments {};

    bool operator==(const AutostartSettingsCommand &) const = default;
};

struct AutostartFolder {
    QString path {};

    bool operator==(const AutostartFolder &) const = default;
};

using AutostartSettingsTarget = std::variant<AutostartSettingsCommand, AutostartFolder>;

// The path of an installed program by name, empty when it is not installed.
using ExecutableLookup = std::function<QString(const QString &name)>;

// What to open for the desktops named in currentDesktop (XDG_CURRENT_DESKTOP: names separated
// by colons, the most specific first): the first of those desktops whose settings tool is
// installed, else the folder.
AutostartSettingsTarget autostartSettingsTarget(
    const QString &currentDesktop, const ExecutableLookup &findExecutable, const QString &folder);

// Starts the tool detached, or creates and opens the autostart folder; false when neither worked.
bool openAutostartSettings();

} // namespace ribbex
