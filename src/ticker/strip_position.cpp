#include "ticker/strip_position.h"

#include "json/json_fields.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

namespace ribbex {

namespace {

struct StoredPosition {
    qint64 x = 0;
};

constexpr std::array<json::Member<StoredPosition>, 1> positionMembers {{json::required<&StoredPosition::x>("x")}};

} // namespace

std::optional<int> decodeStripX(const QByteArray &document)
{
    const std::optional<StoredPosition> stored = json::readDocument(document, positionMembers);
    if (!stored || stored->x < std::numeric_limits<int>::min() || stored->x > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(stored->x);
}

QByteArray encodeStripX(int x)
{
    return QJsonDocument(QJsonObject {{QStringLiteral("x"), x}}).toJson(QJsonDocument::Compact);
}

int stripLeft(std::optional<int> storedX, const QRect &screen, int width)
{
    // A strip wider than the screen starts at its left edge.
    const int rightmost = std::max(screen.left(), screen.left() + screen.width() - width);
    const int wanted = storedX.value_or(screen.left() + screen.width() - width - stripRightMargin);
    return std::clamp(wanted, screen.left(), rightmost);
}

} // namespace ribbex
