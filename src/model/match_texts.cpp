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
    const QTime time = kickOff.toTimeZone(zone).time();
    // Qt's C locale (LANG=C, C.UTF-8 or unset) gives seconds even in its short format.
    if (locale.language() == QLocale::C)
        return time.toString(u"HH:mm");
    return locale.toString(time, QLocale::ShortFormat);
}

} // namespace ribbex
