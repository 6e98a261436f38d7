#include "sources/spotify/spotify_web_api_decoder.h"

#include "sources/net/plain_text.h"
#include "json/json_fields.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

struct TokenDocument {
    QString accessToken;
    std::optional<QString> refreshToken;
    double expiresIn = 0;
};

struct Artist {
    QString name;
};

struct Item {
    std::optional<QString> name;
    std::optional<QList<Artist>> artists;
    std::optional<qint64> durationMs;
};

struct PlaybackDocument {
    bool isPlaying = false;
    std::optional<Item> item;
    std::optional<qint64> progressMs;
};

// Found by argument-dependent lookup from the readers of lists and of members.
bool readValue(JsonReader &reader, Artist &artist);
bool readValue(JsonReader &reader, Item &item);

constexpr std::array<json::Member<TokenDocument>, 3> tokenMembers {{
    json::required<&TokenDocument::accessToken>("access_token"),
    json::optional<&TokenDocument::refreshToken>("refresh_token"),
    json::required<&TokenDocument::expiresIn>("expires_in"),
}};

constexpr std::array<json::Member<Artist>, 1> artistMembers {{
    json::required<&Artist::name>("name"),
}};

constexpr std::array<json::Member<Item>, 3> itemMembers {{
    json::optional<&Item::name>("name"),
    json::optional<&Item::artists>("artists"),
    json::optional<&Item::durationMs>("duration_ms"),
}};

constexpr std::array<json::Member<PlaybackDocument>, 3> playbackMembers {{
    json::required<&PlaybackDocument::isPlaying>("is_playing"),
    json::optional<&PlaybackDocument::item>("item"),
    json::optional<&PlaybackDocument::progressMs>("progress_ms"),
}};

constexpr double yearSeconds = 365.0 * 24 * 3600;
constexpr qsizetype maxTokenLength = 4096;

// A token goes into an Authorization header and a form as it is: a line break or a space in it
// would change the request, not just fail it.
bool isToken(const QString &text)
{
    return !text.isEmpty() && text.size() <= maxTokenLength
        && std::ranges::all_of(text, [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

bool readValue(JsonReader &reader, Artist &artist)
{
    return json::readObject(reader, artist, artistMembers);
}

bool readValue(JsonReader &reader, Item &item)
{
    return json::readObject(reader, item, itemMembers);
}

} // namespace

namespace spotifyWebApi {

std::optional<SpotifyTokenAnswer> decodeToken(const QByteArray &body)
{
    const std::optional<TokenDocument> document = json::readDocument(body, tokenMembers);
    if (!document || !isToken(document->accessToken) || (document->refreshToken && !isToken(*document->refreshToken)))
        return std::nullopt;
    if (!std::isfinite(document->expiresIn) || document->expiresIn < 0 || document->expiresIn > yearSeconds)
        return std::nullopt;
    return SpotifyTokenAnswer {document->accessToken, document->refreshToken, document->expiresIn};
}

std::optional<SpotifyPlaybackAnswer> decodePlayback(const QByteArray &body)
{
    const std::optional<PlaybackDocument> document = json::readDocument(body, playbackMembers);
    if (!document)
        return std::nullopt;
    SpotifyPlaybackAnswer answer;
    answer.isPlaying = document->isPlaying;
    answer.progressMs = document->progressMs;
    if (!document->item)
        return answer;
    const Item &item = *document->item;
    if (item.name) {
        const QString title = plainText(*item.name);
        if (!title.trimmed().isEmpty())
            answer.title = title;
    }
    if (item.artists) {
        QStringList names;
        for (const Artist &artist : *item.artists)
            names.append(artist.name);
        answer.artist = plainText(names.join(u", "_s));
    }
    answer.durationMs = item.durationMs;
    return answer;
}

SpotifyPlaybackResult playbackOf(const SpotifyPlaybackAnswer &answer, const QDateTime &now)
{
    if (!answer.title)
        return std::nullopt;
    SpotifyPlayback playback {*answer.title, answer.artist, std::nullopt};
    if (answer.progressMs && answer.durationMs && *answer.durationMs >= 1) {
        playback.progress = SpotifyTrackProgress {static_cast<double>(*answer.progressMs) / 1000.0,
            static_cast<double>(*answer.durationMs) / 1000.0, now, answer.isPlaying};
    }
    return playback;
}

} // namespace spotifyWebApi
} // namespace ribbex
