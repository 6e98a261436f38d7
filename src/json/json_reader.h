#pragma once

// The program's one JSON reader: forward-only, over JSON text (RFC 8259, UTF-8). It checks the
// grammar of everything it passes but builds only the values asked for, so a large document with
// a few wanted fields reads several times faster than through a QJsonDocument tree, and its
// memory stays that of the values kept. Nesting deeper than 512 levels is refused.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string_view>

namespace ribbex {

class JsonReader {
public:
    enum class Type { object, array, string, number, boolean, null, invalid };

    explicit JsonReader(QByteArrayView text)
        : m_at(text.data())
        , m_end(text.data() + text.size())
    {
    }

    // The type of the next value; invalid at the end of the text or on a byte no value starts with.
    Type peek();

    // Each reads the next value, which must have the type read; false otherwise or when malformed.
    bool readString(QString &out);
    bool readBool(bool &out);
    // A number within the range of a double.
    bool readDouble(double &out);
    // A whole number within 64 bits, however it is written: 13, 13.0 and 1.3e1 read, 13.5 does not.
    bool readInteger(qint64 &out);
    bool readNull();
    bool skipValue();

    // Calls member(key) for each member of the next object; member must read or skip the value.
    // The key is only valid until then. False on the first failure.
    template<typename Member> bool readObject(Member member);
    // Calls element() for each element of the next array; element must read or skip it.
    template<typename Element> bool readArray(Element element);

    // True when nothing but whitespace is left.
    bool atEnd();

private:
    static constexpr int maxDepth = 512;

    void skipWhitespace();
    bool consume(char expected);
    bool enter(char open);
    // The items of an object or array between its brackets, separated by commas.
    template<typename Item> bool readDelimited(char open, char close, Item item);
    bool readKey(std::string_view &key);
    bool scanString(const char *&begin, const char *&end, bool &escaped);
    bool skipEscape();
    bool skipNumber();
    bool scanNumber(std::string_view &text);
    bool skipLiteral(std::string_view literal);

    const char *m_at;
    const char *m_end;
    int m_depth = 0;
    QByteArray m_keyBuffer; // keys written with escapes, resolved
};

template<typename Item> bool JsonReader::readDelimited(char open, char close, Item item)
{
    if (!enter(open))
        return false;
    if (!consume(close)) {
        do {
            if (!item())
                return false;
        } while (consume(','));
        if (!consume(close))
            return false;
    }
    --m_depth;
    return true;
}

template<typename Member> bool JsonReader::readObject(Member member)
{
    return readDelimited('{', '}', [&] {
        std::string_view key;
        return readKey(key) && consume(':') && member(key);
    });
}

template<typename Element> bool JsonReader::readArray(Element element)
{
    return readDelimited('[', ']', element);
}

} // namespace ribbex
