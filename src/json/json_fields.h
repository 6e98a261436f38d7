#pragma once

// Strict reading of JSON values into plain records through the one reader: a value of the wrong
// type fails, an absent or null optional value reads as absent, unknown keys are checked and
// skipped. A record's members are a table of key, whether it is required, and how to read it.
// Records are written with Qt's QJsonObject.

#include "json/json_reader.h"

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <array>
#include <bitset>
#include <optional>
#include <set>
#include <string_view>

namespace ribbex {

// readValue(reader, out) reads one value into out; overloads for a record's own types go in
// its namespace, where the calls below find them.
inline bool readValue(JsonReader &reader, QString &out)
{
    return reader.readString(out);
}
inline bool readValue(JsonReader &reader, bool &out)
{
    return reader.readBool(out);
}
inline bool readValue(JsonReader &reader, double &out)
{
    return reader.readDouble(out);
}
inline bool readValue(JsonReader &reader, qint64 &out)
{
    return reader.readInteger(out);
}

template<typename T> bool readValue(JsonReader &reader, std::optional<T> &out)
{
    if (reader.peek() == JsonReader::Type::null) {
        out.reset();
        return reader.readNull();
    }
    T value {};
    if (!readValue(reader, value))
        return false;
    out = std::move(value);
    return true;
}

template<typename T> bool readValue(JsonReader &reader, QList<T> &out)
{
    QList<T> result;
    const bool ok = reader.readArray([&] { return readValue(reader, result.emplace_back()); });
    if (ok)
        out = std::move(result);
    return ok;
}

template<typename T> bool readValue(JsonReader &reader, std::set<T> &out)
{
    std::set<T> result;
    const bool ok = reader.readArray([&] {
        T item {};
        return readValue(reader, item) && (result.insert(item), true);
    });
    if (ok)
        out = std::move(result);
    return ok;
}

namespace json {

// A value whose text names a case, such as an enumeration's raw value.
template<typename T, typename FromString> bool readMapped(JsonReader &reader, T &out, FromString fromString)
{
    QString text;
    if (!reader.readString(text))
        return false;
    const std::optional<T> mapped = fromString(text);
    if (mapped)
        out = *mapped;
    return mapped.has_value();
}

template<typename Record> struct Member {
    std::string_view key;
    bool (*read)(JsonReader &reader, Record &record);
    // Empties the field when the key is absent; nullptr for a required key.
    void (*clear)(Record &record) = nullptr;
};

template<typename> struct MemberOf;
template<typename Record, typename Value> struct MemberOf<Value Record::*> {
    using record = Record;
};

// The member reader of one field of a record.
template<auto Field> bool field(JsonReader &reader, typename MemberOf<decltype(Field)>::record &record)
{
    return readValue(reader, record.*Field);
}

template<auto Field> constexpr auto required(std::string_view key)
{
    return Member<typename MemberOf<decltype(Field)>::record> {key, field<Field>};
}

// An absent key leaves the field empty, whatever the record's default.
template<auto Field> constexpr auto optional(std::string_view key)
{
    using Record = typename MemberOf<decltype(Field)>::record;
    return Member<Record> {key, field<Field>, [](Record &record) { (record.*Field).reset(); }};
}

// Reads an object into record; false when a value is mistyped or a required key is missing.
// A key given twice counts the last time.
template<typename Record, std::size_t N>
bool readObject(JsonReader &reader, Record &record, const std::array<Member<Record>, N> &members)
{
    std::bitset<N> seen;
    const bool ok = reader.readObject([&](std::string_view key) {
        for (std::size_t i = 0; i < N; ++i) {
            if (members[i].key == key) {
                seen.set(i);
                return members[i].read(reader, record);
            }
        }
        return reader.skipValue();
    });
    for (std::size_t i = 0; ok && i < N; ++i) {
        if (seen[i])
            continue;
        if (!members[i].clear)
            return false;
        members[i].clear(record);
    }
    return ok;
}

// A whole document holding one such object and nothing after it.
template<typename Record, std::size_t N>
std::optional<Record> readDocument(QByteArrayView document, const std::array<Member<Record>, N> &members)
{
    JsonReader reader(document);
    Record record {};
    if (!readObject(reader, record, members) || !reader.atEnd())
        return std::nullopt;
    return record;
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

} // namespace json
} // namespace ribbex
