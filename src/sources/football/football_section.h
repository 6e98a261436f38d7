#pragma once

// The football options: one checkbox per competition.

#include "settings_window/source_section.h"
#include "sources/football/football_refresh.h"

#include <QMap>

class QCheckBox;

namespace ribbex {

class FootballSection final : public SourceSection {
    Q_OBJECT

public:
    explicit FootballSection(FootballRefresh &football, QWidget *parent = nullptr);

    void refresh(const SettingsModel &model) override;

private:
    QMap<FootballCompetition, QCheckBox *> m_boxes;
};

} // namespace ribbex
