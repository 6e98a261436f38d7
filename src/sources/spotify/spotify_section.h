#pragma once

// The Spotify options: what to do for the track to show, and the Spotify status.

#include "settings_window/source_section.h"

class QLabel;

namespace ribbex {

class SpotifySection final : public SourceSection {
    Q_OBJECT

public:
    explicit SpotifySection(QWidget *parent = nullptr);

    void refresh(const SettingsModel &model) override;

private:
    QLabel *m_status;
};

} // namespace ribbex
