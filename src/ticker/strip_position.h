#pragma once

// Where the strip sits along the top edge of the screen, and how its x position is remembered.

#include <QByteArray>
#include <QRect>
#include <QString>

#include <optional>

namespace ribbex {

inline const QString stripPositionKey = QStringLiteral("com.ribbex.ticker");
// Gap between a strip that was never moved and the right edge of the screen.
inline constexpr int stripRightMargin = 8;

// The stored left edge, or nothing when the document is not an object with a whole number "x".
std::optional<int> decodeStripX(const QByteArray &document);
QByteArray encodeStripX(int x);

// The left edge of a strip of this width: the stored x kept on the screen, or right-aligned
// stripRightMargin in from the screen's right edge.
int stripLeft(std::optional<int> storedX, const QRect &screen, int width);

} // namespace ribbex
