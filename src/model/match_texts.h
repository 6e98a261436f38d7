#pragma once

// How a match reads in the ticker and in the football zone.

#include "model/football_match.h"

#include <QLocale>
#include <QTimeZone>

namespace ribbex {

// "HOM 2–1 AWY · 67′" for a match with a result, "HOM v AWY · 15:00" for a fixture; the kick-off
// time in the user's locale and time zone.
QString tickerText(const FootballMatch &match, const QTimeZone &zone, const QLocale &locale = QLocale());

// "HOM 2-1 AWY" or "HOM - AWY": shorter, for the football zone.
QString footballZoneText(const FootballMatch &match);

// The kick-off as a localised short time without a date.
QString shortKickOffTime(const QDateTime &kickOff, const QTimeZone &zone, const QLocale &locale);

} // namespace ribbex
