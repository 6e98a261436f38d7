#pragma once

// A source's block of options in the sources pane, shown while the source is enabled. Each
// source makes its own (LiveSource::createSettingsSection); the pane only orders, shows and
// refreshes them.

#include "model/settings_model.h"
#include "settings/enumerations.h"

#include <QWidget>

class QVBoxLayout;

namespace ribbex {

class SourceSection : public QWidget {
    Q_OBJECT

public:
    TickerSource source() const { return m_source; }
    // Shows the model's state; never touches what the user is typing.
    virtual void refresh(const SettingsModel &model) = 0;

protected:
    // Starts with a divider and the heading after the source's symbol.
    SourceSection(TickerSource source, const QString &heading, QWidget *parent);
    QVBoxLayout *content() const { return m_content; }

private:
    TickerSource m_source;
    QVBoxLayout *m_content;
};

} // namespace ribbex
