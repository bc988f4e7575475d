// Feeds arbitrary bytes to the batch mode as a scenario, the whole way from
// the JSON reader through every step to the output document. It may refuse
// them, with exit 2 and one line naming the scenario or the step, but must
// never crash, hang or wrap a number; what it accepts prints valid JSON.
//
// The program writes reports and may write settings: it runs in a private
// home, emptied after every input.

#include "TestEnvironment.h"
#include "scenario/ScenarioRunner.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string appDir;

void emptyFolder(const std::string& folder)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        fs::remove_all(entry.path(), ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    infil::test::isolateEnvironment();
    appDir = infil::test::isolatedRoot() + "/app";
    fs::create_directories(appDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    const infil::scenario::Options options{appDir, std::string("2026-12-08T10:15:30")};
    const int rc = infil::scenario::run(in, options, out, err);

    const std::string e = err.str();
    if (rc == 0) {
        if (!e.empty() || !nlohmann::json::accept(out.str()))
            std::abort();
    } else if (rc == 2) {
        const bool oneLine = !e.empty() && e.find('\n') == e.size() - 1;
        const bool named = e.rfind("scenario: ", 0) == 0 || e.rfind("step ", 0) == 0;
        if (!oneLine || !named || !out.str().empty())
            std::abort();
    } else {
        std::abort();
    }

    emptyFolder(appDir);
    for (const char* variable : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        if (const char* folder = std::getenv(variable))
            emptyFolder(folder);
    return 0;
}
