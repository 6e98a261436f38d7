#pragma once

// The one fixture of the suites that need a model: a model over real files in a temporary home
// with a pinned clock, and the program's own sources, whose every request (ESPN, built-in and
// custom feeds alike) reaches one loopback server.

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "sources/source_list.h"
#include "support/http_test_server.h"
#include "support/loopback_network.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ribbex::test {

QDateTime utc(const char *iso);

// A small RSS feed of two headlines linking to https://news.example/1 and /2.
extern const QByteArray twoHeadlineFeed;

class ModelHome {
public:
    ModelHome();
    virtual ~ModelHome();

    // The model, made from what is stored when first asked for; likewise the sources.
    SettingsModel &model();
    LiveSource &source(TickerSource kind);
    const SourceList &sources();
    // Drops the model and its sources, so the next use reads the files again.
    void reopen();

    void edit(const std::function<void(RibbexSettings &)> &change);
    void store(const RibbexSettings &settings);
    void storeBytes(const QByteArray &bytes);
    RibbexSettings stored() const;

    // Runs the event loop until the condition holds or the time is up; says whether it held.
    static bool eventually(const std::function<bool()> &condition, int milliseconds = 5000);
    // Waits until no refresh of the model (the fixture's by default) is in flight, so none outlives what it uses.
    void settle(const SettingsModel *model = nullptr);
    qsizetype requests(const QString &path) const { return server.count(path); }

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {utc("2026-12-06T15:00:00Z")};
    bool mayRegisterLoginItem = false;
    // Answers every request; by default the feed at /feed.xml and an empty scoreboard elsewhere.
    std::function<HttpTestResponse(const HttpTestRequest &)> answer;
    HttpTestServer server;
    LoopbackNetworkAccessManager network {server.url()};

private:
    std::unique_ptr<SettingsModel> m_model;
    SourceList m_sources;
};

// Counts the model's change signals and onChange calls.
struct ChangeCounter {
    explicit ChangeCounter(SettingsModel &model);
    ChangeCounter(const ChangeCounter &) = delete;
    ChangeCounter &operator=(const ChangeCounter &) = delete;

    void reset() { changeSignals = onChangeCalls = 0; }

    int changeSignals = 0;
    int onChangeCalls = 0;
};

class ModelTest : public testing::Test, public ModelHome {
protected:
    void TearDown() override { settle(); }
};

} // namespace ribbex::test
