// Reading a project file never crashes or hangs, whatever its bytes; a file
// it accepts opens, and what opens can be saved and read back.
#include "model/Application.h"
#include "project/ProjectFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

namespace {

class NoMessages : public infil::MessagePort {
public:
    void showMessage(const infil::Message&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace infil;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = project::decode(bytes);
    const auto* loaded = std::get_if<project::ProjectData>(&read);
    if (!loaded)
        return 0;
    NoMessages messages;
    model::Application app("/nonexistent-infil-app", messages);
    model::installDialogs(app);
    app.calc().load();
    project::restore(app, *loaded);
    const std::string saved = project::encode(project::toJson(project::capture(app), app));
    if (!std::holds_alternative<project::ProjectData>(project::decode(saved)))
        std::abort(); // a project the program made must open again
    return 0;
}
