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

QList<std::pair<QByteArray, QByteArray>> headerLines(int count, int valueSize)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    for (int i = 0; i < count; ++i)
        headers.append({"X-Filler-" + QByteArray::number(i), QByteArray(valueSize, 'v')});
    return headers;
}

TEST(HttpGet, AnyHttpStatusIsAResponseWithItsBody)
{
    HttpTestServer server([](const HttpTestRequest &request) {
        if (request.path == u"/missing")
            return HttpTestResponse {.status = 404, .body = "gone"};
        if (request.path == u"/compressed")
            return HttpTestResponse {
                .body = qCompress("hello", 9).sliced(4), .headers = {{"Content-Encoding", "deflate"}}};
        return HttpTestResponse {.body = "hello", .headers = headerLines(40, 1000)};
    });
    for (const QString &path : {u"/feed"_s, u"/compressed"_s}) {
        const auto ok = get(server.url(path));
        ASSERT_TRUE(ok) << path.toStdString() << ": " << ok.error().description().toStdString();
        EXPECT_EQ(ok->statusCode, 200);
        EXPECT_EQ(ok->body, "hello");
    }
    const auto missing = get(server.url(u"/missing"_s));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->statusCode, 404);
    EXPECT_FALSE(missing->isSuccess());
}

TEST(HttpGet, HostileAnswersFailWithTheirOwnReason)
{
    const QByteArray big(4096, 'x');
    const struct {
        const char *name;
        HttpTestResponse response;
        Kind kind;
    } cases[] = {
        // Every case but the slow ones has far more time than it needs, so a busy machine can't
        // turn its failure into a time-out.
        {"body over the limit, announced", {.body = big}, Kind::tooLarge},
        {"body over the limit, chunked", {.body = big, .chunked = true}, Kind::tooLarge},
        {"body over the limit, closed at its end", {.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big},
            Kind::tooLarge},
        {"compression bomb", {.body = deflateBomb(1 << 20), .headers = {{"Content-Encoding", "deflate"}}},
            Kind::tooLarge},
        {"never answers", {.stall = true}, Kind::timedOut},
        {"one byte at a time, past the deadline", {.body = "slow", .trickle = 40ms}, Kind::timedOut},
        {"more header fields than can be read", {.headers = headerLines(2000, 8)}, Kind::headersTooLarge},
        {"a header block past 64 KiB", {.headers = headerLines(9, 8000)}, Kind::headersTooLarge},
        {"answer cut short", {.body = "short", .announcedLength = 500}, Kind::brokenOff},
        {"not HTTP, then closed", {.raw = "SSH-2.0-OpenSSH\r\n"}, Kind::network},
    };
    for (const auto &c : cases) {
        HttpTestServer server([&c](const HttpTestRequest &) { return c.response; });
        const auto deadline = c.kind == Kind::timedOut ? 500ms : 10s;
        const auto result = get(server.url(), {1024, deadline});
        ASSERT_FALSE(result) << c.name;
        EXPECT_EQ(result.error().kind, c.kind) << c.name << ": " << result.error().description().toStdString();
    }

    HttpTestServer loop([](const HttpTestRequest &request) {
        return HttpTestResponse {.status = 301, .headers = {{"Location", request.path.toUtf8() + "x"}}};
    });
    const auto redirected = get(loop.url());
    ASSERT_FALSE(redirected);
    EXPECT_EQ(redirected.error().kind, Kind::tooManyRedirects);

    const auto notHttp = get(QUrl(u"data:,hello"_s));
    ASSERT_FALSE(notHttp);
    EXPECT_EQ(notHttp.error().kind, Kind::notHttp);

    const auto refused = get(QUrl(u"http://127.0.0.1:1/"_s));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, Kind::network);
    EXPECT_TRUE(refused.error().description().startsWith(u"The server could not be reached: "));
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
