#pragma once

// When football data is due: the schedule ages, the live window, the back-off after failures
// and the delay until the next refresh pass. Pure functions of the state they are given.

#include "model/football_match.h"
#include "model/settings_model.h"
#include "settings/ribbex_settings.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace ribbex::footballPacing {

inline constexpr qint64 shortScheduleAge = 3600; // a selected fixture kicks off within the look-ahead
inline constexpr qint64 longScheduleAge = 21600; // otherwise
inline constexpr qint64 lookAhead = 86400;
inline constexpr qint64 scheduleWindowDays = 13;
inline constexpr qint64 livePollInterval = 45;
inline constexpr qint64 scheduleRetryBackOff = 300;

struct ScheduleWindow {
    QDateTime start;
    QDateTime end;
};

// In the live window and of a selected competition: it gets live scores.
bool isActive(const FootballMatch &match, const QSet<QString> &selected, const QDateTime &time);

qint64 scheduleAge(const QList<FootballMatch> &matches, const QSet<QString> &selected, const QDateTime &time);
bool isScheduleDue(const SourceBookkeeping &book, const QString &code, qint64 age, const QDateTime &time);

// From the start of the local day to the same time thirteen days later.
ScheduleWindow scheduleWindow(const QDateTime &now, const QTimeZone &zone);

// Seconds until the next pass (at least 1), or nothing when football needs no pass.
std::optional<double> nextRefreshDelay(const RibbexSettings &settings, const QList<FootballMatch> &matches,
    const SourceBookkeeping &book, const QDateTime &now);

} // namespace ribbex::footballPacing
