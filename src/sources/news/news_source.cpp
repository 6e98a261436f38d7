#include "sources/news/news_source.h"

#include "sources/news/news_section.h"

namespace ribbex {

NewsSource::NewsSource(const SourceServices &services)
    : m_model(services.model)
    , m_provider(services.network)
    , m_refresh(services.model, m_provider)
{
}

std::optional<double> NewsSource::nextRefreshDelay(const QDateTime &now) const
{
    if (!m_model.settings().isEnabled(TickerSource::news))
        return std::nullopt;
    return m_refresh.nextNewsRefreshDelay(now);
}

void NewsSource::setRescheduler(std::function<void()> reschedule)
{
    m_model.onNewsRefreshAttemptStarted = std::move(reschedule);
}

QCoro::Task<> NewsSource::refreshNow()
{
    return m_refresh.refreshNews();
}

QCoro::Task<> NewsSource::refreshIfDue()
{
    return m_refresh.refreshNewsIfDue();
}

QString NewsSource::status() const
{
    return m_model.newsStatus();
}

SourceSection *NewsSource::createSettingsSection(QWidget *parent)
{
    return new NewsSection(m_model, m_refresh, parent);
}

} // namespace ribbex
