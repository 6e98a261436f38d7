#include "sources/news/markup_scan.h"

#include <QStringDecoder>

#include <string_view>
#include <type_traits>

namespace ribbex {

namespace {

// Walks the units of one encoding (bytes, or UTF-16 code units); every character the markup
// needs is a single unit in both.
template<typename Unit> class MarkupScanner {
public:
    MarkupScanner(const Unit *units, qsizetype size)
        : m_units(units)
        , m_size(size)
    {
    }

    std::optional<qint64> lineOfCrowdedTag(qsizetype maxAttributes)
    {
        while (m_at < m_size) {
            if (unit() != '<') {
                advance();
            } else if (startsWith("<!--")) {
                skipPast("-->");
            } else if (startsWith("<![CDATA[")) {
                skipPast("]]>");
            } else if (startsWith("<?")) {
                skipPast("?>");
            } else if (startsWith("<!")) {
                skipTag(); // a declaration, such as the document type
            } else if (const qint64 line = m_line; skipTag() > maxAttributes) {
                return line;
            }
        }
        return std::nullopt;
    }

private:
    char32_t unitAt(qsizetype at) const { return static_cast<std::make_unsigned_t<Unit>>(m_units[at]); }
    char32_t unit() const { return unitAt(m_at); }

    void advance()
    {
        if (unit() == '\n')
            ++m_line;
        ++m_at;
    }

    bool startsWith(std::string_view text) const
    {
        if (m_size - m_at < static_cast<qsizetype>(text.size()))
            return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (unitAt(m_at + static_cast<qsizetype>(i)) != static_cast<char32_t>(text[i]))
                return false;
        }
        return true;
    }

    void skipPast(std::string_view end)
    {
        while (m_at < m_size && !startsWith(end))
            advance();
        m_at = std::min(m_at + static_cast<qsizetype>(end.size()), m_size);
    }

    // Moves past the tag's closing '>', outside quoted values; returns its attribute count.
    qsizetype skipTag()
    {
        qsizetype attributes = 0;
        char32_t quote = 0;
        for (advance(); m_at < m_size; advance()) {
            const char32_t c = unit();
            if (quote != 0) {
                quote = c == quote ? 0 : quote;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                ++attributes;
            } else if (c == '>') {
                advance();
                break;
            }
        }
        return attributes;
    }

    const Unit *m_units;
    qsizetype m_size;
    qsizetype m_at = 0;
    qint64 m_line = 1;
};

bool isUtf16(QByteArrayView document)
{
    return document.startsWith("\xFF\xFE") || document.startsWith("\xFE\xFF")
        || document.startsWith(QByteArrayView("<\0", 2)) || document.startsWith(QByteArrayView("\0<", 2));
}

} // namespace

std::optional<qint64> lineOfCrowdedTag(QByteArrayView document, qsizetype maxAttributes)
{
    if (isUtf16(document)) {
        const bool bigEndian = document.startsWith("\xFE\xFF") || document.startsWith(QByteArrayView("\0<", 2));
        QStringDecoder decode(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        const QString text = decode(document);
        return MarkupScanner<char16_t>(reinterpret_cast<const char16_t *>(text.utf16()), text.size())
            .lineOfCrowdedTag(maxAttributes);
    }
    return MarkupScanner<char>(document.data(), document.size()).lineOfCrowdedTag(maxAttributes);
}

} // namespace ribbex
