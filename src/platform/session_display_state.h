#pragma once

// The displays' state as the desktop announces it on D-Bus: asleep while logind prepares the
// machine for sleep or while a screen saver is active. Without a bus or a service the displays
// count as always awake.

#include "platform/display_state.h"

#include <QDBusConnection>

namespace ribbex {

class SessionDisplayState final : public DisplayState {
    Q_OBJECT

public:
    // Either connection may be disconnected.
    SessionDisplayState(QDBusConnection systemBus, QDBusConnection sessionBus, QObject *parent = nullptr);

    bool isAwake() const override { return !m_preparingForSleep && !m_screenSaverActive; }

private Q_SLOTS:
    void prepareForSleep(bool sleeping);
    void screenSaverActiveChanged(bool active);

private:
    void update(bool &reason, bool value);

    bool m_preparingForSleep = false;
    bool m_screenSaverActive = false;
};

} // namespace ribbex
