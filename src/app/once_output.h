#pragma once

// The ticker as printed by a one-off command-line run.

#include "model/settings_model.h"
#include "sources/source_list.h"

#include <QByteArray>

namespace ribbex {

// One JSON object: the items with id, source, text and, when present, detail and url, then the
// status text of each source and of the login item.
QByteArray tickerAsJson(const SettingsModel &model, const SourceList &sources);

} // namespace ribbex
