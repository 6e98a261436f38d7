#include "sources/news/news_feed_error.h"

namespace ribbex {

using namespace Qt::StringLiterals;

QString NewsFeedError::description() const
{
    switch (kind) {
    case Kind::badServerResponse:
        return u"The server answered with HTTP status %1."_s.arg(statusCode);
    case Kind::cannotParseResponse:
        return u"The feed could not be read."_s;
    case Kind::malformedFeed:
        return u"The feed could not be read (line %1): %2"_s.arg(line).arg(detail);
    case Kind::fetch:
        break;
    }
    return failure.description();
}

} // namespace ribbex
