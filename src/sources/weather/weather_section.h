#pragma once

// The weather options: the current location or a city, the privacy promise, the weather status
// and the credit to the forecast service.

#include "settings_window/source_section.h"
#include "sources/weather/weather_refresh.h"

class QLabel;
class QLineEdit;

namespace ribbex {

class SwitchButton;

class WeatherSection final : public SourceSection {
    Q_OBJECT

public:
    WeatherSection(SettingsModel &model, WeatherRefresh &weather, QWidget *parent = nullptr);

    void refresh(const SettingsModel &model) override;

private:
    WeatherRefresh &m_weather;
    SwitchButton *m_currentLocation;
    QLineEdit *m_cityField;
    QLabel *m_status;
};

} // namespace ribbex
