#include "settings_window/settings_view.h"

#include "settings_window/appearance_pane.h"
#include "settings_window/sources_pane.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

QPushButton *segment(const QString &title, const QString &objectName, QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    button->setObjectName(objectName);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setMinimumWidth(120);
    return button;
}

QScrollArea *scrolling(QWidget *pane, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setContentsMargins(12, 4, 12, 12);
    area->setWidget(pane);
    return area;
}

} // namespace

SettingsView::SettingsView(SettingsModel &model, SettingsActions actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_actions(std::move(actions))
{
    setMinimumSize(460, 360);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 12, 0, 0);
    layout->setSpacing(8);

    m_sourcesTab = segment(u"Sources"_s, u"sourcesTab"_s, this);
    m_appearanceTab = segment(u"Appearance"_s, u"appearanceTab"_s, this);
    auto *tabs = new QButtonGroup(this);
    tabs->addButton(m_sourcesTab);
    tabs->addButton(m_appearanceTab);
    auto *switcher = new QHBoxLayout;
    switcher->setSpacing(0);
    switcher->addStretch(1);
    switcher->addWidget(m_sourcesTab);
    switcher->addWidget(m_appearanceTab);
    switcher->addStretch(1);
    layout->addLayout(switcher);

    m_saveStatus = new QLabel(this);
    m_saveStatus->setObjectName(u"saveStatus"_s);
    m_saveStatus->setTextFormat(Qt::PlainText);
    m_saveStatus->setWordWrap(true);
    m_saveStatus->setContentsMargins(12, 0, 12, 0);
    layout->addWidget(m_saveStatus);
    showSaveStatus();

    m_sources = new SourcesPane(m_model, m_actions);
    m_appearance = new AppearancePane(m_model, m_actions);
    m_stack = new QStackedWidget(this);
    m_sourcesScroll = scrolling(m_sources, m_stack);
    m_appearanceScroll = scrolling(m_appearance, m_stack);
    m_stack->addWidget(m_sourcesScroll);
    m_stack->addWidget(m_appearanceScroll);
    layout->addWidget(m_stack, 1);

    connect(m_sourcesTab, &QAbstractButton::clicked, this, [this] { selectTab(Tab::sources); });
    connect(m_appearanceTab, &QAbstractButton::clicked, this, [this] { selectTab(Tab::appearance); });
    connect(&m_model, &SettingsModel::changed, this, &SettingsView::refresh);
    selectTab(Tab::sources);
}

SettingsView::Tab SettingsView::selectedTab() const
{
    return m_stack->currentWidget() == m_appearanceScroll ? Tab::appearance : Tab::sources;
}

void SettingsView::selectTab(Tab tab)
{
    const bool appearance = tab == Tab::appearance;
    m_sourcesTab->setChecked(!appearance);
    m_appearanceTab->setChecked(appearance);
    m_stack->setCurrentWidget(scrollArea(tab));
}

QScrollArea *SettingsView::scrollArea(Tab tab) const
{
    return tab == Tab::appearance ? m_appearanceScroll : m_sourcesScroll;
}

QSize SettingsView::sizeHint() const
{
    return {580, 720};
}

void SettingsView::refresh()
{
    m_sources->refresh();
    m_appearance->refresh();
    showSaveStatus();
}

void SettingsView::showSaveStatus()
{
    const QString status = m_model.saveStatus();
    m_saveStatus->setText(status);
    m_saveStatus->setVisible(!status.isEmpty());
}

} // namespace ribbex
