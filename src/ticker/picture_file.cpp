#include "ticker/picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ribbex {

namespace {

std::unexpected<QString> systemError(int code)
{
    return std::unexpected(qt_error_string(code));
}

std::expected<QByteArray, QString> encodePng(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        return std::unexpected(writer.errorString());
    return bytes;
}

// A device or a pipe cannot be replaced, only written to; O_TRUNC means nothing to them.
std::expected<void, QString> writeInPlace(const QByteArray &path, const QByteArray &bytes)
{
    const int file = ::open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (file < 0)
        return systemError(errno);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t count = ::write(file, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            const int error = count < 0 ? errno : EIO;
            ::close(file);
            return systemError(error);
        }
        written += count;
    }
    // Linux closes the descriptor even when close reports an error, so it is not retried.
    if (::close(file) != 0 && errno != EINTR)
        return systemError(errno);
    return {};
}

// Written beside it and renamed over it, so a reader never sees half a picture and a failed
// write leaves the old one.
std::expected<void, QString> replaceWhole(const QString &path, const QByteArray &bytes, bool exists)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // No file can be made beside it (a folder we may not write in, /proc): the file itself
        // may still take the picture, and if not, says why.
        if (exists)
            return writeInPlace(QFile::encodeName(path), bytes);
        return std::unexpected(file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        return std::unexpected(file.errorString());
    return {};
}

} // namespace

std::expected<void, QString> savePng(const QImage &picture, const QString &path)
{
    const std::expected<QByteArray, QString> bytes = encodePng(picture);
    if (!bytes)
        return std::unexpected(bytes.error());
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status { };
    const bool exists = ::stat(nativePath.constData(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode))
        return writeInPlace(nativePath, *bytes);
    return replaceWhole(path, *bytes, exists);
}

} // namespace ribbex
