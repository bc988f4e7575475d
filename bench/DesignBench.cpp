// One design per technology, measured as the user starts it: the Compute button
// of the pane, or for the panes without one the input that recomputes. Each
// includes the governing-duration search where the technology has one, the
// formatting of the shown values and their read-back, and the assessment
// message. Plus one keystroke that runs the longest handler chain.
#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace infil::bench {
namespace {

// Runs `design` once before measuring: it must fill `resultBox` and, when
// `withMessage`, show a message; otherwise the benchmark would time a refusal.
bool designWorks(benchmark::State& state, Session& s, const std::function<void()>& design,
                 const std::string& resultBox, int index, bool withMessage)
{
    const long before = s.messages.count;
    design();
    const std::string& shown = s.boxText(resultBox, index);
    if (shown.empty() || shown == "0" || (withMessage && s.messages.count == before)) {
        state.SkipWithError(("the design did not run (" + resultBox + " = \"" + shown + "\", last message: " +
                             s.messages.last.text + ")")
                                .c_str());
        return false;
    }
    return true;
}

void surface(benchmark::State& state)
{
    Session s;
    s.sharedInputs({0, 150, 0, 0, 0, 0, 0, 0, 0}, "1000", "1e-4");
    s.text("txtSelIntDeste", "150");
    s.text("txtSelDTrvDeste", "10");
    s.decentralised(1);
    // The surface pane has no Compute button: choosing it in the list designs it.
    auto design = [&] { s.select("cboSelType", 1); };
    if (!designWorks(state, s, design, "txtInfilPlocha", 1, false))
        return;
    for (auto _ : state)
        design();
}

void swale(benchmark::State& state)
{
    Session s;
    s.sharedInputs({0, 0, 150, 0, 0, 0, 0, 0, 0}, "1000", "1e-5");
    s.decentralised(2);
    s.click("optSelTypPudy2", 1);
    s.click("optSelTypPudy2", 0);
    // The swale recomputes whenever its safety coefficient changes; two values
    // take turns so that every iteration is a change.
    bool flip = false;
    auto design = [&] { s.text("txtSoucBezp", 2, (flip = !flip) ? "1.3" : "1.2"); };
    if (!designWorks(state, s, design, "txtObjAkum", 2, false))
        return;
    for (auto _ : state)
        design();
}

void combined(benchmark::State& state)
{
    Session s;
    s.sharedInputs({180, 140, 120, 100, 80, 60, 50, 38, 30}, "2400", "5e-5");
    s.decentralised(3);
    s.click("optSelTypPudy3", 1);
    s.text("txtSoucFiltrPruleh", 3, "2e-5");
    s.leave("txtSoucFiltrPruleh", 3);
    s.text("txtSirkaRyhy", 3, "0.5");
    s.text("txtVyskaRyhy", 3, "1");
    s.check("chkSelPretok", 3, true);
    s.text("txtPrumTroubVnit", 3, "100");
    s.text("txtPrumTroubVnej", 3, "120");
    s.text("txtSpecDrenOdtok", 3, "10");
    s.spinUp("UpDown", 3);
    s.click("cmdOK", 3);
    auto design = [&] { s.click("cmdCalcul", 3); };
    if (!designWorks(state, s, design, "txtObjAkum", 3, true))
        return;
    for (auto _ : state)
        design();
}

void trench(benchmark::State& state)
{
    Session s;
    s.sharedInputs({200, 150, 120, 105, 85, 65, 52, 40, 32}, "1500", "2e-5");
    s.decentralised(4);
    s.text("txtPorVyplne", 4, "0.3");
    s.text("txtSirkaRyhy", 4, "0.8");
    s.text("txtVyskaRyhy", 4, "1.2");
    s.check("chkSelPretok", 4, true);
    s.text("txtPrumTroubVnit", 4, "150");
    s.text("txtPrumTroubVnej", 4, "160");
    s.spinUp("UpDown", 4);
    s.text("txtVystupPlocha", 4, "50");
    s.text("txtVystupRychlost", 4, "0.05");
    s.click("cmdOK", 4);
    auto design = [&] { s.click("cmdCalcul", 4); };
    if (!designWorks(state, s, design, "txtDelkaRyhy", 4, true))
        return;
    for (auto _ : state)
        design();
}

void shaft(benchmark::State& state)
{
    Session s;
    s.sharedInputs({240, 190, 160, 135, 105, 80, 64, 48, 38}, "850", "2e-4");
    s.text("txtHPV", "9");
    s.decentralised(5);
    s.click("optSelTypPudy5", 0);
    s.click("optSelTypSachty", 0);
    s.text("txtPrumerSachtyVnit", "1");
    s.text("txtTloustkaSteny", "0.1");
    s.text("txtNezamrzHlPritok", "1.2");
    s.text("txtVyskaFiltrVrstvy", "0.5");
    auto design = [&] { s.click("cmdCalcul", 5); };
    if (!designWorks(state, s, design, "txtHloubkaSachty", -1, true))
        return;
    for (auto _ : state)
        design();
}

void basin(benchmark::State& state)
{
    Session s;
    s.sharedInputs({250, 180, 145, 120, 95, 72, 58, 44, 35}, "10000", "1e-4");
    s.click("optSelType", 1); // the basin is the centralised technology
    s.text("txtSpecInfilIntenz", "50");
    s.text("txtDelkaDnaNadrz", "60");
    s.text("txtSirkaDnaNadrz", "25");
    s.text("txtHloubkaNadrz", "1.5");
    s.text("txtSklonSvahuNadrz", "2");
    s.check("chkPredUsaz", -1, true);
    auto design = [&] { s.click("cmdCalcul", 6); };
    if (!designWorks(state, s, design, "txtVypObjNadrz", -1, true))
        return;
    for (auto _ : state)
        design();
}

// Typing or deleting the last digit of the reduced area with the swale shown:
// the box's reading, the inflow, the rebuilt technology choice, the cleared
// pane and the swale's whole design again.
void keystroke(benchmark::State& state)
{
    Session s;
    s.sharedInputs({0, 0, 150, 0, 0, 0, 0, 0, 0}, "1000", "1e-5");
    s.decentralised(2);
    bool flip = false;
    auto type = [&] { s.text("txtOdvodNepPlocha", (flip = !flip) ? "100" : "1000"); };
    if (!designWorks(state, s, type, "txtObjAkum", 2, false))
        return;
    for (auto _ : state)
        type();
}

BENCHMARK(surface)->Name("design/1_surface");
BENCHMARK(swale)->Name("design/2_swale");
BENCHMARK(combined)->Name("design/3_swale_over_trench");
BENCHMARK(trench)->Name("design/4_trench");
BENCHMARK(shaft)->Name("design/5_shaft");
BENCHMARK(basin)->Name("design/6_basin");
BENCHMARK(keystroke)->Name("keystroke/reduced_area_swale_shown");

} // namespace
} // namespace infil::bench
