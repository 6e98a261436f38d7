#pragma once

// News as a source of the ticker: the chosen feed, its refresh and interval, and the feed
// section of the settings window.

#include "sources/live_source.h"
#include "sources/news/news_refresh.h"
#include "sources/news/news_rss_provider.h"

namespace ribbex {

class NewsSource final : public LiveSource {
public:
    explicit NewsSource(const SourceServices &services);

    TickerSource kind() const override { return TickerSource::news; }
    std::optional<double> nextRefreshDelay(const QDateTime &now) const override;
    void setRescheduler(std::function<void()> reschedule) override;
    QCoro::Task<> refreshNow() override;
    QCoro::Task<> refreshIfDue() override;
    QString status() const override;
    SourceSection *createSettingsSection(QWidget *parent) override;

private:
    SettingsModel &m_model;
    NewsRSSProvider m_provider;
    NewsRefresh m_refresh;
};

} // namespace ribbex
