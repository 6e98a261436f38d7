#pragma once

// The Sources tab: one on/off switch per source, then the options of each enabled source.

#include "model/settings_model.h"
#include "settings_window/settings_actions.h"

#include <QList>
#include <QMap>
#include <QWidget>

namespace ribbex {

class SourceSection;
class SwitchButton;

class SourcesPane final : public QWidget {
    Q_OBJECT

public:
    SourcesPane(SettingsModel &model, const SettingsActions &actions, QWidget *parent = nullptr);

    // Shows the model's state in place.
    void refresh();

private:
    void setSourceEnabled(TickerSource source, bool enabled);

    SettingsModel &m_model;
    SettingsActions m_actions;
    QMap<TickerSource, SwitchButton *> m_switches;
    QList<SourceSection *> m_sections;
};

} // namespace ribbex
