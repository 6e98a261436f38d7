#include "window_fixture.h"

namespace ribbex::test {

using namespace Qt::StringLiterals;

WindowTest::WindowTest()
{
    answer = [](const HttpTestRequest &request) {
        if (request.path.endsWith(u"/scoreboard"))
            return HttpTestResponse {.status = 503};
        return HttpTestResponse {
            .body = QByteArrayLiteral("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed</title>"
                                      "<item><title>Headline 1</title><link>https://news.example/1</link></item>"
                                      "</channel></rss>")};
    };
}

WindowTest::~WindowTest()
{
    // Refreshes the view started must end before the network goes away.
    settle();
    view.reset();
    changes.reset();
}

void WindowTest::open(QSize size)
{
    model = &ModelHome::model();
    view = std::make_unique<SettingsView>(
        *model, SettingsActions {sourcePointers(sources()), [this] { ++loginItemsOpened; }});
    view->resize(size);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    changes = std::make_unique<ChangeCounter>(*model);
}

bool WindowTest::shown(const QString &name) const
{
    const QWidget *widget = child<QWidget>(name);
    return widget && widget->isVisibleTo(view.get());
}

bool WindowTest::requested(const QString &pathEnd) const
{
    return std::ranges::any_of(
        server.requests(), [&](const HttpTestRequest &request) { return request.path.endsWith(pathEnd); });
}

} // namespace ribbex::test
