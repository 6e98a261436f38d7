#pragma once

// Just enough of the freedesktop desktop entry format to keep our own autostart entry.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

namespace ribbex {

// The keys of the [Desktop Entry] group with string escapes (\s \n \t \r \\) undone. Comments,
// other groups and localized keys such as Name[de] are left out.
QHash<QString, QString> readDesktopEntry(const QByteArray &text);

// A [Desktop Entry] group with keys in the given order, values escaped as strings.
QByteArray writeDesktopEntry(const QList<std::pair<QString, QString>> &keys);

// One Exec argument, quoted if it holds a reserved character; % is doubled so it is not taken
// for a field code. The result still needs string escaping, which writeDesktopEntry does.
QString quoteExecArgument(const QString &argument);

// The program, the first argument, of an Exec value already read with readDesktopEntry;
// empty when there is none or its quoting is broken.
QString execProgram(const QString &exec);

} // namespace ribbex
