#include "window_fixture.h"

namespace ribbex::test {

using namespace Qt::StringLiterals;

WindowTest::~WindowTest()
{
    // Refreshes the view started must end before the network goes away.
    if (model) {
        waitUntil(
            [this] { return !model->bookkeeping().isUpdatingFootball && model->newsStatus() != u"Refreshing…"_s; });
    }
    view.reset();
    changes.reset();
    football.reset();
    news.reset();
    model.reset();
}

void WindowTest::open(QSize size)
{
    model = makeModel();
    news = std::make_unique<NewsRefresh>(*model, newsProvider);
    football = std::make_unique<FootballRefresh>(*model, footballProvider);
    view = std::make_unique<SettingsView>(*model, SettingsActions {*news, *football, [this] { ++loginItemsOpened; }});
    view->resize(size);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    changes = std::make_unique<ChangeCounter>(*model);
}

void WindowTest::edit(const std::function<void(RibbexSettings &)> &change)
{
    RibbexSettings settings = model->settings();
    change(settings);
    model->setSettings(settings);
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

HttpTestResponse WindowTest::answer(const HttpTestRequest &request)
{
    if (request.path.endsWith(u"/scoreboard"))
        return {.status = 503};
    return {.body = QByteArrayLiteral("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed</title>"
                                      "<item><title>Headline 1</title><link>https://news.example/1</link></item>"
                                      "</channel></rss>")};
}

} // namespace ribbex::test
