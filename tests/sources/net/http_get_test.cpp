#include "sources/net/http_get.h"
#include "sources/net/network_access.h"
#include "support/http_test_server.h"

#include <QCoroTask>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

std::expected<HttpResponse, FetchFailure> get(const QUrl &url, FetchLimits limits = {1024, 5s})
{
    QNetworkAccessManager network;
    return QCoro::waitFor(httpGet(network, QNetworkRequest(url), limits));
}

TEST(HttpGet, AnyHttpStatusIsAResponseWithItsBody)
{
    HttpTestServer server([](const HttpTestRequest &request) {
        if (request.path == u"/missing")
            return HttpTestResponse {.status = 404, .body = "gone"};
        return HttpTestResponse {.status = 200, .body = "hello"};
    });
    const auto ok = get(server.url(u"/feed"_s));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->statusCode, 200);
    EXPECT_EQ(ok->body, "hello");
    EXPECT_TRUE(ok->isSuccess());

    const auto missing = get(server.url(u"/missing"_s));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->statusCode, 404);
    EXPECT_EQ(missing->body, "gone");
    EXPECT_FALSE(missing->isSuccess());
}

TEST(HttpGet, BodiesPastTheLimitFailWhetherAnnouncedOrNot)
{
    const QByteArray big(4096, 'x');
    HttpTestServer server([&](const HttpTestRequest &request) {
        return HttpTestResponse {.body = big, .chunked = request.path == u"/chunked"};
    });
    for (const QString &path : {u"/announced"_s, u"/chunked"_s}) {
        const auto result = get(server.url(path));
        ASSERT_FALSE(result) << path.toStdString();
        EXPECT_EQ(result.error().kind, FetchFailure::Kind::tooLarge);
    }
    EXPECT_TRUE(get(server.url(u"/announced"_s), {4096, 5s}));
}

TEST(HttpGet, AServerThatNeverAnswersTimesOut)
{
    HttpTestServer server([](const HttpTestRequest &) { return HttpTestResponse {.stall = true}; });
    const auto result = get(server.url(), {1024, 300ms});
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, FetchFailure::Kind::timedOut);
}

TEST(HttpGet, NoServerOrNoHttpIsAFailure)
{
    HttpTestServer garbage([](const HttpTestRequest &) { return HttpTestResponse {.raw = "SSH-2.0-OpenSSH\r\n"}; });
    const auto notHttp = get(garbage.url());
    ASSERT_FALSE(notHttp);
    EXPECT_NE(notHttp.error().kind, FetchFailure::Kind::timedOut);

    const auto refused = get(QUrl(u"http://127.0.0.1:1/"_s));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, FetchFailure::Kind::network);
    EXPECT_FALSE(refused.error().detail.isEmpty());
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
