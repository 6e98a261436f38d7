#pragma once

// Whether the displays are on. The shell stops scrolling and refreshing while they sleep.

#include <QObject>

namespace ribbex {

class DisplayState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isAwake() const = 0;

Q_SIGNALS:
    // Sent once per change: a sleep is always followed by a wake before the next sleep.
    void displayDidSleep();
    void displayDidWake();
};

} // namespace ribbex
