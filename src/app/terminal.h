#pragma once

// Writing to the terminal: bytes exactly as given, flushed at once.

#include <QByteArray>

#include <cstdio>

namespace ribbex {

inline void writeTo(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace ribbex
