#include "platform/preferences_store.h"

namespace ribbex {

// Only failures to save reach the user; a failed read is handled without showing its text.
QString StoreError::description() const
{
    return QStringLiteral("Could not save %1: %2").arg(path, reason);
}

} // namespace ribbex
