// Writing the report of a finished trench design with a drain: the page's
// lines, their Windows-1250 bytes, and the file as a visit of the results tab
// writes it.
#include "BenchSupport.h"

#include "ReportWriter.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace infil::bench {
namespace {

struct Designed {
    Designed() : session(std::make_unique<Session>(folder.path().string()))
    {
        Session& s = *session;
        s.text("txtProjName", "Rýha u haly");
        s.text("txtProjektant", "Ing. Nováková");
        s.text("txtInvestor", "Město Kyjov");
        s.text("txtMistoAkce", "Kyjov, Nádražní 12");
        s.text("txtDetails", "Vsakovací rýha podél haly.\r\nHladina podzemní vody dle sondy S2.");
        s.text("txtTypPudyPodlozi", "Jemný písek");
        s.text("txtHPV", "4");
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
        s.click("cmdCalcul", 4);

        controls.chkSelPretok3 = s.as<model::CheckBox>("chkSelPretok", 3).checked();
        controls.chkSelPretok4 = s.as<model::CheckBox>("chkSelPretok", 4).checked();
        controls.chkPredUsaz = s.as<model::CheckBox>("chkPredUsaz").checked();
        controls.cboTypSachty = s.as<model::ComboBox>("cboTypSachty").text();
        stamp = {"7.3.2025", "14:05:09"};
    }

    bool ready(benchmark::State& state)
    {
        if (session->boxText("txtDelkaRyhy", 4).empty()) {
            state.SkipWithError("the trench design did not run");
            return false;
        }
        return true;
    }

    std::vector<std::string> lines()
    {
        return report::ResultsReportLines(session->app.record(), session->app.calc().state(), controls, stamp);
    }

    TempDir folder;
    std::unique_ptr<Session> session;
    report::ReportControls controls;
    report::ReportStamp stamp;
};

void lines(benchmark::State& state)
{
    Designed d;
    if (!d.ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(d.lines());
}

void linesAndEncoding(benchmark::State& state)
{
    Designed d;
    if (!d.ready(state))
        return;
    for (auto _ : state) {
        const std::string page = report::EncodeReport(d.lines());
        benchmark::DoNotOptimize(page.data());
    }
}

// Opening the results tab writes the file; going back to the calculation
// deletes it. Measured as the pair, since a report rewritten in place at once
// times the file system's truncation of the copy still being written out.
void resultsTab(benchmark::State& state)
{
    Designed d;
    if (!d.ready(state))
        return;
    Session& s = *d.session;
    for (auto _ : state) {
        s.app.userAction([&] { s.app.calc().selectTab(3); });
        if (s.app.lastReport().empty()) {
            state.SkipWithError(("the report was not written: " + s.messages.last.text).c_str());
            break;
        }
        s.app.userAction([&] { s.app.calc().selectTab(1); });
    }
}

BENCHMARK(lines)->Name("report/lines")->Unit(benchmark::kMicrosecond);
BENCHMARK(linesAndEncoding)->Name("report/lines_and_encoding")->Unit(benchmark::kMicrosecond);
BENCHMARK(resultsTab)->Name("report/results_tab_file")->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace infil::bench
