#include "json/json_fields.h"
#include "json/json_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

bool isJson(const QByteArray &document)
{
    JsonReader reader(document);
    return reader.skipValue() && reader.atEnd();
}

// Every value a decoder does not use still has to be JSON, as RFC 8259 spells it.
TEST(JsonReader, ChecksTheGrammarOfValuesItSkips)
{
    const auto wrapped
        = [](const QByteArray &value) -> QByteArray { return R"({"events":[],"unused":)" + value + "}"; };
    // With the outer object, 511 arrays nest 512 levels deep, the most allowed.
    const QByteArray valid[]
        = {"-0.5e+10", "[1,[2,{\"a\":null}],true,false]", " \t\n\r {} ", R"("\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00")",
            "\"\xC3\xA9\xF0\x9F\x98\x80\"", QByteArray(511, '[') + QByteArray(511, ']')};
    const QByteArray invalid[] = {"01", "1.", ".5", "1e", "+1", "tru", "NaN", "'s'", R"("\x")", R"("\u12G4")", "\"a",
        "\"\x01\"", "[1,]", "{\"a\":1,}", "{\"a\"}", "{a:1}", "[1 2]",
        // UTF-8: a broken sequence, an overlong '/', a surrogate, past U+10FFFF, cut short
        "\"\xC3\x28\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xF4\x90\x80\x80\"", "\"\xE2\x82\"",
        // nesting one level too deep, and nesting without end
        QByteArray(512, '[') + QByteArray(512, ']'), QByteArray(100000, '[')};
    for (const QByteArray &value : valid)
        EXPECT_TRUE(isJson(wrapped(value))) << value.left(40).toStdString();
    for (const QByteArray &value : invalid)
        EXPECT_FALSE(isJson(wrapped(value))) << value.left(40).toStdString();
    for (const QByteArray &document : {QByteArray(), QByteArray("{} x"), QByteArray("{}{}")})
        EXPECT_FALSE(isJson(document)) << document.toStdString();
}

TEST(JsonReader, ReadsWholeNumbersHoweverWrittenAndRefusesTheRest)
{
    const std::tuple<QByteArray, std::optional<qint64>, std::optional<double>> cases[] = {
        {"13.0", 13, 13.0},
        {"1.3e1", 13, 13.0},
        {"-0", 0, -0.0},
        {"9223372036854775807", std::numeric_limits<qint64>::max(), 9223372036854775807.0},
        {"13.5", std::nullopt, 13.5},
        {"9223372036854775808", std::nullopt, 9223372036854775808.0},
        {"1e400", std::nullopt, std::nullopt},
        {"\"13\"", std::nullopt, std::nullopt},
    };
    for (const auto &[text, whole, real] : cases) {
        qint64 integer = 0;
        JsonReader integerReader(text);
        EXPECT_EQ(integerReader.readInteger(integer) ? std::optional(integer) : std::nullopt, whole) << text.data();
        double number = 0;
        JsonReader doubleReader(text);
        EXPECT_EQ(doubleReader.readDouble(number) ? std::optional(number) : std::nullopt, real) << text.data();
    }
}

struct Pair {
    QString id;
    std::optional<QString> date;
};
constexpr std::array<json::Member<Pair>, 2> pairMembers {{
    json::required<&Pair::id>("id"),
    json::optional<&Pair::date>("date"),
}};

TEST(JsonReader, ReadsRecordsStrictlyAndResolvesEscapesInKeysAndStrings)
{
    const std::optional<Pair> pair = json::readDocument(
        R"({"\u0069d":"A\n\u00e9\ud83d\ude00 \"q\"","date":"x","other":[1],"date":"d\/e"})", pairMembers);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->id, u"A\n\u00e9\U0001F600 \"q\""_s);
    EXPECT_EQ(pair->date, u"d/e"_s); // a repeated key: the later value counts
    EXPECT_FALSE(json::readDocument(R"({"id":"x","other":[1,]})", pairMembers)); // unknown keys must be JSON too
}

} // namespace
} // namespace ribbex
