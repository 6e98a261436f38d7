#pragma once

// The plain records that carry each source's live state between its client, the model and
// the ticker.

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace ribbex {

struct NewsHeadline {
    QString title; // trimmed, never empty
    std::optional<QUrl> url;

    bool operator==(const NewsHeadline &) const = default;
    // Identity within a list: the link when there is one, else the title.
    QString identity() const { return url ? url->toString(QUrl::FullyEncoded) : title; }
};

enum class WeatherConditionIcon {
    clear,
    mostlyClear,
    partlyCloudy,
    cloudy,
    fog,
    drizzle,
    rain,
    snow,
    showers,
    thunderstorm,
};

QString symbolName(WeatherConditionIcon icon);

struct WeatherSnapshot {
    qint64 temperature = 0; // rounded to whole degrees
    QString unit; // "C" or "F"
    QString condition;
    WeatherConditionIcon icon = WeatherConditionIcon::clear;
    QString location;
    QDateTime fetchedAt;

    bool operator==(const WeatherSnapshot &) const = default;
};

// A sample of the playback position; the progress bar extrapolates from it.
struct SpotifyTrackProgress {
    double position = 0; // seconds into the track when sampled
    double duration = 0; // seconds, greater than 0
    QDateTime sampledAt;
    bool isPlaying = false;

    // Seconds into the track at `now`: a playing track moves on from its sample. Not clamped.
    double positionAt(const QDateTime &now) const
    {
        return position + (isPlaying ? static_cast<double>(sampledAt.msecsTo(now)) / 1000.0 : 0.0);
    }
    bool operator==(const SpotifyTrackProgress &) const = default;
};

struct SpotifyNowPlaying {
    QString title;
    std::optional<QString> artist;
    std::optional<SpotifyTrackProgress> progress;

    bool operator==(const SpotifyNowPlaying &) const = default;
};

} // namespace ribbex
