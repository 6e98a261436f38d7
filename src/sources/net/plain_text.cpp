#include "sources/net/plain_text.h"

#include <algorithm>

namespace ribbex {

namespace {

bool isLineOrTab(char16_t c)
{
    return (c >= u'\t' && c <= u'\r') || c == u'\u0085';
}

bool isUnwanted(char16_t c)
{
    const bool control = c < u' ' || (c >= u'\u007F' && c <= u'\u009F');
    const bool directional = (c >= u'\u202A' && c <= u'\u202E') || (c >= u'\u2066' && c <= u'\u2069');
    return control || directional;
}

} // namespace

QString plainText(QStringView text, qsizetype maxLength)
{
    QString out;
    out.reserve(std::min(text.size(), maxLength + 1));
    for (qsizetype i = 0; i < text.size() && out.size() <= maxLength; ++i) {
        const QChar c = text[i];
        if (c.isSurrogate()) {
            // Only whole pairs: a lone half (a decoder such as UTF-7's lets one through) is no text.
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += c;
                out += text[++i];
            }
        } else if (isLineOrTab(c.unicode())) {
            out += u' ';
        } else if (!isUnwanted(c.unicode())) {
            out += c;
        }
    }
    if (out.size() > maxLength) {
        out.truncate(maxLength - 1);
        if (!out.isEmpty() && out.back().isHighSurrogate())
            out.chop(1);
        out += u'…';
    }
    return out;
}

} // namespace ribbex
