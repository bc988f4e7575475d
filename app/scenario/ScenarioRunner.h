#pragma once
// The batch mode: replays a scenario of user actions on the window models
// without a window and prints the resulting state as JSON.

#include "model/Folders.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace infil::model {
class Application;
class DiagramRenderer;
} // namespace infil::model

namespace infil::scenario {

struct Options {
    std::string appDir;           // where the report is written, infil.mdb and Webs/ looked up
    std::optional<std::string> now; // "YYYY-MM-DDTHH:MM:SS"; the system clock when absent
    // The installed program's folders instead of the one folder above.
    std::optional<model::Folders> folders = std::nullopt;
    // Draws the report's pictures; without one the report has none.
    model::DiagramRenderer* renderer = nullptr;
    // Called after every step that ran, with the application: lets a test
    // look at the state between the steps.
    std::function<void(model::Application&)> afterStep = nullptr;
    std::optional<std::string> project = std::nullopt; // a project file opened before the steps
};

// Runs the scenario read from `in`. On success prints the output document to
// `out` and returns 0; on a malformed scenario prints one line to `err` and
// returns 2.
int run(std::istream& in, const Options& options, std::ostream& out, std::ostream& err);

} // namespace infil::scenario
