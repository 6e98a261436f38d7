#pragma once

// The news source's side of the model: fetches the chosen feed, publishes its headlines and a
// one-line status, and says when the next fetch is due.

#include "model/settings_model.h"
#include "sources/news/news_rss_provider.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <QCoroTask>

namespace ribbex {

class NewsRefresh final : public QObject {
    Q_OBJECT

public:
    static constexpr double minimumInterval = 900;

    // The model and the provider must outlive this object.
    NewsRefresh(SettingsModel &model, NewsRSSProvider &provider, QObject *parent = nullptr);

    // Fetches the selected feed when news is enabled; failures become the status text.
    QCoro::Task<> refreshNews();
    // Refreshes when the interval has passed since the last attempt; never before a first attempt.
    QCoro::Task<> refreshNewsIfDue();
    // Seconds from now until the next refresh is due: at least 1, at most the interval.
    double nextNewsRefreshDelay(const QDateTime &now) const;
    // The stored interval, 900 seconds when absent, never less than 900 seconds.
    double newsRefreshInterval() const;

    // Chooses a built-in feed by id (not validated) and starts a refresh; returns at once.
    void setNewsFeed(const QString &id);
    // Chooses the user's own feed when text is an http or https address, and starts a refresh.
    void useCustomNewsFeed(const QString &text);

Q_SIGNALS:
    // A refreshNews() call has ended, whatever its outcome.
    void newsRefreshFinished();

private:
    void startRefresh();
    void publish(const NewsFeed &feed, const std::expected<QList<NewsHeadline>, NewsFeedError> &result);
    double secondsSinceLastAttempt(const QDateTime &now) const;

    SettingsModel &m_model;
    NewsRSSProvider &m_provider;
    quint64 m_latestRefresh = 0;
};

} // namespace ribbex
