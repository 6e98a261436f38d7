#pragma once

// The Spotify options: what to do for the track to show, the Web API's client ID with the
// buttons that connect and disconnect it, and the Spotify status.

#include "settings_window/source_section.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ribbex {

struct SpotifySectionActions {
    std::function<void()> connect; // start a sign-in for the stored client ID
    std::function<void()> disconnect;
};

class SpotifySection final : public SourceSection {
    Q_OBJECT

public:
    SpotifySection(SettingsModel &model, SpotifySectionActions actions, QWidget *parent = nullptr);

    void refresh(const SettingsModel &model) override;

private:
    void storeClientID();

    SettingsModel &m_model;
    SpotifySectionActions m_actions;
    QLineEdit *m_clientID;
    QPushButton *m_connect;
    QPushButton *m_disconnect;
    QLabel *m_status;
};

} // namespace ribbex
