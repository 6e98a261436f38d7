#include "app/once_output.h"

#include "ticker/progress_bar.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

QJsonObject itemAsJson(const TickerItem &item, const SettingsModel &model)
{
    // The strip draws a pictogram where the marker stands; a reader of the text gets its words.
    QString text = item.text;
    if (const auto &snapshot = model.weatherSnapshot())
        text.replace(QChar(weatherSymbolMarker), snapshot->condition);
    QJsonObject object {{u"id"_s, item.id}, {u"source"_s, rawValue(item.source)}, {u"text"_s, text}};
    if (item.detail)
        object.insert(u"detail"_s, *item.detail);
    if (item.actionURL)
        object.insert(u"url"_s, item.actionURL->toString(QUrl::FullyEncoded));
    // Where the track is, so a status bar can draw its own bar.
    const auto &track = model.spotifyTrack();
    if (item.source == TickerSource::spotify && track && track->progress) {
        const SpotifyTrackProgress &progress = *track->progress;
        const double position = progressFraction(progress, model.clock().now()) * progress.duration;
        object.insert(u"progress"_s,
            QJsonObject {
                {u"position"_s, position}, {u"duration"_s, progress.duration}, {u"playing"_s, progress.isPlaying}});
    }
    return object;
}

QJsonObject statusAsJson(const SettingsModel &model, const SourceList &sources)
{
    QJsonObject statuses {{u"launchAtLogin"_s, model.launchAtLoginStatus()}};
    for (const auto &source : sources)
        statuses.insert(rawValue(source->kind()), source->status());
    return statuses;
}

} // namespace

QByteArray tickerAsJson(const SettingsModel &model, const SourceList &sources)
{
    QJsonArray items;
    for (const TickerItem &item : model.items())
        items.append(itemAsJson(item, model));
    const QJsonObject document {{u"items"_s, items}, {u"status"_s, statusAsJson(model, sources)}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace ribbex
