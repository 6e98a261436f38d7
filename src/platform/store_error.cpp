#include "platform/preferences_store.h"

namespace ribbex {

// Worded for every operation: the same error comes back from reading, saving and keeping a copy.
QString StoreError::description() const
{
    return QStringLiteral("Could not access %1: %2").arg(path, reason);
}

} // namespace ribbex
