// Naming the user's position searches the whole world table of cities; one search must stay well
// under 2 ms. The table itself is read on first use only.

#include "platform/nearest_city.h"

#include <benchmark/benchmark.h>

namespace ribbex {
namespace {

const GeoCoordinates oslo {59.91, 10.75};

// Registered first, so that its single call is the process's first use of the table. (Run it
// alone, or without repetitions: later calls only search.)
void firstSearchReadsTheTable(benchmark::State &state)
{
    for (auto _ : state) {
        if (nearestCityName(oslo) != QStringLiteral("Oslo"))
            state.SkipWithError("Oslo was not found");
    }
}
BENCHMARK(firstSearchReadsTheTable)->Iterations(1)->Unit(benchmark::kMillisecond);

// The usual 30 km, where the latitude band skips nearly every city, and a limit that reaches every
// city, where none is skipped.
void searchTheWholeTable(benchmark::State &state)
{
    const auto maxKilometres = static_cast<double>(state.range(0));
    benchmark::DoNotOptimize(nearestCityName(oslo));
    for (auto _ : state) {
        auto name = nearestCityName(oslo, maxKilometres);
        if (name != QStringLiteral("Oslo"))
            state.SkipWithError("Oslo was not found");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(searchTheWholeTable)->Arg(30)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ribbex
