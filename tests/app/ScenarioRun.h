#pragma once
// A scenario run through the batch mode as `infil --script` runs it, with what
// it printed and its exit status.
#include "scenario/ScenarioRunner.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>

namespace infil::test {

struct ScenarioOutcome {
    int rc;
    nlohmann::json doc; // the output document; null unless rc is 0
    std::string err;
};

inline ScenarioOutcome runScenario(const std::string& text, const std::string& appDir = "/nonexistent-infil-app")
{
    std::istringstream in(text);
    std::ostringstream out, err;
    scenario::Options options;
    options.appDir = appDir;
    options.now = "2026-12-08T10:15:30";
    const int rc = scenario::run(in, options, out, err);
    return {rc, rc == 0 ? nlohmann::json::parse(out.str()) : nlohmann::json(), err.str()};
}

} // namespace infil::test
