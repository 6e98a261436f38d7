#include "sources/news/news_feed_error.h"

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

// The network layer's words as the end of our sentence, with exactly one full stop.
QString asSentenceEnd(QString words)
{
    return words.endsWith(u'.') ? words : words + u'.';
}

} // namespace

QString NewsFeedError::description() const
{
    switch (kind) {
    case Kind::badServerResponse:
        if (statusCode == 0)
            return u"The server’s answer was not an HTTP response."_s;
        return u"The server answered with HTTP status %1."_s.arg(statusCode);
    case Kind::cannotParseResponse:
        return u"The feed could not be read."_s;
    case Kind::malformedFeed:
        return u"The feed could not be read (line %1): %2"_s.arg(line).arg(detail);
    case Kind::timedOut:
        return u"The server did not answer in time."_s;
    case Kind::tooLarge:
        return u"The feed is larger than 8 MiB."_s;
    case Kind::network:
        break;
    }
    if (detail.isEmpty())
        return u"The server could not be reached."_s;
    return u"The server could not be reached: "_s + asSentenceEnd(detail);
}

} // namespace ribbex
