#include "sources/football/espn_scoreboard_decoder.h"
#include "sources/football/json_reader.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

// Every value the scoreboard does not use still has to be JSON, as RFC 8259 spells it.
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
    for (const auto &[value, valid] : cases) {
        const QByteArray document = R"({"events":[],"unused":)" + value + "}";
        EXPECT_EQ(espn::decodeResponse(document).has_value(), valid) << value.left(40).toStdString();
    }
    for (const QByteArray &document : {QByteArray(), QByteArray("{} x"), QByteArray("{}{}"), QByteArray("null")})
        EXPECT_FALSE(espn::decodeResponse(document)) << document.toStdString();
}

TEST(JsonReader, ResolvesEscapesInKeysAndStrings)
{
    const std::optional<ESPNScoreboardResponse> response = espn::decodeResponse(
        R"({"ev\u0065nts":[{"\u0069d":"A\n\u00e9\ud83d\ude00 \"q\"","date":"d\/e","id":"last"}]})");
    ASSERT_TRUE(response && response->events && response->events->size() == 1);
    EXPECT_EQ(response->events->first().id, u"last"_s); // a repeated key: the later value counts
    EXPECT_EQ(response->events->first().date, u"d/e"_s);

    JsonReader reader(R"(["A\n\u00e9\ud83d\ude00 \"q\"", "plain \u00e9"])");
    QStringList texts;
    EXPECT_TRUE(reader.readArray([&] { return reader.readString(texts.emplace_back()); }));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(texts, (QStringList {u"A\n\u00e9\U0001F600 \"q\""_s, u"plain \u00e9"_s}));
}

} // namespace
} // namespace ribbex
