#include "sources/net/plain_text.h"

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

QString plainText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isLineOrTab(c.unicode()))
            out += u' ';
        else if (!isUnwanted(c.unicode()))
            out += c;
    }
    return out;
}

} // namespace ribbex
