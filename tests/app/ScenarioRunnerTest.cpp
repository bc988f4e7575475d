// The batch mode's contract: what it accepts, what it refuses (exit 2 naming the
// step), and the shape of its output.
#include "scenario/ScenarioRunner.h"

#include "ScenarioRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

using infil::scenario::Options;
using json = nlohmann::json;

namespace {

using Outcome = infil::test::ScenarioOutcome;
using infil::test::runScenario;

} // namespace

TEST(ScenarioRunner, RefusesMalformedScenariosNamingTheStep)
{
    EXPECT_EQ(runScenario("{").rc, 2);
    EXPECT_EQ(runScenario("[]").rc, 2);
    const struct {
        const char* steps;
        const char* error;
    } cases[] = {
        {R"([["text", "txtNoSuchBox", "1"]])", "step 1: no control txtNoSuchBox"},
        {R"([["field", "NoSuchField", 1]])", "step 1: no field NoSuchField"},
        {R"([["field", "OdvodNepPlocha", "many"]])", "step 1: field OdvodNepPlocha"},
        {R"([["field", "RainIntensities", [1, 2]]])", "step 1: field RainIntensities"},
        {R"([["field", "SachtyCount", 2.5]])", "step 1: field SachtyCount"},
        {R"([["text", "txtHPV", "1"], ["click", "cmdCalcul", 3]])", "step 2: cmdCalcul(3) is hidden"},
        {R"([["click", "cmdEdit", 3]])", "step 1: cmdEdit(3) is hidden"},
        {R"([["click", "optSelType", 0], ["select", "cboSelType", 3], ["click", "cmdEdit", 3]])",
         "step 3: cmdEdit(3) is disabled"},
        {R"([["select", "cboSelType", 0]])", "step 1: cboSelType is disabled"},
        {R"([["close", "frmCalc"]])", "step 1: no dialog named frmCalc"},
        {R"([["tab", 4]])", "step 1: tab:"},
        {R"([["jump", "txtHPV"]])", "step 1: unknown step kind"},
        {R"([["text", "txtHPV"]])", "step 1: text: wrong number of elements"},
        {R"([["click", "optSelType", 0], ["select", "cboSelType", 6]])", "step 2: select:"},
    };
    for (const auto& c : cases) {
        const Outcome o = runScenario(std::string(R"({"steps": )") + c.steps + "}");
        EXPECT_EQ(o.rc, 2) << c.steps;
        EXPECT_EQ(o.err.rfind(c.error, 0), 0u) << c.steps << " gave: " << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line";
    }
}

TEST(ScenarioRunner, ReadOnlyBoxesMayBeWrittenAsADialogWould)
{
    const Outcome o = runScenario(R"({"steps": [
        ["field", "OdvodNepPlocha", 1000], ["field", "SelIntDeste", 150],
        ["text", "txtOdvodNepPlocha", "1000"]]})");
    ASSERT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(o.doc["boxes"]["txtOdvodNepPlocha"], "1000");
    EXPECT_EQ(o.doc["boxes"]["txtOdtokDoInfil"], "15.0");
}

TEST(ScenarioRunner, OutputCarriesRecordFormBoxesChecksListsAndMessages)
{
    const Outcome o = runScenario(R"({"steps": [
        ["field", "RainIntensities", [0, 0, 150, 0, 0, 0, 0, 0, 0]],
        ["text", "txtSoucFiltrace", "1e-5"], ["leave", "txtSoucFiltrace"],
        ["click", "optSelType", 1]]})");
    ASSERT_EQ(o.rc, 0) << o.err;
    const json& d = o.doc;
    EXPECT_EQ(d["record"]["RainIntensities"], json({0, 0, 150, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(d["record"]["SoucBezp"].dump(), "1.20000005"); // 9 significant digits
    EXPECT_EQ(d["record"]["SachtyCount"], 1);
    EXPECT_EQ(d["record"]["SubAreaKinds"], json({""}));
    EXPECT_EQ(d["record"]["StationIntensities"].size(), 7u);
    EXPECT_EQ(d["form"]["tab"], 0);
    EXPECT_EQ(d["form"]["pane"], 0);
    EXPECT_EQ(d["form"]["TechIndex"], 5);
    EXPECT_EQ(d["boxes"]["txtSoucFiltrace"], "1.0E-05");
    EXPECT_EQ(d["boxes"]["txtSoucBezp(2)"], "1.2");
    EXPECT_EQ(d["checks"]["chkSelPretok(3)"], false);
    EXPECT_EQ(d["list"]["cboSelType"], json({"Infilovací nádrže"}));
    EXPECT_EQ(d["list"]["cboSelTypeIndex"], -1);
    ASSERT_EQ(d["messages"].size(), 1u);
    EXPECT_EQ(d["messages"][0], json({{"icon", "stop"}, {"title", "Infil"},
                                      {"text", "Zadejte nepropustnou odvodňovanou plochu"}}));
    EXPECT_TRUE(d["report"].is_null());
}

TEST(ScenarioRunner, OutputIsTheSameBytesEveryRun)
{
    const std::string text = R"({"steps": [["text", "txtProjName", "Most"], ["click", "optSelType", 0]]})";
    std::ostringstream first, second, err;
    std::istringstream in1(text), in2(text);
    Options options{"/nonexistent-infil-app", std::string("2026-12-08T10:15:30")};
    ASSERT_EQ(infil::scenario::run(in1, options, first, err), 0);
    ASSERT_EQ(infil::scenario::run(in2, options, second, err), 0);
    EXPECT_EQ(first.str(), second.str());
}

// Hostile files: each of these once crashed the reader, hung it or slipped a
// wrapped number through; now each is refused with exit 2 and one line.
TEST(ScenarioRunner, RefusesHostileInputWithoutCrashingHangingOrWrapping)
{
    const auto nested = [](int depth) {
        return R"({"steps": [["text", "txtHPV", )" + std::string(depth, '[') + std::string(depth, ']') + "]]}";
    };
    const std::string shaft = R"(["click", "optSelType", 0], ["select", "cboSelType", 5],
        ["click", "optSelTypPudy5", 1], ["click", "optSelTypSachty", 1], )";
    const struct {
        std::string scenario;
        const char* error;
    } cases[] = {
        {nested(50000), "scenario: nested deeper than 256 levels"},
        {R"({"steps": [["field", "OdvodNepPlocha", 1e400]]})", "scenario: [json.exception.out_of_range.406]"},
        {"{\"steps\": [" + shaft + R"(["spin", "updSacht", 2000000000]]})", "step 5: spin: the count must lie between"},
        {"{\"steps\": [" + shaft + R"(["spin", "updSacht", -2147483648]]})", "step 5: spin: the count must lie between"},
        {R"({"steps": [["tab", 4294967297]]})", "step 1: tab: there are tabs 0 to 3"},
        {R"({"steps": [["click", "optSelType", 4294967296]]})", "step 1: click: the control's index must lie between"},
        {R"({"steps": [["click", "optSelType", -1]]})", "step 1: click: the control's index must lie between"},
        {R"({"steps": [["click", "optSelType", 0], ["select", "cboSelType", 4294967297]]})",
         "step 2: select: cboSelType has no position 4294967297"},
        {R"({"steps": [["field", "SachtyCount", 18446744073709551615]]})", "step 1: field SachtyCount: a 16-bit"},
        {R"({"steps": [["field", "SachtyCount", 65537]]})", "step 1: field SachtyCount: a 16-bit"},
        {R"({"steps": [["key", "txtHPV", 4294967309]]})", "step 1: key: the key code must lie between"},
        {R"({"steps": [["click", "cmd\nEdit\u0001"]]})", "step 1: no control cmd\\nEdit\\u0001"},
        {R"({"steps": [["click", "cmdEdit", 1], ["gridclick", "frmDialog.fgSoucPovrchOdtok", 4294967298, 0]]})",
         "step 2: gridclick: frmDialog.fgSoucPovrchOdtok has no cell 4294967298, 0"},
    };
    for (const auto& c : cases) {
        const Outcome o = runScenario(c.scenario);
        EXPECT_EQ(o.rc, 2) << c.scenario.substr(0, 200);
        EXPECT_EQ(o.err.rfind(c.error, 0), 0u) << c.scenario.substr(0, 200) << " gave: " << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line";
    }
    // Nesting a scenario may really have still reads.
    EXPECT_EQ(runScenario(nested(200)).err.rfind("step 1: text: the text must be a string", 0), 0u);
}

TEST(ScenarioRunner, AFolderGivenAsTheScenarioIsRefused)
{
    std::ifstream folder(std::filesystem::temp_directory_path());
    std::ostringstream out, err;
    EXPECT_EQ(infil::scenario::run(folder, Options{"/nonexistent-infil-app", std::nullopt}, out, err), 2);
    EXPECT_EQ(err.str().rfind("scenario: cannot be read: ", 0), 0u) << err.str();
}

TEST(ScenarioRunner, HoldingAnArrowStopsAtItsLimitAtOnce)
{
    const std::string shaft = R"({"steps": [["click", "optSelType", 0], ["select", "cboSelType", 5],
        ["click", "optSelTypPudy5", 1], ["click", "optSelTypSachty", 1], )";
    const Outcome up = runScenario(shaft + R"(["spin", "updSacht", 1000000]]})");
    ASSERT_EQ(up.rc, 0) << up.err;
    EXPECT_EQ(up.doc["boxes"]["txtSachtyCount"], "50");
    const Outcome down = runScenario(shaft + R"(["spin", "updSacht", 3], ["spin", "updSacht", -1000000]]})");
    ASSERT_EQ(down.rc, 0) << down.err;
    EXPECT_EQ(down.doc["boxes"]["txtSachtyCount"], "1");
}
