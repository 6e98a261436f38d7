// The stored settings document: decoding, migrating an older one, and saving what was read.

#include "fuzz_input.h"
#include "settings/ribbex_settings.h"
#include "settings/settings_store.h"

namespace {

using ribbex::RibbexSettings;

// A record we read must save, and the saved document must read back as the same record;
// otherwise a start-up could write settings that the next start-up throws away.
void expectSavedAsRead(const RibbexSettings &settings)
{
    const std::optional<QByteArray> saved = ribbex::encodeSettings(settings);
    FUZZ_EXPECT(saved.has_value());
    FUZZ_EXPECT(ribbex::decodeSettings(*saved) == settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<RibbexSettings> decoded = ribbex::decodeSettings(ribbex::fuzz::bytes(data, size));
    if (!decoded)
        return 0;
    expectSavedAsRead(*decoded);
    const RibbexSettings migrated = ribbex::migrateSettings(*decoded);
    FUZZ_EXPECT(migrated.version == RibbexSettings::currentVersion);
    expectSavedAsRead(migrated);
    return 0;
}
