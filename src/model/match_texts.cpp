#include "model/match_texts.h"

namespace ribbex {

QString tickerText(const FootballMatch &match, const QTimeZone &zone, const QLocale &locale)
{
    const QString home = match.homeTeam.label();
    const QString away = match.awayTeam.label();
    if (!match.hasResult())
        return home + u" v " + away + u" \u00B7 " + shortKickOffTime(match.utcDate, zone, locale);

    QString text = home + u' ' + QString::number(*match.score.fullTime.home) + u'\u2013'
        + QString::number(*match.score.fullTime.away) + u' ' + away;
    if (match.minute)
        text += u" \u00B7 " + QString::number(*match.minute) + u'\u2032';
    return text;
}

QString footballZoneText(const FootballMatch &match)
{
    const QString home = match.homeTeam.label();
    const QString away = match.awayTeam.label();
    if (!match.hasResult())
        return home + u" - " + away;
    return home + u' ' + QString::number(*match.score.fullTime.home) + u'-'
        + QString::number(*match.score.fullTime.away) + u' ' + away;
}

QString shortKickOffTime(const QDateTime &kickOff, const QTimeZone &zone, const QLocale &locale)
{
    return locale.toString(kickOff.toTimeZone(zone).time(), QLocale::ShortFormat);
}

} // namespace ribbex
