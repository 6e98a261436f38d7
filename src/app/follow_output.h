#pragma once

// The lines `--follow` prints for a status bar, from what the ticker shows.

#include "app/ticker_feed.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace ribbex {

// One item of the ticker as a bar shows it.
struct FollowItem {
    QString source; // news, football, weather, spotify
    QString text; // the headline, score, weather, or "title – artist"
    // The track's position and length in seconds, at the snapshot's time.
    std::optional<std::pair<double, double>> progress;
    bool playing = false;

    bool operator==(const FollowItem &) const = default;
};

// The items of a snapshot's JSON, in the ticker's order; none for a document that is not one.
QList<FollowItem> followItems(const QString &json);

// Text safe inside Pango markup.
QString pangoEscaped(const QString &text);

// One line for Waybar's custom module ("return-type": "json"): the item at `index` (wrapping),
// every item in the tooltip, the item's source as the class, and the track's progress in percent
// when the item is the track's. `elapsedSeconds` is how long ago the snapshot was taken.
QByteArray waybarLine(const QList<FollowItem> &items, qsizetype index, double elapsedSeconds);

} // namespace ribbex
