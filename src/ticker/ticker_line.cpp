#include "ticker/ticker_line.h"

namespace ribbex {

namespace {

// En space, three-per-em space, bar, three-per-em space.
const QString lineSeparator = QStringLiteral("\u2002\u2004|\u2004");

// A feed may carry the marker characters; left in place they would take the weather symbol or
// the Spotify mark away from the item they belong to.
QString withoutStrayMarkers(const TickerItem &item, const QString &text)
{
    QString clean = text;
    clean.remove(spotifyMarker);
    if (item.source != TickerSource::weather)
        clean.remove(weatherSymbolMarker);
    return clean;
}

void appendItem(QString &text, QList<ClickableRange> &ranges, const TickerItem &item)
{
    if (!text.isEmpty())
        text += lineSeparator;
    text += u' ';
    const bool isSpotify = item.source == TickerSource::spotify;
    if (isSpotify)
        text += QChar(spotifyMarker) + u' ';
    const qsizetype start = text.size();
    text += withoutStrayMarkers(item, item.text).toUpper();
    if (isSpotify && item.detail && !item.detail->isEmpty())
        text += u" - " + withoutStrayMarkers(item, *item.detail).toUpper();
    if (item.actionURL)
        ranges.append({start, text.size() - start, item.source, *item.actionURL});
    text += u' ';
}

} // namespace

bool hasSeparateFootballZone(const RibbexSettings &settings)
{
    return settings.separateFootballZone.value_or(false) && settings.isEnabled(TickerSource::football);
}

ComposedLine composeTickerLine(const QList<TickerItem> &items, const RibbexSettings &settings)
{
    ComposedLine line;
    if (items.isEmpty()) {
        line.text = placeholderLine;
        return line;
    }
    const bool zone = hasSeparateFootballZone(settings);
    for (const TickerItem &item : items) {
        if (zone && item.source == TickerSource::football)
            line.footballTexts.append(item.text.toUpper());
        else
            appendItem(line.text, line.clickableRanges, item);
    }
    // One code unit for one, so the recorded ranges stay valid.
    line.text.replace(u'\u2013', u'-').replace(u'\u2014', u'-').replace(itemSeparatorDot, u'.');
    return line;
}

} // namespace ribbex
