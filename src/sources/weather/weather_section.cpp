#include "sources/weather/weather_section.h"

#include "settings_window/form_rows.h"
#include "settings_window/switch_button.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    auto *entry = new QHBoxLayout;
    m_cityField = new QLineEdit(this);
    m_cityField->setObjectName(u"cityField"_s);
    m_cityField->setPlaceholderText(u"Or enter a city"_s);
    m_cityField->setAccessibleName(u"City"_s);
    m_cityField->setClearButtonEnabled(true);
    // The city the forecast is for, so the user sees what a new one replaces.
    m_cityField->setText(model.settings().weatherCity.value_or(QString()));
    auto *useCity = new QPushButton(u"Use City"_s, this);
    useCity->setObjectName(u"useCityButton"_s);
    useCity->setEnabled(!m_cityField->text().trimmed().isEmpty());
    entry->addWidget(m_cityField, 1);
    entry->addWidget(useCity);
    content()->addLayout(entry);
    connect(m_cityField, &QLineEdit::textChanged, useCity,
        [useCity](const QString &text) { useCity->setEnabled(!text.trimmed().isEmpty()); });
    const auto chooseCity = [this, useCity] {
        if (useCity->isEnabled())
            m_weather.refreshWeatherForCity(m_cityField->text());
    };
    connect(useCity, &QPushButton::clicked, this, chooseCity);
    connect(m_cityField, &QLineEdit::returnPressed, this, chooseCity);

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
