#include "settings_window/sources_pane.h"

#include "settings_window/form_rows.h"
#include "settings_window/source_section.h"
#include "settings_window/switch_button.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

} // namespace

SourcesPane::SourcesPane(SettingsModel &model, const SettingsActions &actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_actions(actions)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(u"Choose what appears in your ticker."_s, this));

    for (const TickerSource source : allCases<TickerSource>()) {
        const QString name = capitalised(rawValue(source));
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        row->addWidget(new PictogramLabel(symbolName(source), 15, 18, QPalette::PlaceholderText, this));
        row->addWidget(new QLabel(name, this));
        row->addStretch(1);
        auto *toggle = new SwitchButton(this);
        toggle->setObjectName(rawValue(source) + u"Switch"_s);
        toggle->setAccessibleName(name);
        row->addWidget(toggle);
        layout->addLayout(row);
        m_switches.insert(source, toggle);
        connect(
            toggle, &SwitchButton::toggled, this, [this, source](bool enabled) { setSourceEnabled(source, enabled); });
    }

    // In the order of the switches: news, Spotify, football, weather.
    for (const TickerSource kind : allCases<TickerSource>()) {
        for (LiveSource *source : m_actions.sources) {
            if (source->kind() != kind)
                continue;
            if (SourceSection *section = source->createSettingsSection(this)) {
                layout->addWidget(section);
                m_sections.append(section);
            }
        }
    }
    layout->addStretch(1);
    refresh();
}

void SourcesPane::refresh()
{
    const RibbexSettings &settings = m_model.settings();
    for (auto it = m_switches.cbegin(); it != m_switches.cend(); ++it) {
        const QSignalBlocker blocker(it.value());
        it.value()->setChecked(settings.isEnabled(it.key()));
    }
    for (SourceSection *section : std::as_const(m_sections)) {
        const bool shown = settings.isEnabled(section->source());
        if (shown)
            section->refresh(m_model);
        section->setVisible(shown);
    }
}

void SourcesPane::setSourceEnabled(TickerSource source, bool enabled)
{
    RibbexSettings settings = m_model.settings();
    if (enabled == settings.isEnabled(source))
        return;
    if (enabled)
        settings.enabledSources.insert(source);
    else
        settings.enabledSources.erase(source);
    // The shell refreshes a source the moment it is switched on.
    m_model.setSettings(settings);
}

} // namespace ribbex
