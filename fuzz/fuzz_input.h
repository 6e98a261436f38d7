#pragma once

// What every fuzz target shares: the input as bytes without a copy, and a check that stops the
// run when a decoder's result breaks one of its promises, so wrong results count like crashes.

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ribbex::fuzz {

// No copy and no terminating zero, so reading past the end is caught.
inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

[[noreturn]] inline void broken(const char *promise, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, promise);
    std::abort();
}

} // namespace ribbex::fuzz

#define FUZZ_EXPECT(condition) ((condition) ? void() : ribbex::fuzz::broken(#condition, __FILE__, __LINE__))
