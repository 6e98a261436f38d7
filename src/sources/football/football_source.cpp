#include "sources/football/football_source.h"

#include "sources/football/football_section.h"
#include "sources/net/network_access.h"

namespace ribbex {

FootballSource::FootballSource(const SourceServices &services)
    : m_model(services.model)
    , m_provider(services.network, serviceBaseUrl("RIBBEX_ESPN_URL", QUrl(QStringLiteral("https://site.api.espn.com"))))
    , m_refresh(services.model, m_provider)
{
}

std::optional<double> FootballSource::nextRefreshDelay(const QDateTime &now) const
{
    return m_refresh.nextFootballRefreshDelay(now);
}

void FootballSource::setRescheduler(std::function<void()> reschedule)
{
    m_model.onFootballRefreshFinished = std::move(reschedule);
}

QCoro::Task<> FootballSource::refreshNow()
{
    return m_refresh.refreshFootballSchedules();
}

QCoro::Task<> FootballSource::refreshIfDue()
{
    return m_refresh.refreshFootball();
}

QString FootballSource::status() const
{
    return m_model.footballStatus();
}

SourceSection *FootballSource::createSettingsSection(QWidget *parent)
{
    return new FootballSection(m_refresh, parent);
}

} // namespace ribbex
