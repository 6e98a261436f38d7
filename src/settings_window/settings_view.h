#pragma once

// The content of the settings window: a Sources / Appearance switch above a scrolling pane, and
// a status line while settings cannot be saved.
// It keeps no settings of its own; every control reads the model and writes through it, and
// every change the model announces is shown in place, without rebuilding controls.

#include "model/settings_model.h"
#include "settings_window/settings_actions.h"

#include <QWidget>

class QAbstractButton;
class QLabel;
class QScrollArea;
class QStackedWidget;

namespace ribbex {

class AppearancePane;
class SourcesPane;

class SettingsView final : public QWidget {
    Q_OBJECT

public:
    enum class Tab { sources, appearance };

    // The model and the refreshes in actions must outlive the view.
    SettingsView(SettingsModel &model, SettingsActions actions, QWidget *parent = nullptr);

    Tab selectedTab() const;
    void selectTab(Tab tab);
    // The scroll area of a tab.
    QScrollArea *scrollArea(Tab tab) const;

    QSize sizeHint() const override;

private:
    void refresh();
    void showSaveStatus();

    SettingsModel &m_model;
    SettingsActions m_actions;
    QAbstractButton *m_sourcesTab;
    QAbstractButton *m_appearanceTab;
    QLabel *m_saveStatus;
    QStackedWidget *m_stack;
    QScrollArea *m_sourcesScroll;
    QScrollArea *m_appearanceScroll;
    SourcesPane *m_sources;
    AppearancePane *m_appearance;
};

} // namespace ribbex
