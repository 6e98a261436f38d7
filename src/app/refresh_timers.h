#pragma once

// One timer per source: when each source refreshes by itself, how the timers follow the
// settings, and that none runs while the displays sleep.

#include "settings/enumerations.h"
#include "sources/live_source.h"

#include <QCoroTask>
#include <QObject>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

namespace ribbex {

class SettingsModel;

class RefreshTimers final : public QObject {
    Q_OBJECT

public:
    // The model and the sources must outlive this object.
    RefreshTimers(SettingsModel &model, const std::vector<LiveSource *> &sources, QObject *parent = nullptr);
    ~RefreshTimers() override;

    // Takes over the model's callbacks, arms the timers and starts every source's first refresh.
    void launch();

    void settingsDidChange();
    void reconcileSourceTimers();
    void pauseSourceTimers();
    // Starts what is due of every enabled source.
    void refreshEnabledSources();

    bool isDisplayAwake() const { return m_displayAwake; }
    void displayDidSleep();
    void displayDidWake();

    // What is armed now, for the shell's tests: the timers never leave this object.
    const QTimer *timer(TickerSource source) const;

private:
    struct Row {
        LiveSource *source = nullptr;
        QTimer timer;
    };

    void schedule(Row &row);
    void updateRepeatingTimer(Row &row);
    // The full refresh, at launch or when the source is switched on; its timer follows it.
    QCoro::Task<> launchRefresh(Row &row);
    QCoro::Task<> refreshWhenDue(Row &row);

    SettingsModel &m_model;
    std::vector<std::unique_ptr<Row>> m_rows;
    std::set<TickerSource> m_observedEnabledSources;
    bool m_displayAwake = true;
};

} // namespace ribbex
