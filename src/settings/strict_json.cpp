#include "settings/strict_json.h"

#include <QJsonDocument>

namespace ribbex::json {

std::optional<QJsonObject> parseObject(const QByteArray &document)
{
    QJsonParseError error {};
    const QJsonDocument parsed = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError || !parsed.isObject())
        return std::nullopt;
    return parsed.object();
}

bool decode(const QJsonValue &value, bool &out)
{
    if (!value.isBool())
        return false;
    out = value.toBool();
    return true;
}

bool decode(const QJsonValue &value, double &out)
{
    if (!value.isDouble())
        return false;
    out = value.toDouble();
    return true;
}

bool decode(const QJsonValue &value, qint64 &out)
{
    if (!value.isDouble())
        return false;
    // toInteger falls back to its argument for fractions and out-of-range values, so two
    // different fallbacks agreeing means the number really is a whole 64-bit integer.
    const qint64 asInteger = value.toInteger(0);
    if (asInteger != value.toInteger(1))
        return false;
    out = asInteger;
    return true;
}

bool decode(const QJsonValue &value, QString &out)
{
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

} // namespace ribbex::json
