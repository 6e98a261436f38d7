#include "platform/desktop_entry.h"

#include <algorithm>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

QString unescapeString(QStringView value)
{
    static const QString escaped = u"sntr\\"_s;
    static const QString meant = u" \n\t\r\\"_s;
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype at = value[i] == u'\\' && i + 1 < value.size() ? escaped.indexOf(value[i + 1]) : -1;
        if (at < 0) {
            result += value[i];
            continue;
        }
        result += meant[at];
        ++i;
    }
    return result;
}

QString escapeString(QString value)
{
    return value.replace(u'\\', u"\\\\"_s).replace(u'\n', u"\\n"_s).replace(u'\t', u"\\t"_s).replace(u'\r', u"\\r"_s);
}

bool isGroupHeader(QStringView line)
{
    return line.startsWith(u'[') && line.endsWith(u']');
}

} // namespace

QHash<QString, QString> readDesktopEntry(const QByteArray &text)
{
    QHash<QString, QString> keys;
    bool inEntryGroup = false;
    const QString decoded = QString::fromUtf8(text);
    for (const QStringView rawLine : QStringView(decoded).split(u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (isGroupHeader(line)) {
            inEntryGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntryGroup || line.startsWith(u'#') || equals <= 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        if (!key.contains(u'['))
            keys.insert(key.toString(), unescapeString(line.sliced(equals + 1).trimmed()));
    }
    return keys;
}

QByteArray writeDesktopEntry(const QList<std::pair<QString, QString>> &keys)
{
    QString text = u"[Desktop Entry]\n"_s;
    for (const auto &[key, value] : keys)
        text += key + u'=' + escapeString(value) + u'\n';
    return text.toUtf8();
}

QString quoteExecArgument(const QString &argument)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    QString quoted = argument;
    quoted.replace(u'%', u"%%"_s);
    const bool needsQuotes
        = argument.isEmpty() || std::ranges::any_of(argument, [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes)
        return quoted;
    for (const QChar special : {u'\\', u'"', u'`', u'$'})
        quoted.replace(special, QString(u'\\').append(special));
    return u'"' + quoted + u'"';
}

QString execProgram(const QString &exec)
{
    const QString line = exec.trimmed();
    if (!line.startsWith(u'"')) {
        const auto end = std::ranges::find_if(line, [](QChar c) { return c.isSpace(); });
        return line.first(end - line.cbegin()).replace(u"%%"_s, u"%"_s);
    }
    QString program;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] == u'"')
            return program.replace(u"%%"_s, u"%"_s);
        if (line[i] == u'\\' && i + 1 < line.size())
            ++i;
        program += line[i];
    }
    return {};
}

} // namespace ribbex
