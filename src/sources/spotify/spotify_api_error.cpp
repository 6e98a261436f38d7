#include "sources/spotify/spotify_api_error.h"

namespace ribbex {

using namespace Qt::StringLiterals;

QString SpotifyAPIError::description() const
{
    switch (kind) {
    case Kind::http:
        if (statusCode == 429)
            return u"Spotify rate limit reached. ribbex will retry shortly."_s;
        if (statusCode == 403)
            return u"Spotify denied playback access. Check app access and account eligibility."_s;
        return u"Spotify returned HTTP %1."_s.arg(statusCode);
    case Kind::notConnected:
        return u"Connect Spotify in Settings to show the current track."_s;
    case Kind::unauthorized:
        return u"Spotify authorization expired. Reconnect Spotify in Settings."_s;
    case Kind::invalidResponse:
        return u"Spotify returned an unreadable playback response."_s;
    case Kind::fetch:
        return failure.description();
    case Kind::store:
        return storeError.description();
    }
    return {};
}

} // namespace ribbex
