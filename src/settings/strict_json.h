#pragma once

// Strict reading of JSON values into plain fields: a value of the wrong type fails, an absent
// or null optional value reads as absent, unknown keys are none of our business.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>
#include <set>

namespace ribbex::json {

// The top-level object of a JSON document, or nothing when the text is no JSON object.
std::optional<QJsonObject> parseObject(const QByteArray &document);

bool decode(const QJsonValue &value, bool &out);
bool decode(const QJsonValue &value, double &out);
// Whole numbers only: 13 and 13.0 read, 13.5 and 1e300 do not.
bool decode(const QJsonValue &value, qint64 &out);
bool decode(const QJsonValue &value, QString &out);

// A value decoded by a function that maps its string form to a case, such as an enumeration.
template<typename T, typename FromString> bool decodeMapped(const QJsonValue &value, T &out, FromString fromString)
{
    if (!value.isString())
        return false;
    const std::optional<T> mapped = fromString(value.toString());
    if (!mapped)
        return false;
    out = *mapped;
    return true;
}

template<typename T, typename FromString>
bool decodeMappedSet(const QJsonValue &value, std::set<T> &out, FromString fromString)
{
    if (!value.isArray())
        return false;
    std::set<T> result;
    for (const QJsonValue element : value.toArray()) {
        T item {};
        if (!decodeMapped(element, item, fromString))
            return false;
        result.insert(item);
    }
    out = std::move(result);
    return true;
}

// Reads a required key with reader(value, out); false when the key is missing or unreadable.
template<typename T, typename Reader>
bool required(const QJsonObject &object, const QString &key, T &out, Reader reader)
{
    const auto it = object.constFind(key);
    return it != object.constEnd() && reader(*it, out);
}

template<typename T> bool required(const QJsonObject &object, const QString &key, T &out)
{
    return required(object, key, out, [](const QJsonValue &v, T &o) { return decode(v, o); });
}

// Reads an optional key: absent or null leaves out empty; anything unreadable fails.
template<typename T, typename Reader>
bool optional(const QJsonObject &object, const QString &key, std::optional<T> &out, Reader reader)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it->isNull()) {
        out.reset();
        return true;
    }
    T value {};
    if (!reader(*it, value))
        return false;
    out = std::move(value);
    return true;
}

template<typename T> bool optional(const QJsonObject &object, const QString &key, std::optional<T> &out)
{
    return optional(object, key, out, [](const QJsonValue &v, T &o) { return decode(v, o); });
}

// Writes value under key only when present.
template<typename T, typename Writer>
void putOptional(QJsonObject &object, const QString &key, const std::optional<T> &value, Writer writer)
{
    if (value)
        object.insert(key, writer(*value));
}

template<typename T> void putOptional(QJsonObject &object, const QString &key, const std::optional<T> &value)
{
    putOptional(object, key, value, [](const T &v) { return QJsonValue(v); });
}

} // namespace ribbex::json
