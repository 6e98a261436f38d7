// Composition of the ticker's entries from the model's settings and source state.

#include "model/match_texts.h"
#include "model/settings_model.h"

#include <algorithm>

namespace ribbex {

namespace {

constexpr qint64 lookAheadSeconds = 86400;
constexpr qsizetype maximumFootballItems = 16;

TickerItem spotifyItem(const SettingsModel &model)
{
    if (const auto &track = model.spotifyTrack())
        return {QStringLiteral("spotify-now-playing"), TickerSource::spotify, track->title, track->artist,
            QUrl(QStringLiteral("spotify:"))};
    return {QStringLiteral("spotify-status"), TickerSource::spotify, u"Spotify" + itemSeparator + model.spotifyStatus(),
        std::nullopt, std::nullopt};
}

qsizetype headlineCount(const RibbexSettings &settings)
{
    return static_cast<qsizetype>(std::clamp<qint64>(settings.newsHeadlineCount.value_or(5), 2, 7));
}

QList<TickerItem> newsItems(const SettingsModel &model)
{
    const std::optional<NewsFeed> feed = model.selectedNewsFeed();
    const QList<NewsHeadline> &headlines = model.newsHeadlines();
    if (headlines.isEmpty()) {
        const QString name = feed ? feed->name : NewsFeed::customName;
        return {{QStringLiteral("news-status"), TickerSource::news, name + itemSeparator + model.newsStatus(),
            std::nullopt, std::nullopt}};
    }
    QList<TickerItem> items;
    const std::optional<QString> detail = feed ? std::optional(feed->name) : std::nullopt;
    for (const NewsHeadline &headline : headlines.first(std::min(headlines.size(), headlineCount(model.settings()))))
        items.append({u"news-" + headline.identity(), TickerSource::news, headline.title, detail, headline.url});
    return items;
}

TickerItem weatherItem(const SettingsModel &model)
{
    const auto &snapshot = model.weatherSnapshot();
    if (!snapshot)
        return {QStringLiteral("weather-status"), TickerSource::weather,
            u"Weather" + itemSeparator + model.weatherStatus(), std::nullopt, std::nullopt};
    const QString text = QString::number(snapshot->temperature) + u'\u00B0' + snapshot->unit + u' '
        + weatherSymbolMarker + u' ' + snapshot->location;
    return {QStringLiteral("weather-current"), TickerSource::weather, text, std::nullopt,
        QUrl(QStringLiteral("weather://"))};
}

// Live now, or kicking off within the next 24 hours.
bool isInFootballWindow(const FootballMatch &match, const QDateTime &now)
{
    if (match.utcDate <= now)
        return match.isInLiveWindow(now);
    return now.msecsTo(match.utcDate) <= lookAheadSeconds * 1000;
}

QList<FootballMatch> footballWindow(const SettingsModel &model)
{
    const QSet<QString> codes = model.settings().selectedFootballCodes();
    const QDateTime now = model.clock().now();

    QList<FootballMatch> kept;
    std::ranges::copy_if(model.footballMatches(), std::back_inserter(kept), [&](const FootballMatch &match) {
        return codes.contains(match.competition.code) && isInFootballWindow(match, now);
    });
    std::ranges::stable_sort(kept, [](const FootballMatch &a, const FootballMatch &b) {
        if (a.isInPlay() != b.isInPlay())
            return a.isInPlay();
        return a.utcDate < b.utcDate;
    });
    return kept.first(std::min(kept.size(), maximumFootballItems));
}

QList<TickerItem> footballItems(const SettingsModel &model)
{
    const bool separateZone = model.settings().separateFootballZone.value_or(false);
    const QString &status = model.footballStatus();
    const QTimeZone zone = model.clock().timeZone();
    QList<TickerItem> items;
    for (const FootballMatch &match : footballWindow(model)) {
        const QString text = separateZone ? footballZoneText(match) : tickerText(match, zone);
        items.append({u"football-" + match.id, TickerSource::football, text, match.competition.name, std::nullopt});
    }
    if (!items.isEmpty())
        return items;
    if (separateZone)
        return {{QStringLiteral("football-status"), TickerSource::football, QStringLiteral("NO FIXTURES"), status,
            std::nullopt}};
    return {{QStringLiteral("football-status"), TickerSource::football, u"Football" + itemSeparator + status, status,
        std::nullopt}};
}

} // namespace

QList<TickerItem> SettingsModel::items() const
{
    QList<TickerItem> items;
    if (m_settings.isEnabled(TickerSource::spotify))
        items.append(spotifyItem(*this));
    if (m_settings.isEnabled(TickerSource::news))
        items.append(newsItems(*this));
    if (m_settings.isEnabled(TickerSource::weather))
        items.append(weatherItem(*this));
    if (m_settings.isEnabled(TickerSource::football))
        items.append(footballItems(*this));
    return items;
}

} // namespace ribbex
