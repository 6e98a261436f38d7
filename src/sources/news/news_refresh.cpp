#include "sources/news/news_refresh.h"

#include <QPointer>

#include <algorithm>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

QString updatedStatus(qsizetype count)
{
    if (count == 0)
        return u"No headlines available"_s;
    return u"Updated just now · %1 %2"_s.arg(count).arg(count == 1 ? u"headline"_s : u"headlines"_s);
}

} // namespace

NewsRefresh::NewsRefresh(SettingsModel &model, NewsRSSProvider &provider, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_provider(provider)
{
}

QCoro::Task<> NewsRefresh::refreshNews()
{
    if (!m_model.settings().isEnabled(TickerSource::news)) {
        Q_EMIT newsRefreshFinished();
        co_return;
    }
    // Any refresh still in flight is for a choice that no longer holds: it must not publish.
    const quint64 refresh = ++m_latestRefresh;
    const std::optional<NewsFeed> feed = m_model.selectedNewsFeed();
    if (!feed) {
        m_model.setNewsStatus(u"Add a valid custom RSS URL below"_s);
        m_model.setNewsHeadlines({});
        Q_EMIT newsRefreshFinished();
        co_return;
    }
    m_model.bookkeeping().lastNewsRefreshAttempt = m_model.clock().now();
    if (m_model.onNewsRefreshAttemptStarted)
        m_model.onNewsRefreshAttemptStarted();
    m_model.setNewsStatus(u"Refreshing…"_s);

    const QPointer<NewsRefresh> self(this);
    const auto result = co_await m_provider.headlines(feed->url);
    if (!self)
        co_return;
    if (refresh == m_latestRefresh)
        publish(*feed, result);
    Q_EMIT newsRefreshFinished();
}

void NewsRefresh::publish(const NewsFeed &feed, const std::expected<QList<NewsHeadline>, NewsFeedError> &result)
{
    if (!result) {
        // The last good headlines stay.
        m_model.setNewsStatus(u"Couldn’t load "_s + feed.name + u" · "_s + result.error().description());
        return;
    }
    m_model.setNewsHeadlines(*result);
    m_model.setNewsStatus(updatedStatus(result->size()));
}

QCoro::Task<> NewsRefresh::refreshNewsIfDue()
{
    if (!m_model.bookkeeping().lastNewsRefreshAttempt)
        co_return; // the first fetch after launch is started directly
    const double elapsed = secondsSinceLastAttempt(m_model.clock().now());
    // A last attempt in the future means the clock was set back: refresh rather than wait it out.
    if (elapsed >= newsRefreshInterval() || elapsed < 0)
        co_await refreshNews();
}

double NewsRefresh::nextNewsRefreshDelay(const QDateTime &now) const
{
    const double interval = newsRefreshInterval();
    if (!m_model.bookkeeping().lastNewsRefreshAttempt)
        return interval;
    return std::clamp(interval - secondsSinceLastAttempt(now), 1.0, interval);
}

double NewsRefresh::newsRefreshInterval() const
{
    const qint64 stored = m_model.settings().newsRefreshIntervalSeconds.value_or(0);
    return std::max(minimumInterval, static_cast<double>(stored));
}

double NewsRefresh::secondsSinceLastAttempt(const QDateTime &now) const
{
    return static_cast<double>(m_model.bookkeeping().lastNewsRefreshAttempt->msecsTo(now)) / 1000.0;
}

void NewsRefresh::setNewsFeed(const QString &id)
{
    RibbexSettings settings = m_model.settings();
    settings.newsFeedID = id;
    m_model.setSettings(settings);
    startRefresh();
}

void NewsRefresh::useCustomNewsFeed(const QString &text)
{
    const QString address = text.trimmed();
    if (!isValidCustomFeedAddress(address)) {
        m_model.setNewsStatus(u"Enter a valid http or https feed URL"_s);
        return;
    }
    RibbexSettings settings = m_model.settings();
    settings.customNewsFeedURL = QUrl(address, QUrl::StrictMode).toString(QUrl::FullyEncoded);
    m_model.setSettings(settings);
    settings = m_model.settings();
    settings.newsFeedID = NewsFeed::customId;
    m_model.setSettings(settings);
    startRefresh();
}

void NewsRefresh::startRefresh()
{
    // Runs to its first wait now; the task lives on by itself and checks that this object
    // still exists before it publishes.
    (void)refreshNews();
}

} // namespace ribbex
