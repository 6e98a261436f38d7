#include "platform/xdg_autostart.h"

#include "platform/desktop_entry.h"
#include "platform/file_preferences_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <unistd.h>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// Session settings switch an entry off by editing it in place rather than removing it.
bool switchedOff(const QHash<QString, QString> &keys)
{
    return keys.value(u"Hidden"_s) == u"true"_s || keys.value(u"X-GNOME-Autostart-enabled"_s) == u"false"_s;
}

bool programExists(const QString &program)
{
    if (program.isEmpty())
        return false;
    if (!QDir::isAbsolutePath(program))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable();
}

LoginItemError failure(const QString &what, const StoreError &error)
{
    return {u"Could not %1 the programs started at login: %2 (%3)"_s.arg(what, error.reason, error.path)};
}

} // namespace

XdgAutostart::XdgAutostart(const QString &autostartFolder, const QString &executable)
    : m_folder(QDir::cleanPath(autostartFolder))
    , m_executable(executable)
{
}

QString XdgAutostart::entryPath() const
{
    return m_folder + u"/com.ribbex.Ribbex.desktop"_s;
}

LoginItemStatus XdgAutostart::status() const
{
    const auto bytes = readFileIfPresent(entryPath());
    if (!bytes)
        return LoginItemStatus::unavailable;
    if (!bytes->has_value())
        return LoginItemStatus::notRegistered;
    const auto keys = readDesktopEntry(**bytes);
    if (switchedOff(keys))
        return LoginItemStatus::notRegistered;
    if (!programExists(execProgram(keys.value(u"Exec"_s))))
        return LoginItemStatus::notFound;
    return LoginItemStatus::enabled;
}

std::expected<void, LoginItemError> XdgAutostart::registerApp()
{
    // Written whole, so an entry the user switched off is switched back on.
    const QByteArray entry = writeDesktopEntry({
        {u"Type"_s, u"Application"_s},
        {u"Name"_s, u"Ribbex"_s},
        {u"Comment"_s, u"Live ticker strip for the top of the screen"_s},
        {u"Exec"_s, quoteExecArgument(m_executable)},
        {u"Icon"_s, u"com.ribbex.Ribbex"_s},
        {u"Terminal"_s, u"false"_s},
        {u"X-GNOME-Autostart-enabled"_s, u"true"_s},
    });
    constexpr auto readableByAll
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    auto saved = makePrivateFolder(m_folder);
    if (saved)
        saved = saveFileAtomically(entryPath(), entry, readableByAll);
    if (!saved)
        return std::unexpected(failure(u"add ribbex to"_s, saved.error()));
    return {};
}

std::expected<void, LoginItemError> XdgAutostart::unregisterApp()
{
    const QString path = entryPath();
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) == 0)
        return {};
    const int error = errno;
    if (error == ENOENT)
        return {};
    return std::unexpected(failure(u"remove ribbex from"_s, {path, qt_error_string(error)}));
}

} // namespace ribbex
