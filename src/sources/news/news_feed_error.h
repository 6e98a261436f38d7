#pragma once

// Why a news feed could not be read: the one error of the feed fetcher and its parser.

#include <QString>

namespace ribbex {

struct NewsFeedError {
    enum class Kind {
        badServerResponse, // not an HTTP answer, or a status outside 200 to 299
        cannotParseResponse, // the parser failed without saying why
        malformedFeed, // the parser's own error, in detail
        timedOut, // the server went quiet for the whole time-out
        tooLarge, // the body grew past the size limit
        network, // no answer at all; detail holds the network layer's words
    };

    Kind kind = Kind::network;
    QString detail {};
    int statusCode = 0; // for badServerResponse: the HTTP status, 0 when the answer was not HTTP
    qint64 line = 0; // for malformedFeed: where the parser stopped

    bool operator==(const NewsFeedError &) const = default;

    // The sentence the user reads after "Couldn’t load <feed> · ".
    QString description() const;
};

} // namespace ribbex
