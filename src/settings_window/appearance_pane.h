#pragma once

// The Appearance tab: colours, style, transparency, corners, speed and width, the Spotify
// progress bar, the football zone, where the ticker sits and launch at login.

#include "model/settings_model.h"
#include "settings_window/settings_actions.h"

#include <QList>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QVBoxLayout;

namespace ribbex {

class ColorSwatchPopover;
class DoubleSlider;
class SwitchButton;

class AppearancePane final : public QWidget {
    Q_OBJECT

public:
    AppearancePane(SettingsModel &model, const SettingsActions &actions, QWidget *parent = nullptr);

    // Shows the model's state in place.
    void refresh();

private:
    void addColors();
    void addMotion();
    void addProgressBar();
    void addFootballAndPlacement();
    void addStartup();
    // One settings assignment with the edit applied.
    void edit(const std::function<void(RibbexSettings &)> &change);
    // A switch that writes field, showing fallback when the field is absent.
    SwitchButton *addSettingToggle(
        const QString &label, const QString &objectName, std::optional<bool> RibbexSettings::*field, bool fallback);

    struct ToggleBinding {
        SwitchButton *toggle = nullptr;
        std::optional<bool> RibbexSettings::*field = nullptr;
        bool fallback = false;
    };

    SettingsModel &m_model;
    SettingsActions m_actions;
    QVBoxLayout *m_layout;
    QComboBox *m_stylePicker = nullptr;
    ColorSwatchPopover *m_textColor = nullptr;
    QWidget *m_backgroundRow = nullptr;
    ColorSwatchPopover *m_backgroundColor = nullptr;
    SwitchButton *m_transparentBackground = nullptr;
    DoubleSlider *m_speed = nullptr;
    DoubleSlider *m_width = nullptr;
    ColorSwatchPopover *m_progressColor = nullptr;
    QLabel *m_progressTransparencyLabel = nullptr;
    DoubleSlider *m_progressTransparency = nullptr;
    QList<ToggleBinding> m_toggles;
    QWidget *m_launchAtLogin = nullptr;
    QLabel *m_launchAtLoginStatus = nullptr;
};

} // namespace ribbex
