#include "sources/weather/weather_section.h"

#include "settings_window/form_rows.h"
#include "settings_window/switch_button.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace ribbex {

using namespace Qt::StringLiterals;

WeatherSection::WeatherSection(SettingsModel &model, WeatherRefresh &weather, QWidget *parent)
    : SourceSection(TickerSource::weather, u"Local weather"_s, parent)
    , m_weather(weather)
{
    m_currentLocation = addToggleRow(content(), u"Use my current location"_s, u"currentLocationSwitch"_s);
    connect(
        m_currentLocation, &SwitchButton::toggled, this, [this](bool on) { m_weather.useCurrentWeatherLocation(on); });
    content()->addWidget(captionLabel(u"When enabled, ribbex rounds your coordinates to about 1 km and sends them to "
                                      "Open-Meteo for the forecast. ribbex keeps only the forecast, not your "
                                      "coordinates."_s,
        this));

    m_cityField = addEntryRow(
        content(), {u"cityField"_s, u"Or enter a city"_s, u"City"_s, u"useCityButton"_s, u"Use City"_s},
        [this](const QString &text) { m_weather.refreshWeatherForCity(text); }, this);
    // The city the forecast is for, so the user sees what a new one replaces.
    m_cityField->setText(model.settings().weatherCity.value_or(QString()));

    m_status = captionLabel(QString(), this);
    m_status->setObjectName(u"weatherStatus"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    content()->addWidget(m_status);

    auto *credit = new QLabel(u"<a href=\"https://open-meteo.com/\">Weather data by Open-Meteo</a>"_s, this);
    credit->setObjectName(u"openMeteoLink"_s);
    credit->setTextFormat(Qt::RichText);
    credit->setOpenExternalLinks(true);
    content()->addWidget(credit);
}

void WeatherSection::refresh(const SettingsModel &model)
{
    {
        const QSignalBlocker blocker(m_currentLocation);
        m_currentLocation->setChecked(model.settings().weatherUseCurrentLocation.value_or(false));
    }
    m_status->setText(model.weatherStatus());
    m_status->setVisible(!model.weatherStatus().isEmpty());
}

} // namespace ribbex
