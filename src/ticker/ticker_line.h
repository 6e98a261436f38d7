#pragma once

// The one scrolling line composed from the model's items: its text, the parts of it that react
// to a click and, with the separate football zone, the lines that zone shows instead.

#include "model/ticker_item.h"
#include "settings/ribbex_settings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace ribbex {

// Where the Spotify mark is drawn; only the composition puts it into the line.
inline constexpr char16_t spotifyMarker = u'\uE000';
inline const QString placeholderLine = QStringLiteral("  ribbex: ENABLE SOURCES IN SETTINGS  ");

struct ClickableRange {
    qsizetype location = 0; // in UTF-16 code units of the line
    qsizetype length = 0;
    TickerSource source = TickerSource::news;
    QUrl url;

    bool operator==(const ClickableRange &) const = default;
};

struct ComposedLine {
    QString text;
    QList<ClickableRange> clickableRanges;
    QStringList footballTexts; // upper-cased, only while the separate zone shows

    bool operator==(const ComposedLine &) const = default;
};

// The zone needs both the setting and football among the enabled sources.
bool hasSeparateFootballZone(const RibbexSettings &settings);

ComposedLine composeTickerLine(const QList<TickerItem> &items, const RibbexSettings &settings);

} // namespace ribbex
