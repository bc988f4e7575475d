// Loading one station's table from the shared fixture database through the real
// reader: the file read and checked, libmdb in a child process, the rows back
// into the record. The in-process variant shows what the child costs.
#include "BenchSupport.h"

#include "rain/StationIntensities.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace infil::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int16_t kBrno = 84; // a plain table of nine rows

// The shared fixtures; INFIL_FIXTURES_DIR in the environment overrides the
// folder the build names.
fs::path fixtureDatabase()
{
    fs::path dir;
    if (const char* env = std::getenv("INFIL_FIXTURES_DIR"); env && *env)
        dir = env;
#ifdef INFIL_FIXTURES_DIR
    else
        dir = INFIL_FIXTURES_DIR;
#endif
    return dir / "rain-fixture.mdb";
}

void load(benchmark::State& state, bool isolate)
{
    const fs::path fixture = fixtureDatabase();
    std::error_code ec;
    if (!fs::is_regular_file(fixture, ec)) {
        state.SkipWithError(("skipped: no fixture database at " + fixture.string() +
                             " (set INFIL_FIXTURES_DIR)")
                                .c_str());
        return;
    }
    // A copy named as the program's own database; the fixture is never used in place.
    TempDir dir;
    const fs::path database = dir.path() / "infil.mdb";
    fs::copy_file(fixture, database);

    CountingMessages messages;
    ProjectRecord record;
    rain::LoadOptions options;
    options.isolate = isolate;
    for (auto _ : state) {
        if (!rain::LoadStationIntensities(record, kBrno, database.string(), messages, options)) {
            state.SkipWithError(("the station was not read: " + messages.last.text).c_str());
            break;
        }
    }
}

BENCHMARK_CAPTURE(load, isolated, true)->Name("station_load/child_process")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(load, in_process, false)->Name("station_load/in_process")->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace infil::bench
