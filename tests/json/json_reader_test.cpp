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
    const std::pair<QByteArray, bool> cases[] = {
        {"1", true},
        {"-0.5e+10", true},
        {"1E2", true},
        {"[1,[2,{\"a\":null}],true,false]", true},
        {"{}", true},
        {" \t\n\r \"x\" ", true},
        {R"("\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00")", true},
        {"\"\xC3\xA9\xF0\x9F\x98\x80\"", true},
        {"01", false},
        {"1.", false},
        {".5", false},
        {"1e", false},
        {"-", false},
        {"+1", false},
        {"tru", false},
        {"True", false},
        {"NaN", false},
        {"'s'", false},
        {R"("\x")", false},
        {R"("\u12G4")", false},
        {"\"a", false},
        {"\"\x01\"", false},
        {"[1,]", false},
        {"{\"a\":1,}", false},
        {"{\"a\"}", false},
        {"{a:1}", false},
        {"[1 2]", false},
        {"\"\xC3\x28\"", false}, // a broken sequence
        {"\"\xC0\xAF\"", false}, // an overlong '/'
        {"\"\xED\xA0\x80\"", false}, // a surrogate
        {"\"\xF4\x90\x80\x80\"", false}, // past U+10FFFF
        {"\"\xE2\x82\"", false}, // cut short
        {QByteArray(600, '[') + QByteArray(600, ']'), false},
        {QByteArray(100000, '['), false},
    };
    for (const auto &[value, valid] : cases)
        EXPECT_EQ(isJson(R"({"events":[],"unused":)" + value + "}"), valid) << value.left(40).toStdString();
    for (const QByteArray &document : {QByteArray(), QByteArray("{} x"), QByteArray("{}{}")})
        EXPECT_FALSE(isJson(document)) << document.toStdString();
}

TEST(JsonReader, ReadsWholeNumbersHoweverWrittenAndRefusesTheRest)
{
    const std::tuple<QByteArray, std::optional<qint64>, std::optional<double>> cases[] = {
        {"13", 13, 13.0},
        {"13.0", 13, 13.0},
        {"1.3e1", 13, 13.0},
        {"-0", 0, -0.0},
        {"9223372036854775807", std::numeric_limits<qint64>::max(), 9223372036854775807.0},
        {"13.5", std::nullopt, 13.5},
        {"1e300", std::nullopt, 1e300},
        {"9223372036854775808", std::nullopt, 9223372036854775808.0},
        {"1e400", std::nullopt, std::nullopt},
        {"1e-400", std::nullopt, 0.0},
        {"2.5E-3", std::nullopt, 0.0025},
        {"\"13\"", std::nullopt, std::nullopt},
        {"true", std::nullopt, std::nullopt},
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

TEST(JsonReader, ResolvesEscapesInKeysAndStrings)
{
    const std::optional<Pair> pair
        = json::readDocument(R"({"\u0069d":"A\n\u00e9\ud83d\ude00 \"q\"","date":"d\/e","id":"last"})", pairMembers);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->id, u"last"_s); // a repeated key: the later value counts
    EXPECT_EQ(pair->date, u"d/e"_s);
    EXPECT_FALSE(json::readDocument(R"({"date":"d"})", pairMembers)); // a required key missing
    EXPECT_TRUE(json::readDocument(R"({"id":"x","date":null})", pairMembers)); // null is absent
    EXPECT_FALSE(json::readDocument(R"({"id":"x","date":1})", pairMembers)); // mistyped

    JsonReader reader(R"(["A\n\u00e9\ud83d\ude00 \"q\"", "plain \u00e9"])");
    QStringList texts;
    EXPECT_TRUE(reader.readArray([&] { return reader.readString(texts.emplace_back()); }));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(texts, (QStringList {u"A\n\u00e9\U0001F600 \"q\""_s, u"plain \u00e9"_s}));
}

} // namespace
} // namespace ribbex
