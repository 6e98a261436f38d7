#pragma once

// Every choice the user makes, as one plain record that is saved whole after each change.
// Optional fields may be absent in stored documents; each reader applies its own fallback.

#include "settings/colors.h"
#include "settings/enumerations.h"
#include "settings/football_competition.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>
#include <set>

namespace ribbex {

struct RibbexSettings {
    static constexpr qint64 currentVersion = 13;
    static inline const QString preferencesKey = QStringLiteral("ribbex.settings.v1");

    qint64 version = currentVersion;
    std::set<TickerSource> enabledSources {TickerSource::news, TickerSource::weather};
    TickerLayout layout = TickerLayout::single;
    TickerStyle style = TickerStyle::dotMatrix;
    double speed = 72.0;
    double width = 350.0;
    QString textColor = defaultTextColor;
    QString backgroundColor = defaultBackgroundColor;
    std::optional<bool> transparentBackground = true;
    std::optional<double> backgroundTransparency = 1.0;
    bool isVisible = true;
    bool startsHidden = false;
    std::optional<QString> spotifyClientID;
    std::optional<bool> weatherUseCurrentLocation = true;
    std::optional<QString> weatherCity;
    std::optional<bool> weatherResolveNameWithApple = true;
    std::optional<QString> newsFeedID = QStringLiteral("bbc");
    std::optional<qint64> newsHeadlineCount = 5;
    std::optional<QString> customNewsFeedURL;
    std::optional<qint64> newsRefreshIntervalSeconds = 900;
    std::optional<QString> progressBarColor = defaultProgressBarColor;
    std::optional<double> progressBarTransparency = 0.0;
    std::optional<bool> thickSpotifyProgressBar = false;
    std::optional<bool> separateFootballZone = false;
    std::optional<bool> roundedTickerEdges = true;
    std::optional<FootballCompetitionSet> selectedFootballCompetitions;

    bool operator==(const RibbexSettings &) const = default;

    bool isEnabled(TickerSource source) const { return enabledSources.contains(source); }
    // The selection with its fallback: absent means every competition.
    FootballCompetitionSet footballSelection() const;
    // The league codes of that selection.
    QSet<QString> selectedFootballCodes() const;
};

// The document's JSON text, or nothing when a number cannot be written as JSON (not finite).
std::optional<QByteArray> encodeSettings(const RibbexSettings &settings);
// The record in a document, or nothing when a required key is missing, a value has the wrong
// type or an enumeration value is unknown.
std::optional<RibbexSettings> decodeSettings(const QByteArray &document);

} // namespace ribbex
