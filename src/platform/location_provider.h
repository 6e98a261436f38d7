#pragma once

// One approximate position of this computer, asked for when the weather follows the user.

#include <QString>

#include <expected>
#include <functional>

namespace ribbex {

struct GeoCoordinates {
    double latitude = 0; // degrees
    double longitude = 0;
    bool operator==(const GeoCoordinates &) const = default;
};

struct LocationError {
    enum class Kind {
        accessDenied, // the user or the system refused: description contains "denied"
        unavailable, // no location service on this computer
        timedOut, // no fix within the limit
        unknown, // the service answered without a position
        failed, // any other error: detail holds its words
    };
    Kind kind = Kind::failed;
    QString detail {};
    bool operator==(const LocationError &) const = default;

    // A sentence for the status line that says what the user can do. Inline, so that the model
    // needs no Linux piece to show it.
    QString description() const
    {
        switch (kind) {
        case Kind::accessDenied:
            return QStringLiteral("Location access was denied.");
        case Kind::unavailable:
            return QStringLiteral("No location service is running on this computer · enter a city instead");
        case Kind::timedOut:
            return QStringLiteral("No location fix arrived in time · enter a city instead");
        case Kind::unknown:
            return QStringLiteral("Your location is not known yet · enter a city instead");
        case Kind::failed:
            break;
        }
        return QStringLiteral("Location failed: ") + detail;
    }
};

class LocationProvider {
public:
    using Completion = std::function<void(std::expected<GeoCoordinates, LocationError>)>;
    virtual ~LocationProvider() = default;

    // Asks for one approximate position. The completion is one-shot and called from the event
    // loop, never from inside this call. A new request while one is pending replaces its
    // completion; the older one is never called.
    virtual void requestLocation(Completion completion) = 0;
};

} // namespace ribbex
