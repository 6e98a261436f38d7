#pragma once

// One entry of the ticker line.

#include "settings/enumerations.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace ribbex {

struct TickerItem {
    QString id;
    TickerSource source = TickerSource::news;
    QString text;
    std::optional<QString> detail;
    std::optional<QUrl> actionURL;

    bool operator==(const TickerItem &) const = default;
};

// Characters with a meaning inside ticker text.
inline constexpr char16_t itemSeparatorDot = u'\u00B7';
inline constexpr char16_t weatherSymbolMarker = u'\uFFFC';
inline const QString itemSeparator = QStringLiteral(" \u00B7 ");

} // namespace ribbex
