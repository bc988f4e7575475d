// Every scenario under tests/scenarios, replayed step by step: whenever the
// engine has searched, the searches it reports are the choices it made.
#include "RainTestSupport.h"

#include "model/Application.h"
#include "scenario/ScenarioRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace infil;
using State = SearchCandidate::State;

namespace {

// The searches that pass entries of duration ≤ 0 over, as the technology
// treats them: the lengths and the shaft's height divide by the duration.
bool skipsZeroDurations(float ProjectRecord::*quantity)
{
    return quantity == &ProjectRecord::DelkaRyhy || quantity == &ProjectRecord::VyskaVzduti;
}

std::string quantityName(float ProjectRecord::*quantity)
{
    return quantity == &ProjectRecord::ObjAkum     ? "ObjAkum"
           : quantity == &ProjectRecord::DelkaRyhy ? "DelkaRyhy"
           : quantity == &ProjectRecord::VyskaVzduti ? "VyskaVzduti"
                                                     : "?";
}

// Checks one set of searches against the record right after the step that ran them.
void checkSearches(const ProjectRecord& r, const SearchLog& log, std::set<std::pair<int, std::string>>& seen)
{
    const SearchCandidate* design = nullptr;
    for (const SearchTrace& t : log.traces) {
        SCOPED_TRACE("pane " + std::to_string(t.pane));
        seen.insert({t.pane, quantityName(t.quantity)});
        // Worked out again: the first strictly largest positive candidate.
        int expected = -1;
        float best = 0;
        bool stopped = false;
        for (std::size_t k = 0; k < 9; ++k) {
            const SearchCandidate& c = t.candidates[k];
            EXPECT_EQ(c.duration, r.RainDurations[int(k) + 1]);
            EXPECT_EQ(c.intensity, r.RainIntensities[int(k) + 1]);
            if (stopped) {
                EXPECT_EQ(c.state, State::NotReached);
                continue;
            }
            if (c.state == State::Faulted) {
                stopped = true;
                continue;
            }
            EXPECT_EQ(c.state == State::Skipped, skipsZeroDurations(t.quantity) && !(c.duration > 0));
            if (c.state == State::Evaluated && c.value > best) {
                best = c.value;
                expected = int(k);
            }
        }
        EXPECT_EQ(stopped, t.fault.has_value());
        if (t.fault) {
            EXPECT_EQ(t.governing, -1);
            continue;
        }
        EXPECT_EQ(t.governing, expected);
        // The engine's own choice: the field holds the governing candidate (0
        // when none is positive) ...
        EXPECT_EQ(r.*t.quantity, expected >= 0 ? t.candidates[std::size_t(expected)].value : 0.0f);
        if (expected >= 0)
            design = &t.candidates[std::size_t(expected)];
    }
    // ... and the design rain is the last search's governing entry.
    if (design) {
        EXPECT_EQ(r.SelDTrvDeste, design->duration);
        EXPECT_EQ(r.SelIntDeste, design->intensity);
    }
}

} // namespace

TEST(SearchTraceScenarios, TheTraceIsTheEnginesOwnChoiceInEveryScenario)
{
    const fs::path folder = fs::path(INFIL_SOURCE_DIR) / "tests" / "scenarios";
    const fs::path fixtures = test::fixturesDir();
    std::set<std::pair<int, std::string>> seen;
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".json" || name.ends_with(".expected.json"))
            continue;
        SCOPED_TRACE(name);
        std::ifstream file(entry.path());
        const nlohmann::json scenario = nlohmann::json::parse(file);

        const test::TempDir appDir;
        bool available = true;
        if (scenario.contains("setup"))
            for (const auto& [target, source] : scenario["setup"].items()) {
                const fs::path from = fixtures / source.get<std::string>();
                if (fixtures.empty() || !fs::exists(from))
                    available = false;
                else
                    fs::copy_file(from, appDir.path() / target);
            }
        if (!available)
            continue;

        scenario::Options options;
        options.appDir = appDir.path().string();
        options.now = "2026-12-08T10:15:30";
        int revision = 0;
        options.afterStep = [&](model::Application& app) {
            const SearchLog& log = app.calc().engine().searches();
            if (log.revision == revision)
                return;
            revision = log.revision;
            ++checked;
            checkSearches(app.record(), log, seen);
        };
        std::istringstream in(scenario.dump());
        std::ostringstream out, err;
        EXPECT_EQ(scenario::run(in, options, out, err), 0) << err.str();
    }
    // Every search the technologies run was met: swale, combined (volume and
    // length), trench, shaft, basin.
    EXPECT_GT(checked, 10);
    for (const auto& expected : std::set<std::pair<int, std::string>>{
             {2, "ObjAkum"}, {3, "ObjAkum"}, {3, "DelkaRyhy"}, {4, "DelkaRyhy"}, {5, "VyskaVzduti"}, {6, "ObjAkum"}})
        EXPECT_TRUE(seen.count(expected)) << expected.first << " " << expected.second;
}
