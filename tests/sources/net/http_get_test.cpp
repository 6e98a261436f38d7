#include "sources/net/http_get.h"
#include "sources/net/network_access.h"
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

// The manager lives exactly as long as the fetch, as in a command-line run: it goes the moment
// the fetch resumes, so a resumption from inside one of the reply's signals would be a use
// after free.
QCoro::Task<std::expected<HttpResponse, FetchFailure>> fetchOwningTheManager(QUrl url, FetchLimits limits)
{
    const auto network = std::make_unique<QNetworkAccessManager>();
    co_return co_await httpGet(*network, QNetworkRequest(url), limits);
}

std::expected<HttpResponse, FetchFailure> get(const QUrl &url, FetchLimits limits = {1024, 5s})
{
    return QCoro::waitFor(fetchOwningTheManager(url, limits));
}

// A deflate body that inflates to `size` zero bytes.
QByteArray deflateBomb(qsizetype size)
{
    return qCompress(QByteArray(size, '\0'), 9).sliced(4); // without Qt's length prefix
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
    // Every case but the slow ones has far more time than it needs, so a busy machine can't turn
    // its failure into a time-out.
    const std::tuple<const char *, HttpTestResponse, std::expected<int, Kind>> cases[] = {
        {"a plain answer with many headers", {.body = "hello", .headers = headerLines(40, 1000)}, 200},
        {"a compressed answer", {.body = qCompress("hello", 9).sliced(4), .headers = {{"Content-Encoding", "deflate"}}},
            200},
        {"an error status is an answer too", {.status = 404, .body = "hello"}, 404},
        {"body over the limit, announced", {.body = big}, std::unexpected(Kind::tooLarge)},
        {"body over the limit, chunked", {.body = big, .chunked = true}, std::unexpected(Kind::tooLarge)},
        {"body over the limit, closed at its end", {.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big},
            std::unexpected(Kind::tooLarge)},
        {"compression bomb", {.body = deflateBomb(1 << 20), .headers = {{"Content-Encoding", "deflate"}}},
            std::unexpected(Kind::tooLarge)},
        {"never answers", {.stall = true}, std::unexpected(Kind::timedOut)},
        // Each byte comes well within the deadline; the whole answer does not.
        {"a byte at a time, past the deadline",
            {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n" + QByteArray(200, 'x'), .trickle = 5ms},
            std::unexpected(Kind::timedOut)},
        {"more header fields than can be read", {.headers = headerLines(2000, 8)},
            std::unexpected(Kind::headersTooLarge)},
        {"a header block past 64 KiB", {.headers = headerLines(9, 8000)}, std::unexpected(Kind::headersTooLarge)},
        {"answer cut short", {.body = "short", .announcedLength = 500}, std::unexpected(Kind::brokenOff)},
        {"not HTTP, then closed", {.raw = "SSH-2.0-OpenSSH\r\n"}, std::unexpected(Kind::network)},
        {"redirected in a loop", {.status = 301, .headers = {{"Location", "/again"}}},
            std::unexpected(Kind::tooManyRedirects)},
    };
    for (const auto &[name, response, expected] : cases) {
        HttpTestServer server([&response](const HttpTestRequest &) { return response; });
        const bool slow = expected == std::unexpected(Kind::timedOut);
        const auto result = get(server.url(), {1024, slow ? 500ms : 10s});
        EXPECT_EQ(outcome(result), expected)
            << name << ": " << (result ? "" : result.error().description().toStdString());
        if (result) {
            EXPECT_EQ(result->body, "hello") << name;
        }
    }
    EXPECT_EQ(outcome(get(QUrl(u"data:,hello"_s))), std::unexpected(Kind::notHttp));
    const auto refused = get(QUrl(u"http://127.0.0.1:1/"_s));
    EXPECT_EQ(outcome(refused), std::unexpected(Kind::network));
    EXPECT_TRUE(!refused && refused.error().description().startsWith(u"The server could not be reached: "));
}

TEST(PlainText, ControlAndDirectionCharactersNeverReachTheScreen)
{
    const std::pair<QString, QString> cases[] = {
        {u"Goal\x1B[31m!\a"_s, u"Goal[31m!"_s},
        {u"a\u0000b\u009Bc\u007F"_s, u"abc"_s},
        {u"line\r\nbreak\ttab\u0085next"_s, u"line  break tab next"_s},
        {u"\u202Egnp.exe\u202C \u2066isolated\u2069"_s, u"gnp.exe isolated"_s},
        {u"Straße · 2–1 ′ \u200F"_s, u"Straße · 2–1 ′ \u200F"_s},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(plainText(text), expected) << text.toStdString();
    EXPECT_EQ(plainText(u"abcdef"_s, 4), u"abc…"_s);
    EXPECT_EQ(plainText(u"ab\U0001F600f"_s, 4), u"ab…"_s); // never half a character
    EXPECT_EQ(plainText(QString(1 << 20, u'x')).size(), 500);
}

TEST(ServiceBaseUrl, TheEnvironmentReplacesTheAddressOnlyWithAUsableOne)
{
    const QUrl fallback(u"https://service.example"_s);
    const std::pair<const char *, QUrl> cases[] = {
        {"http://127.0.0.1:8080", QUrl(u"http://127.0.0.1:8080"_s)},
        {"https://mirror.example", QUrl(u"https://mirror.example"_s)},
        {"", fallback},
        {"ftp://mirror.example", fallback},
        {"not a url", fallback},
    };
    for (const auto &[value, expected] : cases) {
        qputenv("RIBBEX_TEST_SERVICE_URL", value);
        EXPECT_EQ(serviceBaseUrl("RIBBEX_TEST_SERVICE_URL", fallback), expected) << value;
    }
    qunsetenv("RIBBEX_TEST_SERVICE_URL");
}

} // namespace
} // namespace ribbex::test
