#include "settings_window/source_section.h"

#include "settings_window/form_rows.h"

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

} // namespace ribbex
