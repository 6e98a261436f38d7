#pragma once

// What a click on a ticker item starts. The application supplies the desktop's handlers; tests
// record the calls.

#include "ticker/ticker_line.h"

#include <QUrl>

#include <functional>

namespace ribbex {

class TickerClickHandler {
public:
    virtual ~TickerClickHandler() = default;

    virtual void openLink(const QUrl &url) = 0;
    virtual void activateSpotify() = 0;
};

// Links open in the desktop's default handler; the Spotify item goes to whoever the application
// names, which knows the player.
class DesktopClickHandler final : public TickerClickHandler {
public:
    void openLink(const QUrl &url) override;
    void activateSpotify() override
    {
        if (onActivateSpotify)
            onActivateSpotify();
    }

    std::function<void()> onActivateSpotify;
};

// Only web links open: a feed may carry any scheme, and the system would start whatever
// handler that scheme names.
bool isOpenableLink(const QUrl &url);

// The Spotify item brings the player forward; any other item opens its link if it is a web
// link, and does nothing otherwise.
void handleClick(const ClickableRange &range, TickerClickHandler &handler);

} // namespace ribbex
