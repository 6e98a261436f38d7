#pragma once

// Starting Ribbex at login through an entry in the XDG autostart folder.

#include "platform/login_items.h"

namespace ribbex {

class XdgAutostart final : public LoginItems {
public:
    // executable: the absolute path of the program the entry starts.
    XdgAutostart(const QString &autostartFolder, const QString &executable);

    QString entryPath() const;

    LoginItemStatus status() const override;
    std::expected<void, LoginItemError> registerApp() override;
    std::expected<void, LoginItemError> unregisterApp() override;

private:
    QString m_folder;
    QString m_executable;
};

} // namespace ribbex
