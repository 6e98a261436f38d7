#pragma once

#include "settings_window/settings_view.h"
#include "support/model_home.h"

#include <QTest>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline std::ostream &operator<<(std::ostream &out, const QString &text)
{
    return out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ribbex::test {

// The settings view over a model on real files, whose sources reach one loopback server: every
// feed answers with one headline, every scoreboard with 503.
class WindowTest : public testing::Test, public ModelHome {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates the model (from what is stored now) and the view, and starts counting changes.
    void open(QSize size = {580, 720});
    void select(SettingsView::Tab tab) { view->selectTab(tab); }
    void storeSettings(const RibbexSettings &settings) { store(settings); }
    RibbexSettings storedSettings() const { return stored(); }

    template<typename Widget> Widget *child(const QString &name) const
    {
        auto *widget = view->findChild<Widget *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    bool shown(const QString &name) const;
    // Whether the server saw a request whose path ends so.
    bool requested(const QString &pathEnd) const;
    static bool waitUntil(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 5000); }

    SettingsModel *model = nullptr;
    std::unique_ptr<SettingsView> view;
    std::unique_ptr<ChangeCounter> changes;
    int loginItemsOpened = 0;
};

} // namespace ribbex::test
