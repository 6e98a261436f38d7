#include "sources/spotify/player_bridge.h"

namespace ribbex {

using namespace Qt::StringLiterals;

QString PlayerError::description() const
{
    switch (kind) {
    case Kind::accessDenied:
        return u"Allow ribbex to talk to org.mpris.MediaPlayer2.spotify on the session bus (for a sandboxed "
               u"ribbex, add that name to its D-Bus permissions)."_s;
    case Kind::timedOut:
        return u"Spotify did not answer within 2 seconds."_s;
    case Kind::failed:
        break;
    }
    return message.isEmpty() ? u"Spotify could not be asked what is playing."_s : message;
}

} // namespace ribbex
