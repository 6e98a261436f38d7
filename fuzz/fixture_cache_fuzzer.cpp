// The football fixture cache as stored between launches: decoding, and saving what was read.

#include "fuzz_input.h"
#include "model/football_match.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<ribbex::FootballFixtureCache> decoded
        = ribbex::decodeFixtureCache(ribbex::fuzz::bytes(data, size));
    if (!decoded)
        return 0;
    // What we read, saved, must read back the same, or a save would lose or corrupt fixtures.
    FUZZ_EXPECT(ribbex::decodeFixtureCache(ribbex::encodeFixtureCache(*decoded)) == decoded);
    return 0;
}
