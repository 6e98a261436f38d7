#include "sources/net/http_get.h"
#include "sources/net/plain_text.h"
#include "support/http_test_server.h"

#include <QCoroTask>

#include <gtest/gtest.h>

#include <memory>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using Kind = FetchFailure::Kind;

// The manager lives exactly as long as the fetch, as in a command-line run: a resumption from inside one of the
// reply's signals would use it after it is freed. Only the slow answer's case depends on the deadline; the others
// have a minute, so a busy machine cannot turn their failures into time-outs.
QCoro::Task<std::expected<HttpResponse, FetchFailure>> fetch(QUrl url, std::chrono::milliseconds deadline = 60s)
{
    const auto network = std::make_unique<QNetworkAccessManager>();
    co_return co_await httpGet(*network, QNetworkRequest(url), {1024, deadline});
}

// The status of an answer, or the kind of failure.
std::expected<int, Kind> outcome(const std::expected<HttpResponse, FetchFailure> &result)
{
    return result ? std::expected<int, Kind>(result->statusCode) : std::unexpected(result.error().kind);
}

QList<std::pair<QByteArray, QByteArray>> headerLines(int count, int valueSize)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    for (int i = 0; i < count; ++i)
        headers.append({"X-Filler-" + QByteArray::number(i), QByteArray(valueSize, 'v')});
    return headers;
}

TEST(HttpGet, AnyHttpStatusIsAnAnswerButHostileAnswersFailWithTheirOwnReason)
{
    const QByteArray big(4096, 'x');
    const auto deflated = [](const QByteArray &bytes) { return qCompress(bytes, 9).sliced(4); }; // no length prefix
    const QList<std::pair<QByteArray, QByteArray>> deflate {{"Content-Encoding", "deflate"}};
    const std::tuple<const char *, HttpTestResponse, std::expected<int, Kind>> cases[] = {
        {"a plain answer with many headers", {.body = "hello", .headers = headerLines(40, 1000)}, 200},
        {"a compressed answer", {.body = deflated("hello"), .headers = deflate}, 200},
        {"an error status is an answer too", {.status = 404, .body = "hello"}, 404},
        {"body over the limit, announced", {.body = big}, std::unexpected(Kind::tooLarge)},
        {"body over the limit, unannounced", {.body = big, .chunked = true}, std::unexpected(Kind::tooLarge)},
        {"compression bomb", {.body = deflated(QByteArray(1 << 20, '\0')), .headers = deflate},
            std::unexpected(Kind::tooLarge)},
        {"more header fields than can be read", {.headers = headerLines(2000, 8)},
            std::unexpected(Kind::headersTooLarge)},
        {"a header block past 64 KiB", {.headers = headerLines(9, 8000)}, std::unexpected(Kind::headersTooLarge)},
        {"answer cut short", {.body = "short", .announcedLength = 500}, std::unexpected(Kind::brokenOff)},
        {"redirected in a loop", {.status = 301, .headers = {{"Location", "/again"}}},
            std::unexpected(Kind::tooManyRedirects)},
    };
    for (const auto &[name, response, expected] : cases) {
        HttpTestServer server([&response](const HttpTestRequest &) { return response; });
        const auto result = QCoro::waitFor(fetch(server.url()));
        EXPECT_EQ(outcome(result), expected)
            << name << ": " << (result ? "" : result.error().description().toStdString());
        EXPECT_TRUE(!result || result->body == "hello") << name;
    }
    // Slowloris: each byte comes well within the deadline; the whole answer does not.
    HttpTestServer slow([](const HttpTestRequest &) {
        return HttpTestResponse {
            .raw = "HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n" + QByteArray(200, 'x'), .trickle = 5ms};
    });
    EXPECT_EQ(outcome(QCoro::waitFor(fetch(slow.url(), 500ms))), std::unexpected(Kind::timedOut));
    EXPECT_EQ(outcome(QCoro::waitFor(fetch(QUrl(u"data:,hello"_s)))), std::unexpected(Kind::notHttp));
    const auto refused = QCoro::waitFor(fetch(QUrl(u"http://127.0.0.1:1/"_s)));
    EXPECT_EQ(outcome(refused), std::unexpected(Kind::network));
    EXPECT_TRUE(!refused && refused.error().description().startsWith(u"The server could not be reached: "));
}

TEST(PlainText, ControlAndDirectionCharactersNeverReachTheScreen)
{
    const std::pair<QString, QString> cases[] = {{u"Goal\x1B[31m!\a"_s, u"Goal[31m!"_s},
        {u"a\u0000b\u009Bc\u007F"_s, u"abc"_s}, {u"line\r\nbreak\ttab\u0085next"_s, u"line  break tab next"_s},
        {u"\u202Egnp.exe\u202C \u2066isolated\u2069"_s, u"gnp.exe isolated"_s},
        {u"Straße · 2–1 ′ \u200F"_s, u"Straße · 2–1 ′ \u200F"_s},
        // Lone surrogate halves, which a UTF-7 feed can carry, go; whole pairs stay.
        {u"a"_s + QChar(u'\xD834') + u"b"_s + QChar(u'\xDD1E') + u"c\U0001F600"_s, u"abc\U0001F600"_s}};
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(plainText(text), expected) << text.toStdString();
    EXPECT_EQ(plainText(u"ab\U0001F600f"_s, 4), u"ab…"_s); // cut to the limit, never half a character
    EXPECT_EQ(plainText(QString(1 << 20, u'x')).size(), 500);
}

} // namespace
} // namespace ribbex::test
