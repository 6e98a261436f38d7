#include "ticker/strip_position.h"

#include "settings/strict_json.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

namespace ribbex {

std::optional<int> decodeStripX(const QByteArray &document)
{
    const std::optional<QJsonObject> object = json::parseObject(document);
    qint64 x = 0;
    if (!object || !json::decode(object->value(QStringLiteral("x")), x) || x < std::numeric_limits<int>::min()
        || x > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(x);
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
