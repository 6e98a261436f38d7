#pragma once

// Saving a painted strip as a PNG file, with every step checked.

#include <QImage>
#include <QString>

#include <expected>

namespace ribbex {

// Writes the picture as a PNG file. A regular file, or a new one, is replaced whole, so a failed
// write leaves what was there; anything else, such as a device or a pipe, is written in place.
// The error is the system's reason.
std::expected<void, QString> savePng(const QImage &picture, const QString &path);

} // namespace ribbex
