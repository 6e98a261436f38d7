#pragma once

// What every fuzz target shares: the input as bytes without a copy, and a check that stops the
// run when a decoder's result breaks one of its promises, so wrong results count like crashes.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace ribbex::fuzz {

// No copy and no terminating zero, so reading past the end is caught.
inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// Text from the network may reach the strip, the JSON output and a terminal only without control
// characters (line breaks and tabs included), without direction embeddings, overrides and
// isolates, and at most 500 characters long.
inline bool isPlainText(QStringView text)
{
    return text.size() <= 500 && std::ranges::none_of(text, [](QChar c) {
        const char16_t u = c.unicode();
        return u < u' ' || (u >= u'\u007F' && u <= u'\u009F') || (u >= u'\u202A' && u <= u'\u202E')
            || (u >= u'\u2066' && u <= u'\u2069');
    });
}

[[noreturn]] inline void broken(const char *promise, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, promise);
    std::abort();
}

} // namespace ribbex::fuzz

#define FUZZ_EXPECT(condition) ((condition) ? void() : ribbex::fuzz::broken(#condition, __FILE__, __LINE__))

namespace ribbex::fuzz {

// What a JSON decoder accepts Qt must read too, as an object. Qt refuses numbers a double cannot
// hold (1e309), which the decoders skip under keys they ignore: those inputs go unchecked.
inline std::optional<QJsonObject> qtObject(const QByteArray &body)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error == QJsonParseError::IllegalNumber)
        return std::nullopt;
    FUZZ_EXPECT(error.error == QJsonParseError::NoError && document.isObject());
    return document.object();
}

// Two documents behind one target: the lowest bit of the first byte picks which check reads the
// rest, as the seeds begin.
template<typename Odd, typename Even>
int checkOneOfTwo(const std::uint8_t *data, std::size_t size, Odd checkOdd, Even checkEven)
{
    if (size == 0)
        return 0;
    const QByteArray body = bytes(data + 1, size - 1);
    (data[0] & 1) ? checkOdd(body) : checkEven(body);
    return 0;
}

} // namespace ribbex::fuzz
