#pragma once

// The news options: feed, custom feed address, headline count, refresh interval, a manual
// refresh and the news status.

#include "settings_window/source_section.h"
#include "sources/news/news_refresh.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ribbex {

class DoubleSlider;

class NewsSection final : public SourceSection {
    Q_OBJECT

public:
    NewsSection(SettingsModel &model, NewsRefresh &news, QWidget *parent = nullptr);

    void refresh(const SettingsModel &model) override;

private:
    void storeHeadlineCount(double value);
    void storeRefreshInterval(int index);

    SettingsModel &m_model;
    NewsRefresh &m_news;
    QComboBox *m_feedPicker;
    QWidget *m_customFeed;
    QLineEdit *m_customFeedField;
    QLabel *m_publishersNote;
    DoubleSlider *m_headlineSlider;
    QLabel *m_headlineCount;
    QComboBox *m_intervalPicker;
    QLabel *m_status;
};

} // namespace ribbex
