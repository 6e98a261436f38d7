#pragma once

// Stored points in time are seconds (with fraction) since 2001-01-01 00:00:00 UTC.

#include <QDateTime>

#include <optional>

namespace ribbex {

double toReferenceSeconds(const QDateTime &time);
// Nothing for values no calendar date can hold (more than a million years either way).
std::optional<QDateTime> fromReferenceSeconds(double seconds);

} // namespace ribbex
