#include "sources/news/news_section.h"

#include "settings_window/double_slider.h"
#include "settings_window/form_rows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 fallbackHeadlineCount = 5;
constexpr qint64 fallbackIntervalSeconds = 900;

QString inWords(qsizetype count)
{
    static const QStringList words {u"no"_s, u"one"_s, u"two"_s, u"three"_s, u"four"_s, u"five"_s, u"six"_s, u"seven"_s,
        u"eight"_s, u"nine"_s, u"ten"_s, u"eleven"_s, u"twelve"_s};
    return count < words.size() ? words[count] : QString::number(count);
}

} // namespace

NewsSection::NewsSection(SettingsModel &model, NewsRefresh &news, QWidget *parent)
    : SourceSection(TickerSource::news, u"News headlines"_s, parent)
    , m_model(model)
    , m_news(news)
{
    m_feedPicker = new QComboBox(this);
    m_feedPicker->setObjectName(u"feedPicker"_s);
    for (const NewsFeed &feed : NewsFeed::all())
        m_feedPicker->addItem(feed.name, feed.id);
    m_feedPicker->addItem(u"Custom RSS Feed"_s, NewsFeed::customId);
    content()->addWidget(trailingControlRow(u"RSS source"_s, m_feedPicker, this));
    connect(m_feedPicker, &QComboBox::activated, this,
        [this](int index) { m_news.setNewsFeed(m_feedPicker->itemData(index).toString()); });

    m_customFeed = new QWidget(this);
    auto *custom = new QVBoxLayout(m_customFeed);
    custom->setContentsMargins(0, 0, 0, 0);
    custom->addWidget(headingLabel(u"Custom RSS feed"_s, m_customFeed));
    custom->addWidget(captionLabel(u"Enter an RSS or Atom feed URL, then press Use Feed."_s, m_customFeed));
    m_customFeedField = addEntryRow(
        custom,
        {u"customFeedField"_s, u"https://example.com/feed.xml"_s, u"Custom feed URL"_s, u"useFeedButton"_s,
            u"Use Feed"_s},
        [this](const QString &text) { m_news.useCustomNewsFeed(text); }, m_customFeed);
    content()->addWidget(m_customFeed);

    m_publishersNote
        = captionLabel(u"Choose one of %1 international news publishers."_s.arg(inWords(NewsFeed::all().size())), this);
    content()->addWidget(m_publishersNote);

    m_headlineSlider = new DoubleSlider(2, 7, 1, this);
    m_headlineSlider->setObjectName(u"headlineSlider"_s);
    m_headlineSlider->setAccessibleName(u"Headlines to display"_s);
    m_headlineSlider->setTickPosition(QSlider::TicksBelow);
    m_headlineCount = new QLabel(this);
    m_headlineCount->setObjectName(u"headlineCount"_s);
    m_headlineCount->setMinimumWidth(m_headlineCount->fontMetrics().horizontalAdvance(u"00"_s));
    m_headlineCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *headlines = new QHBoxLayout;
    headlines->addWidget(new QLabel(u"Headlines to display"_s, this));
    headlines->addWidget(m_headlineSlider, 1);
    headlines->addWidget(m_headlineCount);
    content()->addLayout(headlines);
    connect(m_headlineSlider, &DoubleSlider::doubleValueChanged, this, &NewsSection::storeHeadlineCount);

    m_intervalPicker = new QComboBox(this);
    m_intervalPicker->setObjectName(u"refreshIntervalPicker"_s);
    for (const NewsRefreshInterval interval : allCases<NewsRefreshInterval>())
        m_intervalPicker->addItem(title(interval), rawValue(interval));
    content()->addWidget(trailingControlRow(u"Refresh interval"_s, m_intervalPicker, this));
    connect(m_intervalPicker, &QComboBox::activated, this, &NewsSection::storeRefreshInterval);

    auto *refreshNow = new QPushButton(u"Refresh Now"_s, this);
    refreshNow->setObjectName(u"refreshNowButton"_s);
    auto *refreshRow = new QHBoxLayout;
    refreshRow->addWidget(refreshNow);
    refreshRow->addStretch(1);
    content()->addLayout(refreshRow);
    // Runs on by itself, like every refresh the window starts.
    connect(refreshNow, &QPushButton::clicked, this, [this] { (void)m_news.refreshNews(); });

    m_status = captionLabel(QString(), this);
    m_status->setObjectName(u"newsStatus"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    content()->addWidget(m_status);
}

void NewsSection::refresh(const SettingsModel &model)
{
    const RibbexSettings &settings = model.settings();
    const QString feedId = settings.newsFeedID.value_or(NewsFeed::defaultFeed().id);
    {
        const QSignalBlocker blocker(m_feedPicker);
        m_feedPicker->setCurrentIndex(m_feedPicker->findData(feedId));
    }
    const bool custom = feedId == NewsFeed::customId;
    m_customFeed->setVisible(custom);
    m_publishersNote->setVisible(!custom);

    const qint64 count = settings.newsHeadlineCount.value_or(fallbackHeadlineCount);
    {
        const QSignalBlocker blocker(m_headlineSlider);
        m_headlineSlider->setDoubleValue(static_cast<double>(count));
    }
    m_headlineCount->setText(QString::number(count));

    const qint64 seconds = settings.newsRefreshIntervalSeconds.value_or(fallbackIntervalSeconds);
    {
        const QSignalBlocker blocker(m_intervalPicker);
        m_intervalPicker->setCurrentIndex(m_intervalPicker->findData(seconds));
    }
    m_status->setText(model.newsStatus());
    m_status->setVisible(!model.newsStatus().isEmpty());
}

void NewsSection::storeHeadlineCount(double value)
{
    RibbexSettings settings = m_model.settings();
    settings.newsHeadlineCount = std::llround(value);
    m_model.setSettings(settings);
}

void NewsSection::storeRefreshInterval(int index)
{
    RibbexSettings settings = m_model.settings();
    settings.newsRefreshIntervalSeconds = m_intervalPicker->itemData(index).toLongLong();
    m_model.setSettings(settings);
}

} // namespace ribbex
