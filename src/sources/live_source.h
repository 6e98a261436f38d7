#pragma once

// One source of the ticker as the shell, the command line and the settings window see it: which
// it is, how its refreshes are paced, what refreshes it, its status and its options. Each source
// folder provides one; the list of them is built in one place (source_list.h).

#include "settings/enumerations.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QWidget;

namespace ribbex {

class SettingsModel;
class SourceSection;

// What a source may use; all of it outlives the sources.
struct SourceServices {
    SettingsModel &model;
    QNetworkAccessManager &network;
};

class LiveSource {
public:
    virtual ~LiveSource() = default;

    virtual TickerSource kind() const = 0;

    // A repeating source refreshes every interval while it is enabled. Any other is timed one
    // refresh at a time: nextRefreshDelay says when (nothing: no refresh is due), and the source
    // calls the rescheduler whenever that changes.
    virtual std::optional<std::chrono::seconds> repeatInterval() const { return std::nullopt; }
    virtual std::optional<double> nextRefreshDelay(const QDateTime &now) const
    {
        (void)now;
        return std::nullopt;
    }
    virtual void setRescheduler(std::function<void()> reschedule) { (void)reschedule; }

    // The full refresh: at launch, when the source is switched on, and what a command-line run
    // awaits. Does nothing while the source is disabled.
    virtual QCoro::Task<> refreshNow() = 0;
    // What its timer, the settings window's opening and waking start: only what is due.
    virtual QCoro::Task<> refreshIfDue() = 0;

    // Its one-line status, as the model holds it.
    virtual QString status() const = 0;
    // Its options in the settings window, or nullptr when it has none.
    virtual SourceSection *createSettingsSection(QWidget *parent)
    {
        (void)parent;
        return nullptr;
    }
    // A click on the source's own item, which no link stands for.
    virtual void activate() { }
    // A link handed to the application; false when it is none of this source's business.
    virtual bool openUrl(const QUrl &url)
    {
        (void)url;
        return false;
    }
};

} // namespace ribbex
