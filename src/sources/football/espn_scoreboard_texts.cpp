// ESPN's text values: kick-off times, the match clock and the day keys of its dates query.

#include "sources/football/espn_scoreboard_decoder.h"

#include <QTimeZone>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// Reads exactly count ASCII digits at position at and moves past them.
bool readDigits(QStringView text, qsizetype &at, int count, int &out)
{
    if (at + count > text.size())
        return false;
    out = 0;
    for (const QChar c : text.sliced(at, count)) {
        if (c < u'0' || c > u'9')
            return false;
        out = out * 10 + (c.unicode() - u'0');
    }
    at += count;
    return true;
}

bool skip(QStringView text, qsizetype &at, QChar expected)
{
    if (at >= text.size() || text[at] != expected)
        return false;
    ++at;
    return true;
}

// Seconds and an optional fraction, when present; the fraction is kept to the millisecond.
bool readSeconds(QStringView text, qsizetype &at, int &second, int &msec)
{
    if (!skip(text, at, u':'))
        return true;
    if (!readDigits(text, at, 2, second))
        return false;
    if (!skip(text, at, u'.'))
        return true;
    const qsizetype start = at;
    int scale = 100;
    msec = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at, scale /= 10)
        msec += scale * (text[at].unicode() - u'0');
    return at > start;
}

// "Z" or an offset such as "+01:00", in seconds east of UTC.
std::optional<int> readZone(QStringView text, qsizetype &at)
{
    if (skip(text, at, u'Z'))
        return 0;
    const int sign = skip(text, at, u'+') ? 1 : skip(text, at, u'-') ? -1 : 0;
    int hours = 0;
    int minutes = 0;
    if (sign == 0 || !readDigits(text, at, 2, hours) || !skip(text, at, u':') || !readDigits(text, at, 2, minutes)
        || hours > 23 || minutes > 59)
        return std::nullopt;
    return sign * (hours * 3600 + minutes * 60);
}

} // namespace

namespace espn {

std::optional<QDateTime> parseDate(QStringView text)
{
    // Three forms, tried as one grammar: with seconds and a fraction, with seconds, and ESPN's
    // usual form without seconds ("2025-08-17T14:00Z"). A zone is always required.
    qsizetype at = 0;
    int year = 0, month = 0, day = 0, hour = 0, minutes = 0, second = 0, msec = 0;
    const bool dateAndMinutes = readDigits(text, at, 4, year) && skip(text, at, u'-') && readDigits(text, at, 2, month)
        && skip(text, at, u'-') && readDigits(text, at, 2, day) && skip(text, at, u'T') && readDigits(text, at, 2, hour)
        && skip(text, at, u':') && readDigits(text, at, 2, minutes);
    if (!dateAndMinutes || !readSeconds(text, at, second, msec))
        return std::nullopt;
    const std::optional<int> offset = readZone(text, at);
    const QDate date(year, month, day);
    const QTime time(hour, minutes, second, msec);
    if (!offset || at != text.size() || !date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc()).addSecs(-*offset);
}

std::optional<qint64> minute(const std::optional<QString> &clock)
{
    if (!clock)
        return std::nullopt;
    for (const QStringView piece : QStringView(*clock).tokenize(u':', Qt::SkipEmptyParts)) {
        qsizetype end = 0;
        while (end < piece.size() && piece[end].isNumber()) {
            // A numeral other than 0-9 (such as "٣" or "½") makes the number unreadable.
            if (piece[end] < u'0' || piece[end] > u'9')
                return std::nullopt;
            ++end;
        }
        // Surrogate halves are not numbers themselves, so check the whole character too.
        if (end < piece.size() && piece[end].isHighSurrogate() && end + 1 < piece.size()
            && QChar::isNumber(QChar::surrogateToUcs4(piece[end], piece[end + 1])))
            return std::nullopt;
        bool ok = false;
        const qint64 value = piece.first(end).toLongLong(&ok);
        return end > 0 && ok ? std::optional(value) : std::nullopt;
    }
    return std::nullopt;
}

QString dateKey(const QDateTime &time)
{
    const QDate date = time.toUTC().date();
    if (!date.isValid())
        return u"20000101"_s;
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}
} // namespace espn
} // namespace ribbex
