#include "model/reference_time.h"

#include <QTimeZone>

#include <cmath>

namespace ribbex {

namespace {

const QDateTime &referenceEpoch()
{
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return epoch;
}

constexpr double maximumMagnitude = 1e6 * 365.25 * 86400;

} // namespace

double toReferenceSeconds(const QDateTime &time)
{
    return static_cast<double>(referenceEpoch().msecsTo(time)) / 1000.0;
}

std::optional<QDateTime> fromReferenceSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > maximumMagnitude)
        return std::nullopt;
    return referenceEpoch().addMSecs(std::llround(seconds * 1000.0));
}

} // namespace ribbex
