#include "json/json_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ribbex {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The length of the UTF-8 sequence starting at p, or 0 when it is not one RFC 3629 allows
// (overlong forms, surrogates and values past U+10FFFF are not).
qsizetype utf8SequenceLength(const char *p, const char *end)
{
    const auto byte = [p](qsizetype i) { return static_cast<unsigned char>(p[i]); };
    const unsigned char lead = byte(0);
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < length || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

char16_t unescaped(char kind)
{
    switch (kind) {
    case 'b':
        return u'\b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    default:
        return static_cast<char16_t>(kind); // '"', '\\' and '/' stand for themselves
    }
}

// The text of a string body whose escapes and UTF-8 have been checked already.
QString unescape(const char *begin, const char *end)
{
    QString out;
    out.reserve(end - begin);
    const char *run = begin;
    for (const char *p = begin; p < end;) {
        if (*p != '\\') {
            ++p;
            continue;
        }
        out += QString::fromUtf8(run, p - run);
        if (p[1] == 'u') {
            const int code = hexValue(p[2]) << 12 | hexValue(p[3]) << 8 | hexValue(p[4]) << 4 | hexValue(p[5]);
            out += QChar(static_cast<char16_t>(code)); // a surrogate pair arrives as two escapes
            p += 6;
        } else {
            out += QChar(unescaped(p[1]));
            p += 2;
        }
        run = p;
    }
    return out + QString::fromUtf8(run, end - run);
}

} // namespace

JsonReader::Type JsonReader::peek()
{
    skipWhitespace();
    if (m_at == m_end)
        return Type::invalid;
    switch (*m_at) {
    case '{':
        return Type::object;
    case '[':
        return Type::array;
    case '"':
        return Type::string;
    case 't':
    case 'f':
        return Type::boolean;
    case 'n':
        return Type::null;
    default:
        return *m_at == '-' || isDigit(*m_at) ? Type::number : Type::invalid;
    }
}

bool JsonReader::readString(QString &out)
{
    const char *begin = nullptr;
    const char *end = nullptr;
    bool escaped = false;
    if (peek() != Type::string || !scanString(begin, end, escaped))
        return false;
    out = escaped ? unescape(begin, end) : QString::fromUtf8(begin, end - begin);
    return true;
}

bool JsonReader::readBool(bool &out)
{
    if (peek() != Type::boolean)
        return false;
    out = *m_at == 't';
    return skipLiteral(out ? "true" : "false");
}

bool JsonReader::readDouble(double &out)
{
    std::string_view text;
    if (!scanNumber(text))
        return false;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Too small for a double reads as zero, as every JSON parser we know does; too large fails.
    const bool negativeExponent
        = text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
    const bool underflow = error == std::errc::result_out_of_range && negativeExponent;
    if (underflow) {
        out = text.starts_with('-') ? -0.0 : 0.0;
        return true;
    }
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool JsonReader::readInteger(qint64 &out)
{
    std::string_view text;
    if (!scanNumber(text))
        return false;
    qint64 value = 0;
    if (const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        error == std::errc() && end == text.data() + text.size()) {
        out = value;
        return true;
    }
    // A fraction or an exponent: whole only when the double says so, and inside 64 bits.
    double real = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), real);
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (error != std::errc() || end != text.data() + text.size() || real != std::trunc(real) || real >= limit
        || real < -limit)
        return false;
    out = static_cast<qint64>(real);
    return true;
}

bool JsonReader::readNull()
{
    return peek() == Type::null && skipLiteral("null");
}

bool JsonReader::skipValue()
{
    switch (peek()) {
    case Type::object:
        return readObject([this](std::string_view) { return skipValue(); });
    case Type::array:
        return readArray([this] { return skipValue(); });
    case Type::string: {
        const char *begin = nullptr;
        const char *end = nullptr;
        bool escaped = false;
        return scanString(begin, end, escaped);
    }
    case Type::number:
        return skipNumber();
    case Type::boolean: {
        bool ignored = false;
        return readBool(ignored);
    }
    case Type::null:
        return readNull();
    case Type::invalid:
        break;
    }
    return false;
}

bool JsonReader::atEnd()
{
    skipWhitespace();
    return m_at == m_end;
}

void JsonReader::skipWhitespace()
{
    while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
        ++m_at;
}

bool JsonReader::consume(char expected)
{
    skipWhitespace();
    if (m_at == m_end || *m_at != expected)
        return false;
    ++m_at;
    return true;
}

bool JsonReader::enter(char open)
{
    // Deep nesting is refused before it can exhaust the stack.
    return consume(open) && ++m_depth <= maxDepth;
}

bool JsonReader::readKey(std::string_view &key)
{
    const char *begin = nullptr;
    const char *end = nullptr;
    bool escaped = false;
    if (peek() != Type::string || !scanString(begin, end, escaped))
        return false;
    if (escaped) {
        m_keyBuffer = unescape(begin, end).toUtf8();
        key = std::string_view(m_keyBuffer.constData(), static_cast<std::size_t>(m_keyBuffer.size()));
    } else {
        key = std::string_view(begin, static_cast<std::size_t>(end - begin));
    }
    return true;
}

bool JsonReader::scanString(const char *&begin, const char *&end, bool &escaped)
{
    begin = ++m_at;
    escaped = false;
    while (m_at < m_end) {
        const auto c = static_cast<unsigned char>(*m_at);
        if (c == '"') {
            end = m_at++;
            return true;
        }
        if (c < 0x20)
            return false;
        if (c == '\\') {
            escaped = true;
            if (!skipEscape())
                return false;
        } else if (c < 0x80) {
            ++m_at;
        } else {
            const qsizetype length = utf8SequenceLength(m_at, m_end);
            if (length == 0)
                return false;
            m_at += length;
        }
    }
    return false;
}

bool JsonReader::skipEscape()
{
    if (m_end - m_at < 2)
        return false;
    const char kind = m_at[1];
    if (kind == 'u') {
        if (m_end - m_at < 6 || !std::all_of(m_at + 2, m_at + 6, [](char c) { return hexValue(c) >= 0; }))
            return false;
        m_at += 6;
        return true;
    }
    if (std::string_view(R"("\/bfnrt)").find(kind) == std::string_view::npos)
        return false;
    m_at += 2;
    return true;
}

bool JsonReader::skipNumber()
{
    const auto digits = [this] {
        const char *start = m_at;
        while (m_at < m_end && isDigit(*m_at))
            ++m_at;
        return m_at > start;
    };
    if (*m_at == '-')
        ++m_at;
    if (m_at < m_end && *m_at == '0')
        ++m_at;
    else if (!digits())
        return false;
    if (m_at < m_end && *m_at == '.') {
        ++m_at;
        if (!digits())
            return false;
    }
    if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
        ++m_at;
        if (m_at < m_end && (*m_at == '+' || *m_at == '-'))
            ++m_at;
        if (!digits())
            return false;
    }
    return true;
}

bool JsonReader::scanNumber(std::string_view &text)
{
    if (peek() != Type::number)
        return false;
    const char *begin = m_at;
    if (!skipNumber())
        return false;
    text = std::string_view(begin, static_cast<std::size_t>(m_at - begin));
    return true;
}

bool JsonReader::skipLiteral(std::string_view literal)
{
    if (static_cast<std::size_t>(m_end - m_at) < literal.size() || std::string_view(m_at, literal.size()) != literal)
        return false;
    m_at += literal.size();
    return true;
}

} // namespace ribbex
