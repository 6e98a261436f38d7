#include "shell_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace ribbex::test {

using namespace Qt::StringLiterals;

namespace {

const QByteArray feed = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0"><channel><title>Feed</title>
<item><title>First headline</title><link>https://news.example/1</link></item>
<item><title>Second headline</title><link>https://news.example/2</link></item>
</channel></rss>
)";
const QByteArray emptyScoreboard = R"({"events": []})";

} // namespace

ShellTest::ShellTest()
    : server([](const HttpTestRequest &request) {
        return HttpTestResponse {.body = request.path == u"/feed.xml" ? feed : emptyScoreboard};
    })
{
}

RibbexSettings ShellTest::startingSettings() const
{
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::news, TickerSource::football};
    settings.newsFeedID = u"custom"_s;
    settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
    settings.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::premierLeague};
    return settings;
}

void ShellTest::editSettings(SettingsModel &model, const std::function<void(RibbexSettings &)> &edit)
{
    RibbexSettings settings = model.settings();
    edit(settings);
    model.setSettings(settings);
}

void ShellTest::settle(const SettingsModel &model)
{
    EXPECT_TRUE(
        eventually([&] { return !model.bookkeeping().isUpdatingFootball && model.newsStatus() != u"Refreshing…"_s; }));
}

bool ShellTest::eventually(const std::function<bool()> &condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace ribbex::test
