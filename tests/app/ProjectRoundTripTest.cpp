// Opening a saved project gives back the state that was saved: every scenario
// under tests/scenarios is replayed, saved at its end, and opened by a fresh
// program; record, boxes, check boxes, lists and form state must be identical,
// floats to the bit (the batch output writes them with the digits that give
// the same float back).
#include "scenario/ScenarioRunner.h"

#include "AppFixture.h"
#include "ScenarioRun.h"

#include "Engine.h"
#include "ProjectRecord.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

using Outcome = infil::test::ScenarioOutcome;

Outcome runSteps(const json& steps, const std::string& appDir)
{
    return infil::test::runScenario(json{{"steps", steps}}.dump(), appDir);
}

std::string fieldName(float infil::ProjectRecord::*member)
{
    static infil::ProjectRecord probe;
    std::string name;
    infil::visitFields(probe, [&](const char* fieldName, auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, float>)
            if (&field == &(probe.*member))
                name = fieldName;
    });
    return name;
}

// The results the engine computes, and the boxes that show them. A project
// keeps the results it shows; what an earlier design left in the record or in
// a pane no longer shown is not kept, so only results shown are compared.
struct Results {
    std::set<std::string> fields{"BasinTopLength", "BasinTopWidth", "DrainCapacity", "OdtokDoInfil"};
    std::map<std::string, std::string> boxOf; // "InfilPlocha(4)" -> "txtInfilPlocha(4)"
    std::map<std::string, int> paneOfBox;     // result boxes of the panes
};

Results results()
{
    Results out;
    infil::test::RecordingMessages port;
    infil::model::Application app("/nonexistent-infil-app", port);
    infil::model::CalcForm& calc = app.calc();
    for (const infil::ShownResult& shown : infil::shownResults()) {
        const std::string name = fieldName(shown.field);
        out.fields.insert(name);
        out.boxOf[name + "(" + std::to_string(shown.pane) + ")"] = calc.boxShowing(shown.field, shown.pane).key();
    }
    for (const auto& control : calc.controls()) {
        const auto* box = dynamic_cast<const infil::model::TextBox*>(control.get());
        if (!box)
            continue;
        const infil::model::BoxDeclaration& decl = calc.decl(*box);
        const bool result = decl.computed || decl.look == infil::model::Look::Result || decl.rule == infil::model::Rule::None;
        if (!result || decl.change)
            continue;
        for (const infil::model::Control* c = box; c; c = c->parent())
            if (c->name() == "picResults")
                out.paneOfBox[box->key()] = c->index();
    }
    out.fields.erase("SoucFiltrPruleh"); // the combined object's input as well
    out.boxOf["OdtokDoInfil(0)"] = "txtOdtokDoInfil";
    return out;
}

class ProjectRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(ProjectRoundTrip, OpeningGivesBackTheSavedState)
{
    const fs::path scenarioFile = fs::path(INFIL_SOURCE_DIR) / "tests/scenarios" / (GetParam() + ".json");
    std::ifstream in(scenarioFile);
    const json scenario = json::parse(in);

    const fs::path work = fs::temp_directory_path() / ("infil-roundtrip-" + GetParam());
    fs::remove_all(work);
    fs::create_directories(work);
    if (scenario.contains("setup")) {
        for (const auto& [target, source] : scenario["setup"].items()) {
            const fs::path fixture = fs::path(INFIL_FIXTURES_DIR) / source.get<std::string>();
            if (!fs::exists(fixture))
                GTEST_SKIP() << "fixture " << fixture << " is not available";
            fs::copy_file(fixture, work / target);
        }
    }
    const std::string project = (work / "roundtrip.infil").string();

    json steps = scenario["steps"];
    steps.push_back({"save", project});
    const Outcome saved = runSteps(steps, work.string());
    ASSERT_EQ(saved.rc, 0) << saved.err;
    ASSERT_TRUE(fs::exists(project)) << saved.doc["messages"].dump(1);
    EXPECT_FALSE(saved.doc["project"]["modified"].get<bool>());

    const Outcome opened = runSteps(json::array({json::array({"open", project})}), work.string());
    ASSERT_EQ(opened.rc, 0) << opened.err;
    ASSERT_EQ(opened.doc["project"]["file"], project) << opened.doc["messages"].dump(1);
    EXPECT_FALSE(opened.doc["project"]["modified"].get<bool>());

    // The files a run writes are the machine's, not the design's.
    const std::set<std::string> machine{"DatabasePath", "ResultsFilePath", "ResultsFileName"};
    static const Results kinds = results();
    const int pane = saved.doc["form"]["pane"].get<int>();
    auto shown = [&](const std::string& field) {
        for (const int p : {0, pane}) {
            const auto box = kinds.boxOf.find(field + "(" + std::to_string(p) + ")");
            if (box != kinds.boxOf.end() && !saved.doc["boxes"][box->second].get<std::string>().empty())
                return true;
        }
        return false;
    };
    for (const auto& [name, value] : saved.doc["record"].items()) {
        if (machine.count(name) || (kinds.fields.count(name) && !shown(name)))
            continue;
        EXPECT_EQ(opened.doc["record"][name], value) << "record field " << name;
    }
    // A Compute that a check or a fault stopped leaves no results to keep: the
    // project opens with the pane's results empty.
    std::ifstream file(project);
    const bool computed = json::parse(file)["design"]["computed"].get<bool>();
    for (const auto& [name, value] : saved.doc["boxes"].items()) {
        const auto result = kinds.paneOfBox.find(name);
        if (result != kinds.paneOfBox.end() && (result->second != pane || (pane >= 3 && !computed)))
            continue; // a result in a pane not shown, or none kept
        EXPECT_EQ(opened.doc["boxes"][name], value) << "box " << name;
    }
    for (const char* part : {"checks", "list", "form"})
        for (const auto& [name, value] : saved.doc[part].items())
            EXPECT_EQ(opened.doc[part][name], value) << part << " " << name;
    EXPECT_EQ(opened.doc["verdict"], saved.doc["verdict"]);
    fs::remove_all(work);
}

std::vector<std::string> scenarioNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(INFIL_SOURCE_DIR) / "tests/scenarios")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".json" && name.find(".expected.") == std::string::npos)
            names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(EveryScenario, ProjectRoundTrip, ::testing::ValuesIn(scenarioNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
