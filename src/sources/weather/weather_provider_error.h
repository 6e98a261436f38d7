#pragma once

// Why no weather could be had: the one error of the Open-Meteo client.

#include "sources/net/http_get.h"

#include <QString>

namespace ribbex {

struct WeatherProviderError {
    enum class Kind {
        http, // a status outside 200 to 299
        locationNotFound, // the geocoder knows no such place
        invalidResponse, // the answer was not HTTP
        unreadable, // not the expected JSON, or a value no place or temperature can have
        fetch, // no whole HTTP answer: the failure says why
    };

    Kind kind = Kind::fetch;
    int statusCode = 0; // for http
    FetchFailure failure {}; // for fetch

    bool operator==(const WeatherProviderError &) const = default;

    // The sentence the weather status shows.
    QString description() const;
};

} // namespace ribbex
