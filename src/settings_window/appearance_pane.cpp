#include "settings_window/appearance_pane.h"

#include "settings/colors.h"
#include "settings_window/color_swatch_popover.h"
#include "settings_window/double_slider.h"
#include "settings_window/form_rows.h"
#include "settings_window/switch_button.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

const QString &fallbackProgressBarColor = defaultProgressBarColor;

// Whole percent, truncated; the small allowance keeps 0.29 (stored as 0.28999…) at 29.
int wholePercent(double fraction)
{
    return static_cast<int>(std::floor(fraction * 100 + 1e-9));
}

bool transparentBackground(const RibbexSettings &settings)
{
    return settings.backgroundTransparency && *settings.backgroundTransparency >= 1.0;
}

// Shows whether Ribbex starts at login: a dot in the highlight colour when it does.
class StateDot final : public QWidget {
public:
    explicit StateDot(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(10, 10);
    }

    void setOn(bool on)
    {
        setProperty("on", on);
        setAccessibleName(on ? u"On"_s : u"Off"_s);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(property("on").toBool() ? QPalette::Highlight : QPalette::Mid));
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

QHBoxLayout *sliderRow(QWidget *label, DoubleSlider *slider)
{
    auto *row = new QHBoxLayout;
    // One width for every slider's label, so the sliders line up.
    label->setFixedWidth(140);
    row->addWidget(label);
    row->addWidget(slider, 1);
    return row;
}

} // namespace

AppearancePane::AppearancePane(SettingsModel &model, const SettingsActions &actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_actions(actions)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setSpacing(8);
    addColors();
    addMotion();
    addProgressBar();
    addFootballAndPlacement();
    addStartup();
    m_layout->addStretch(1);
    refresh();
}

void AppearancePane::addColors()
{
    auto *presets = new QHBoxLayout;
    for (const ColorPreset &preset : colorPresets()) {
        auto *button = new QPushButton(preset.name, this);
        button->setObjectName(u"preset"_s + preset.name);
        presets->addWidget(button);
        connect(button, &QPushButton::clicked, this,
            [this, preset] { m_model.updateColors(preset.textColor, preset.backgroundColor); });
    }
    presets->addStretch(1);
    m_layout->addLayout(presets);

    m_stylePicker = new QComboBox(this);
    m_stylePicker->setObjectName(u"stylePicker"_s);
    for (const TickerStyle style : allCases<TickerStyle>())
        m_stylePicker->addItem(title(style), rawValue(style));
    m_layout->addWidget(trailingControlRow(u"Text style"_s, m_stylePicker, this));
    connect(m_stylePicker, &QComboBox::activated, this, [this](int index) {
        const auto style = fromRawValue<TickerStyle>(m_stylePicker->itemData(index).toString());
        edit([&](RibbexSettings &settings) { settings.style = style.value_or(settings.style); });
    });

    m_textColor = new ColorSwatchPopover(this);
    m_textColor->setObjectName(u"textColorSwatch"_s);
    m_layout->addWidget(trailingControlRow(u"Text color"_s, m_textColor, this));
    connect(m_textColor, &ColorSwatchPopover::colorChosen, this,
        [this](const QString &color) { m_model.updateColor(SettingsModel::ColorField::text, color); });

    m_backgroundColor = new ColorSwatchPopover(this);
    m_backgroundColor->setObjectName(u"backgroundColorSwatch"_s);
    m_backgroundRow = trailingControlRow(u"Background"_s, m_backgroundColor, this);
    m_layout->addWidget(m_backgroundRow);
    connect(m_backgroundColor, &ColorSwatchPopover::colorChosen, this,
        [this](const QString &color) { m_model.updateColor(SettingsModel::ColorField::background, color); });

    m_transparentBackground = addToggleRow(m_layout, u"Transparent background"_s, u"transparentBackgroundSwitch"_s);
    connect(m_transparentBackground, &SwitchButton::toggled, this,
        [this](bool on) { m_model.setBackgroundTransparency(on ? 1.0 : 0.0); });
    m_layout->addWidget(captionLabel(u"Shows the desktop behind the ticker text."_s, this));

    addSettingToggle(u"Rounded ticker edges"_s, u"roundedEdgesSwitch"_s, &RibbexSettings::roundedTickerEdges, true);
}

void AppearancePane::addMotion()
{
    m_layout->addWidget(divider(this));
    m_speed = new DoubleSlider(25, 180, 0, this);
    m_speed->setObjectName(u"speedSlider"_s);
    m_speed->setAccessibleName(u"Scroll speed"_s);
    m_layout->addLayout(sliderRow(new QLabel(u"Scroll speed"_s, this), m_speed));
    connect(m_speed, &DoubleSlider::doubleValueChanged, this,
        [this](double value) { edit([value](RibbexSettings &settings) { settings.speed = value; }); });

    m_width = new DoubleSlider(350, 700, 10, this);
    m_width->setObjectName(u"widthSlider"_s);
    m_width->setAccessibleName(u"Bar width"_s);
    m_layout->addLayout(sliderRow(new QLabel(u"Bar width"_s, this), m_width));
    connect(m_width, &DoubleSlider::doubleValueChanged, this,
        [this](double value) { edit([value](RibbexSettings &settings) { settings.width = value; }); });
}

void AppearancePane::addProgressBar()
{
    m_layout->addSpacing(8);
    m_layout->addWidget(headingLabel(u"Spotify progress bar"_s, this));
    m_progressColor = new ColorSwatchPopover(this);
    m_progressColor->setObjectName(u"progressColorSwatch"_s);
    m_layout->addWidget(trailingControlRow(u"Color"_s, m_progressColor, this));
    connect(m_progressColor, &ColorSwatchPopover::colorChosen, this,
        [this](const QString &color) { edit([&](RibbexSettings &settings) { settings.progressBarColor = color; }); });

    m_progressTransparencyLabel = new QLabel(this);
    m_progressTransparencyLabel->setObjectName(u"progressTransparencyLabel"_s);
    m_progressTransparency = new DoubleSlider(0, 1, 0, this);
    m_progressTransparency->setObjectName(u"progressTransparencySlider"_s);
    m_progressTransparency->setAccessibleName(u"Progress bar transparency"_s);
    m_layout->addLayout(sliderRow(m_progressTransparencyLabel, m_progressTransparency));
    connect(m_progressTransparency, &DoubleSlider::doubleValueChanged, this, [this](double value) {
        edit([value](RibbexSettings &settings) { settings.progressBarTransparency = value; });
    });

    addSettingToggle(
        u"Thick progress bar"_s, u"thickProgressSwitch"_s, &RibbexSettings::thickSpotifyProgressBar, false);
}

void AppearancePane::addFootballAndPlacement()
{
    m_layout->addWidget(divider(this));
    m_layout->addWidget(symbolHeading(u"sportscourt"_s, u"Football display"_s, this));
    addSettingToggle(
        u"Separate vertical zone"_s, u"separateZoneSwitch"_s, &RibbexSettings::separateFootballZone, false);
    m_layout->addWidget(
        captionLabel(u"Uses the right quarter of the ticker. Fixtures rise into view one at a time."_s, this));

    m_layout->addWidget(divider(this));
    m_layout->addWidget(headingLabel(u"Ticker position"_s, this));
    m_layout->addWidget(
        captionLabel(u"The ticker sits at the top right of the main screen, just below the desktop's top panels, "
                     "which windows leave clear for it. To move it, hold Ctrl and drag it along that row."_s,
            this));
}

void AppearancePane::addStartup()
{
    m_layout->addWidget(divider(this));
    m_layout->addWidget(headingLabel(u"Startup"_s, this));
    // Only shows the login item's state; registering it is not this row's business.
    auto *state = new QWidget(this);
    auto *stateLayout = new QHBoxLayout(state);
    stateLayout->setContentsMargins(0, 0, 0, 0);
    m_launchAtLogin = new StateDot(state);
    m_launchAtLogin->setObjectName(u"launchAtLoginState"_s);
    m_launchAtLoginStatus = new QLabel(state);
    m_launchAtLoginStatus->setObjectName(u"launchAtLoginStatus"_s);
    m_launchAtLoginStatus->setWordWrap(true);
    m_launchAtLoginStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stateLayout->addWidget(m_launchAtLogin);
    stateLayout->addWidget(m_launchAtLoginStatus, 1);
    m_layout->addWidget(trailingControlRow(u"Launch at login"_s, state, this));

    auto *open = new QPushButton(u"Open Login Items Settings"_s, this);
    open->setObjectName(u"openLoginItemsButton"_s);
    auto *row = new QHBoxLayout;
    row->addWidget(open);
    row->addStretch(1);
    m_layout->addLayout(row);
    connect(open, &QPushButton::clicked, this, [this] {
        if (m_actions.openLoginItemsSettings)
            m_actions.openLoginItemsSettings();
    });
}

SwitchButton *AppearancePane::addSettingToggle(
    const QString &label, const QString &objectName, std::optional<bool> RibbexSettings::*field, bool fallback)
{
    SwitchButton *toggle = addToggleRow(m_layout, label, objectName);
    m_toggles.append({toggle, field, fallback});
    connect(toggle, &SwitchButton::toggled, this,
        [this, field](bool on) { edit([&](RibbexSettings &settings) { settings.*field = on; }); });
    return toggle;
}

void AppearancePane::edit(const std::function<void(RibbexSettings &)> &change)
{
    RibbexSettings settings = m_model.settings();
    change(settings);
    m_model.setSettings(settings);
}

void AppearancePane::refresh()
{
    const RibbexSettings &settings = m_model.settings();
    const auto quietly = [](QObject *control, const auto &update) {
        const QSignalBlocker blocker(control);
        update();
    };
    quietly(m_stylePicker, [&] { m_stylePicker->setCurrentIndex(m_stylePicker->findData(rawValue(settings.style))); });
    m_textColor->setColor(settings.textColor);
    m_backgroundColor->setColor(settings.backgroundColor);
    m_backgroundRow->setEnabled(!transparentBackground(settings));
    quietly(m_transparentBackground, [&] { m_transparentBackground->setChecked(transparentBackground(settings)); });
    for (const ToggleBinding &binding : std::as_const(m_toggles))
        quietly(
            binding.toggle, [&] { binding.toggle->setChecked((settings.*binding.field).value_or(binding.fallback)); });

    quietly(m_speed, [&] { m_speed->setDoubleValue(settings.speed); });
    quietly(m_width, [&] { m_width->setDoubleValue(settings.width); });

    m_progressColor->setColor(settings.progressBarColor.value_or(fallbackProgressBarColor));
    const double transparency = settings.progressBarTransparency.value_or(0.0);
    m_progressTransparencyLabel->setText(u"Transparency · %1%"_s.arg(wholePercent(transparency)));
    quietly(m_progressTransparency, [&] { m_progressTransparency->setDoubleValue(transparency); });

    static_cast<StateDot *>(m_launchAtLogin)->setOn(m_model.launchAtLoginEnabled());
    m_launchAtLoginStatus->setText(m_model.launchAtLoginStatus());
}

} // namespace ribbex
