// The Spotify accounts service's token answer and the Web API's currently-playing answer,
// checked against Qt's full JSON parser. The lowest bit of the first byte picks the document:
// odd ('t', 'u') a token answer, even ('p') a currently-playing answer, as the seeds begin.

#include "fuzz_input.h"
#include "sources/net/plain_text.h"
#include "sources/spotify/spotify_web_api_decoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cmath>

namespace {

using namespace Qt::StringLiterals;
namespace spotifyWebApi = ribbex::spotifyWebApi;

using ribbex::fuzz::qtObject;

// A token goes into a header and a form as it is.
bool isHeaderSafe(const QString &token)
{
    return !token.isEmpty() && token.size() <= 4096
        && std::ranges::all_of(token, [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

void checkToken(const QByteArray &body)
{
    const std::optional<ribbex::SpotifyTokenAnswer> answer = spotifyWebApi::decodeToken(body);
    if (!answer)
        return;
    FUZZ_EXPECT(isHeaderSafe(answer->accessToken));
    FUZZ_EXPECT(!answer->refreshToken || isHeaderSafe(*answer->refreshToken));
    // It becomes a time: it must be one a clock can reach.
    FUZZ_EXPECT(std::isfinite(answer->expiresIn) && answer->expiresIn >= 0 && answer->expiresIn <= 366 * 86400.0);
    const std::optional<QJsonObject> object = qtObject(body);
    if (!object)
        return;
    FUZZ_EXPECT(answer->accessToken == object->value(u"access_token"_s).toString());
    FUZZ_EXPECT(answer->refreshToken.value_or(QString()) == object->value(u"refresh_token"_s).toString());
    FUZZ_EXPECT(answer->expiresIn == object->value(u"expires_in"_s).toDouble());
}

void checkPlayback(const QByteArray &body)
{
    const std::optional<ribbex::SpotifyPlaybackAnswer> answer = spotifyWebApi::decodePlayback(body);
    if (!answer)
        return;
    FUZZ_EXPECT(!answer->title || (ribbex::fuzz::isPlainText(*answer->title) && !answer->title->trimmed().isEmpty()));
    FUZZ_EXPECT(!answer->artist || ribbex::fuzz::isPlainText(*answer->artist));
    const ribbex::SpotifyPlaybackResult playback = spotifyWebApi::playbackOf(*answer, QDateTime());
    FUZZ_EXPECT(playback.has_value() == answer->title.has_value());
    if (playback && playback->progress)
        FUZZ_EXPECT(playback->progress->duration > 0 && std::isfinite(playback->progress->position));
    const std::optional<QJsonObject> object = qtObject(body);
    if (!object)
        return;
    FUZZ_EXPECT(answer->isPlaying == object->value(u"is_playing"_s).toBool());
    const QJsonObject item = object->value(u"item"_s).toObject();
    QStringList artists;
    for (const QJsonValue artist : item.value(u"artists"_s).toArray())
        artists.append(artist.toObject().value(u"name"_s).toString());
    // The names as Qt reads them, made safe to show (no controls, no lone surrogate halves).
    if (answer->artist)
        FUZZ_EXPECT(*answer->artist == ribbex::plainText(artists.join(u", "_s)));
    FUZZ_EXPECT(answer->durationMs.value_or(0) == item.value(u"duration_ms"_s).toInteger());
    FUZZ_EXPECT(answer->progressMs.value_or(0) == object->value(u"progress_ms"_s).toInteger());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return ribbex::fuzz::checkOneOfTwo(data, size, checkToken, checkPlayback);
}
