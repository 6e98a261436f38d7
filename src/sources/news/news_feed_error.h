#pragma once

// Why a news feed could not be read: the one error of the feed fetcher and its parser.

#include "sources/net/http_get.h"

#include <QString>

namespace ribbex {

struct NewsFeedError {
    enum class Kind {
        badServerResponse, // a status outside 200 to 299
        cannotParseResponse, // the parser failed without saying why
        malformedFeed, // the parser's own error, in detail
        fetch, // no whole HTTP answer: the failure says why
    };

    Kind kind = Kind::fetch;
    QString detail {}; // for malformedFeed
    int statusCode = 0; // for badServerResponse
    qint64 line = 0; // for malformedFeed: where the parser stopped
    FetchFailure failure {}; // for fetch

    bool operator==(const NewsFeedError &) const = default;

    // The sentence the user reads after "Couldn’t load <feed> · ".
    QString description() const;
};

} // namespace ribbex
