#include "platform/file_preferences_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace ribbex {

namespace {

constexpr QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Only a missing entry counts as absent: any other failure (a folder we may not search, an I/O
// error) could hide bytes that a caller must not overwrite.
bool isMissing(const QString &path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT;
}

// A short write reports no error; writing on brings up the one that stopped it.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

QString copyName(const QString &newest, int age)
{
    return age == 0 ? newest : newest + u'.' + QString::number(age);
}

// Moves each kept copy one place older (newest to newest.1, …), dropping the oldest.
std::expected<void, StoreError> ageCopies(const QString &newest)
{
    for (int age = FilePreferencesStore::olderCopiesKept - 1; age >= 0; --age) {
        const QString from = copyName(newest, age);
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(copyName(newest, age + 1)).constData()) != 0
            && errno != ENOENT)
            return std::unexpected(StoreError {from, qt_error_string(errno)});
    }
    return {};
}

} // namespace

FilePreferencesStore::FilePreferencesStore(const QString &folder)
    : m_folder(QDir::cleanPath(folder))
{
}

QString FilePreferencesStore::pathFor(const QString &key) const
{
    return m_folder + u'/' + key + QStringLiteral(".json");
}

std::expected<QString, StoreError> FilePreferencesStore::checkedPathFor(const QString &key) const
{
    // Keys name files directly, so none may leave the folder or hide as a dot file.
    if (key.isEmpty() || key.contains(u'/') || key.startsWith(u'.'))
        return std::unexpected(StoreError {pathFor(key), QStringLiteral("\"%1\" is not a valid key").arg(key)});
    return pathFor(key);
}

std::expected<std::optional<QByteArray>, StoreError> FilePreferencesStore::read(const QString &key) const
{
    const auto path = checkedPathFor(key);
    if (!path)
        return std::unexpected(path.error());
    return readFileIfPresent(*path);
}

std::expected<void, StoreError> FilePreferencesStore::write(const QString &key, const QByteArray &bytes)
{
    const auto path = checkedPathFor(key);
    if (!path)
        return std::unexpected(path.error());
    if (auto made = makePrivateFolder(m_folder); !made)
        return made;
    return saveFileAtomically(*path, bytes, privateFile);
}

std::expected<void, StoreError> FilePreferencesStore::keepCopy(const QString &key, const QString &suffix)
{
    if (suffix.isEmpty() || suffix.contains(u'/'))
        return std::unexpected(
            StoreError {pathFor(key) + suffix, QStringLiteral("\"%1\" is not a valid suffix").arg(suffix)});
    const auto current = read(key);
    if (!current)
        return std::unexpected(current.error());
    if (!current->has_value())
        return {};
    const QString newest = pathFor(key) + suffix;
    // The same document found again (a save that failed last time) is kept once.
    if (const auto kept = readFileIfPresent(newest); kept && *kept == *current)
        return {};
    // The older copies move only once the new one is safely written, so a full disk drops none.
    return saveFileAtomically(newest, **current, privateFile, [&] { return ageCopies(newest); });
}

std::expected<void, StoreError> makePrivateFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return {};
    if (const QString parent = info.path(); parent != folder) {
        if (auto made = makePrivateFolder(parent); !made)
            return made;
    }
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) == 0)
        return {};
    const int error = errno == EEXIST ? ENOTDIR : errno;
    if (QFileInfo(folder).isDir()) // made by someone else meanwhile
        return {};
    return std::unexpected(StoreError {folder, qt_error_string(error)});
}

std::expected<std::optional<QByteArray>, StoreError> readFileIfPresent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (isMissing(path))
            return std::optional<QByteArray>();
        return std::unexpected(StoreError {path, file.errorString()});
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(StoreError {path, file.errorString()});
    return bytes;
}

std::expected<void, StoreError> saveFileAtomically(const QString &path, const QByteArray &bytes,
    QFileDevice::Permissions permissions, const std::function<std::expected<void, StoreError>()> &beforeReplacing)
{
    // QSaveFile writes a temporary file and renames it over path. Permissions are set before the
    // bytes go in, so they are never readable by others, not even briefly.
    // Qt 6.4's QSaveFile renames even when the flush inside commit() failed (a buffered write on a
    // full disk), so nothing is buffered and the bytes are synced here, where failures count.
    QSaveFile file(path);
    const auto failed = [&](const QString &reason) {
        file.cancelWriting();
        return std::unexpected(StoreError {path, reason});
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !file.setPermissions(permissions)
        || !writeAll(file, bytes) || !file.flush())
        return failed(file.errorString());
    if (::fsync(file.handle()) != 0)
        return failed(qt_error_string(errno));
    if (beforeReplacing) {
        if (auto ready = beforeReplacing(); !ready) {
            file.cancelWriting();
            return ready;
        }
    }
    if (!file.commit())
        return std::unexpected(StoreError {path, file.errorString()});
    return {};
}

} // namespace ribbex
