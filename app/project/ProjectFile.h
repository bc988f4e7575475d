#pragma once
// A project file (.infil): what the user entered, taken from a running
// application, written as JSON, read back with every value checked, and
// restored into a fresh application by replaying it through the window's
// model. Keys: ProjectKeys.h; the layout for other programs:
// docs/project-format.md.

#include "model/Application.h"

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace infil::project {

using Json = nlohmann::ordered_json;

// The version this program writes and the highest it reads.
inline constexpr int kVersion = 1;
inline constexpr int kMinorVersion = 1; // 1: rain.source

// Limits a file must keep before anything of it is used.
inline constexpr std::size_t kMaxFileBytes = 16u << 20;
inline constexpr std::size_t kMaxTextBytes = 4096;   // a name, a surface, a box's text
inline constexpr std::size_t kMaxNotesBytes = 1u << 20;
inline constexpr std::size_t kMaxParts = 10000;
inline constexpr int kMaxDepth = 32;

// Everything a project file restores: the record with the inputs in their
// fields (every other field as after start-up), and the state of the main
// window's choices.
struct ProjectData {
    ProjectRecord record;
    int mode = -1;                   // design-mode option switched on (0, 1), -1 none
    std::int16_t technology = 0;     // TechIndex
    std::int16_t soilOption = 0;     // the soil or filter option clicked last
    int swaleSoil = -1;              // optSelTypPudy2 switched on, -1 none
    int combinedSoil = -1;           // optSelTypPudy3
    int filterType = -1;             // optSelTypPudy5
    int shaftShape = -1;             // optSelTypSachty
    std::string shaftProduct;        // the product picked in cboTypSachty, "" none
    bool overflowOn = false, overflowConfirmed = false;
    bool drainageOn = false, drainageConfirmed = false;
    bool settling = false;
    std::optional<float> pickedKf;   // the picker's coefficient while its soil name stands
    bool computed = false;           // the pane's Compute results were shown
    int tab = 0;
    std::map<std::string, std::string> texts; // box key -> text, where not the usual one
    // Keys this program does not know, kept to be written back: the file's own
    // and those of its sections, in an object of the same shape.
    Json unknown = Json::object();
    // Set in a recovery copy: the file the project came from ("" untitled).
    std::optional<std::string> recoveryOf;
};

// The project of a running application.
ProjectData capture(model::Application& app);

// The document of a project: the inputs, the view, and the results shown
// (for other programs; never read). `unknown` keys are merged in.
Json toJson(const ProjectData& data, model::Application& app);
// The part of the document that is not the view nor the results.
Json inputsJson(const ProjectData& data);

// What the user entered and chose, in a form cheap enough to take after every
// action: two states with equal fingerprints are the same project (the
// unsaved mark compares them).
struct Fingerprint {
    std::vector<float> numbers;
    std::vector<std::string> texts; // the record's texts, then every kept box's
    std::vector<std::vector<float>> lists;
    std::vector<std::string> surfaces;
    std::vector<int> choices;
    bool operator==(const Fingerprint&) const = default;
};
Fingerprint fingerprint(model::Application& app);

// The file's bytes: UTF-8 JSON, two-space indents, a final line end.
std::string encode(const Json& document);

// A reason why a file is no project this program can open, in Czech.
struct ReadError {
    std::string reason;
};

// Reads and checks a document; every value is checked before any is used.
std::variant<ProjectData, ReadError> decode(std::string_view bytes);

// Replays a project into a freshly loaded application, the way a user's
// actions would build it: the dialogs' values into the record as the dialogs
// set them, every box's text through its change handler, the options, lists
// and check boxes by their handlers, and Compute where results were shown.
// Messages go to the application's port (a fresh one records them).
void restore(model::Application& fresh, const ProjectData& data);

// The text a box shows for its field's value when the user has done nothing
// unusual ("" for 0). Boxes whose text differs are written in "texts".
std::string usualText(const model::CalcForm& calc, const model::TextBox& box, const ProjectRecord& r,
                      int shaftShape);

} // namespace infil::project
