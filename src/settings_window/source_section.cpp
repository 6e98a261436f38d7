#include "settings_window/source_section.h"

#include "settings_window/football_section.h"
#include "settings_window/form_rows.h"

#include "settings_window/news_section.h"
#include <QLabel>

#include <QVBoxLayout>

namespace ribbex {

SourceSection::SourceSection(TickerSource source, const QString &heading, QWidget *parent)
    : QWidget(parent)
    , m_source(source)
{
    setObjectName(rawValue(source) + QStringLiteral("Section"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(divider(this));
    layout->addWidget(symbolHeading(symbolName(source), heading, this));
    m_content = new QVBoxLayout;
    m_content->setSpacing(8);
    layout->addLayout(m_content);
}

SourceSection *makeSourceSection(
    TickerSource source, SettingsModel &model, const SettingsActions &actions, QWidget *parent)
{
    switch (source) {
    case TickerSource::news:
        return new NewsSection(model, actions.news, parent);
    case TickerSource::football:
        return new FootballSection(actions.football, parent);
    case TickerSource::spotify:
    case TickerSource::weather:
    case TickerSource::rss:
        break;
    }
    return nullptr;
}

} // namespace ribbex
