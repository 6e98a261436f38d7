#include "ticker/ticker_clicks.h"

#include <QDesktopServices>

namespace ribbex {

void DesktopClickHandler::openLink(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

bool isOpenableLink(const QUrl &url)
{
    const QString scheme = url.scheme();
    const bool web
        = scheme.compare(u"http", Qt::CaseInsensitive) == 0 || scheme.compare(u"https", Qt::CaseInsensitive) == 0;
    return web && url.isValid() && !url.host().isEmpty();
}

void handleClick(const ClickableRange &range, TickerClickHandler &handler)
{
    if (range.source == TickerSource::spotify)
        handler.activateSpotify();
    else if (isOpenableLink(range.url))
        handler.openLink(range.url);
}

} // namespace ribbex
