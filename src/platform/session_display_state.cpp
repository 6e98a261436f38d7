#include "platform/session_display_state.h"

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

struct ScreenSaverService {
    QString service;
    QString path;
    QString interface;
};

// Signals are taken only from the owner of each well-known name, so another program on the bus
// cannot stop the ticker by sending a look-alike.
const ScreenSaverService screenSavers[] = {
    {u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s},
    // KDE Plasma sends the freedesktop interface from this shorter path as well.
    {u"org.freedesktop.ScreenSaver"_s, u"/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s},
    {u"org.gnome.ScreenSaver"_s, u"/org/gnome/ScreenSaver"_s, u"org.gnome.ScreenSaver"_s},
};

} // namespace

SessionDisplayState::SessionDisplayState(QDBusConnection systemBus, QDBusConnection sessionBus, QObject *parent)
    : DisplayState(parent)
{
    if (systemBus.isConnected()) {
        systemBus.connect(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
            u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s, this, SLOT(prepareForSleep(bool)));
    }
    if (sessionBus.isConnected()) {
        for (const ScreenSaverService &saver : screenSavers) {
            sessionBus.connect(saver.service, saver.path, saver.interface, u"ActiveChanged"_s, this,
                SLOT(screenSaverActiveChanged(bool)));
        }
    }
}

void SessionDisplayState::prepareForSleep(bool sleeping)
{
    update(m_preparingForSleep, sleeping);
}

void SessionDisplayState::screenSaverActiveChanged(bool active)
{
    update(m_screenSaverActive, active);
}

void SessionDisplayState::update(bool &reason, bool value)
{
    const bool wasAwake = isAwake();
    reason = value;
    if (wasAwake && !isAwake())
        Q_EMIT displayDidSleep();
    else if (!wasAwake && isAwake())
        Q_EMIT displayDidWake();
}

} // namespace ribbex
