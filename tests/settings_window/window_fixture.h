#pragma once

#include "model/model_fixture.h"
#include "settings_window/settings_view.h"
#include "sources/football/espn_football_provider.h"
#include "sources/news/loopback_network.h"
#include "sources/news/news_rss_provider.h"
#include "support/http_test_server.h"

#include <QTest>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline std::ostream &operator<<(std::ostream &out, const QString &text)
{
    return out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ribbex::test {

// The settings view over a model on real files, whose news and football refreshes reach one
// loopback server: every feed answers with one headline, every scoreboard with 503.
class WindowTest : public ModelTest {
protected:
    ~WindowTest() override;

    // Creates the model (from what is stored now) and the view, and starts counting changes.
    void open(QSize size = {580, 720});
    void edit(const std::function<void(RibbexSettings &)> &change);
    void select(SettingsView::Tab tab) { view->selectTab(tab); }

    template<typename Widget> Widget *child(const QString &name) const
    {
        auto *widget = view->findChild<Widget *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    bool shown(const QString &name) const;
    // Whether the server saw a request whose path ends so.
    bool requested(const QString &pathEnd) const;
    static bool waitUntil(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 5000); }

    HttpTestServer server {[](const HttpTestRequest &request) { return answer(request); }};
    LoopbackNetworkAccessManager network {server.url()};
    NewsRSSProvider newsProvider {network, std::chrono::seconds(2)};
    ESPNFootballProvider footballProvider {network, server.url(), std::chrono::seconds(2)};

    std::unique_ptr<SettingsModel> model;
    std::unique_ptr<NewsRefresh> news;
    std::unique_ptr<FootballRefresh> football;
    std::unique_ptr<SettingsView> view;
    std::unique_ptr<ChangeCounter> changes;
    int loginItemsOpened = 0;

private:
    static HttpTestResponse answer(const HttpTestRequest &request);
};

} // namespace ribbex::test
