#pragma once

// The desktop's list of programs started at login, as far as Ribbex itself is concerned.

#include <QString>

#include <expected>

namespace ribbex {

enum class LoginItemStatus {
    notRegistered,
    enabled,
    requiresApproval,
    notFound,
    unavailable,
};

struct LoginItemError {
    QString reason;

    QString description() const { return reason; }
};

class LoginItems {
public:
    virtual ~LoginItems() = default;

    virtual LoginItemStatus status() const = 0;
    virtual std::expected<void, LoginItemError> registerApp() = 0;
    virtual std::expected<void, LoginItemError> unregisterApp() = 0;
};

} // namespace ribbex
