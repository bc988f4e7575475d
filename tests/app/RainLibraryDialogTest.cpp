// The rain dialog with the user's rain library: the library before the
// database, the round trip from the database through the open format, storing
// typed values, the library's window and the source in the report.
#include "AppFixture.h"
#include "RainTestSupport.h"

#include "NumberFormat.h"
#include "ReportWriter.h"
#include "model/RainIntensityDialog.h"
#include "model/RainLibraryDialog.h"
#include "model/RainSourceDialog.h"
#include "rain/DatabaseExport.h"
#include "rain/RainLibrary.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace infil;
using namespace infil::model;
using infil::test::AppTest;

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct AppFolder {
    test::TempDir dir;
};

// Distinct from every fixture value, so the test sees which one is shown.
constexpr float kTyped[] = {301.5f, 240.25f, 199.0f, 170.0f, 130.0f, 100.0f, 81.0f, 60.0f, 48.5f};

class RainLibraryDialogTest : public AppFolder, public AppTest {
protected:
    RainLibraryDialogTest() : AppTest(dir.path().string()) {}

    bool withDatabase()
    {
        const auto fixtures = test::fixturesDir();
        if (fixtures.empty())
            return false;
        fs::copy_file(fixtures / "rain-fixture.mdb", dir / "infil.mdb");
        return true;
    }
    rain::RainLibrary library() { return rain::RainLibrary((dir / "rain").string()); }
    rain::RainRow row(std::int16_t station, int periodicity, const char* source, const float (&values)[9] = kTyped)
    {
        rain::RainRow r;
        r.station = station;
        r.periodicity = periodicity;
        for (std::size_t i = 0; i < 9; ++i)
            r.intensities[i] = values[i];
        r.source = source;
        return r;
    }

    RainIntensityDialog& dlg() { return dynamic_cast<RainIntensityDialog&>(*app.form("frmIntDialog")); }
    RainSourceDialog& prompt() { return dynamic_cast<RainSourceDialog&>(*app.form("frmRainSource")); }
    RainLibraryDialog& window() { return dynamic_cast<RainLibraryDialog&>(*app.form("frmRainLibrary")); }
    void open() { user([&] { calc().cmdEdit[0]->click(); }); }
    int position(std::int16_t station)
    {
        for (int k = 1; k <= 92; ++k)
            if (rec().StationIds[k] == station)
                return k;
        return -1;
    }
    void station(std::int16_t id)
    {
        user([&] { dlg().cboSelStanice->setListIndex(position(id)); });
    }
    void period(int k)
    {
        user([&] { dlg().cboSelPeriod->setListIndex(k - 1); });
    }
    std::vector<float> series()
    {
        return {rec().RainIntensities.begin(), rec().RainIntensities.end()};
    }
    static std::vector<float> values(const float (&v)[9]) { return {v, v + 9}; }
};

#define NEED_DATABASE()                                                                                         \
    if (!withDatabase())                                                                                        \
    GTEST_SKIP() << "the shared fixtures folder is not available"

TEST_F(RainLibraryDialogTest, DatabaseThroughTheOpenFormatGivesTheDialogBitIdenticalIntensities)
{
    NEED_DATABASE();
    // Every station and periodicity read straight from the database.
    const std::vector<std::int16_t> stations = {84, 86, 4, 15, 2, 56, 42, 87, 70, 61};
    std::map<std::pair<int, int>, std::vector<float>> direct;
    open();
    for (std::int16_t s : stations) {
        station(s);
        for (int p = 1; p <= 7; ++p) {
            period(p);
            direct[{s, p}] = series();
            EXPECT_EQ(rec().RainSource, "databáze infil.mdb");
        }
    }
    user([&] { dlg().close(); });

    // Migrate: the database into a CSV file, the file into the library; then
    // the database goes away.
    const auto exported = rain::exportDatabase(rain::readWholeDatabase((dir / "infil.mdb").string()), "databáze infil.mdb");
    ASSERT_TRUE(exported.read) << exported.problem;
    ASSERT_TRUE(rain::replaceFiles({{(dir / "mdb.csv").string(), rain::writeRainCsv(exported.rows)}}).ok);
    rain::RainLibrary lib = library();
    const auto report = lib.importFile((dir / "mdb.csv").string());
    ASSERT_TRUE(report.complete()) << report.text();
    fs::remove(dir / "infil.mdb");

    messages.messages.clear();
    open();
    for (std::int16_t s : stations) {
        station(s);
        ASSERT_EQ(dlg().cboSelStanice->listIndex(), position(s)) << "station " << s;
        for (int p = 1; p <= 7; ++p) {
            period(p);
            const std::vector<float> got = series();
            const std::vector<float>& want = direct[{s, p}];
            ASSERT_EQ(got.size(), want.size());
            EXPECT_EQ(std::memcmp(got.data(), want.data(), got.size() * sizeof(float)), 0)
                << "station " << s << ", periodicity " << p;
        }
    }
    // No database was needed; the gaps of Lanškroun and Lenešice are named as before.
    for (const auto& m : messages.messages)
        EXPECT_EQ(m.text.find("nebyla nalezena"), std::string::npos) << m.text;
    EXPECT_TRUE(std::any_of(messages.messages.begin(), messages.messages.end(), [](const Message& m) {
        return m.text.find("Lanškroun") != std::string::npos && m.text.find("90, 120 min") != std::string::npos;
    }));
}

TEST_F(RainLibraryDialogTest, TheLibraryComesBeforeTheDatabasePeriodicityByPeriodicity)
{
    NEED_DATABASE();
    rain::RainLibrary lib = library();
    ASSERT_TRUE(lib.add(row(84, 5, "Trupl 1958, tab. 12")).ok);

    open();
    // The station list marks Brno with both sources, a database station with one.
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(84)), "údaje v knihovně i v infil.mdb");
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(86)), "údaje v infil.mdb");
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(36)), "");
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(65)), ""); // a table without rows

    station(84);
    period(5);
    EXPECT_EQ(series(), values(kTyped));
    EXPECT_EQ(rec().RainSource, "Trupl 1958, tab. 12");
    EXPECT_EQ(dlg().lblSource->caption(), "Zdroj: knihovna – Trupl 1958, tab. 12");

    period(6);
    EXPECT_EQ(rec().RainSource, "databáze infil.mdb");
    EXPECT_EQ(dlg().lblSource->caption(), "Zdroj: databáze infil.mdb");
    EXPECT_NE(series(), values(kTyped));

    // Typing makes the series no station's: no source.
    user([&] { dlg().fgIntDeste->click(1, 1); });
    EXPECT_EQ(rec().RainSource, "");
    EXPECT_EQ(dlg().lblSource->caption(), "Zdroj: hodnoty zadané ručně");
}

TEST_F(RainLibraryDialogTest, WithoutADatabaseAPeriodicityTheLibraryLacksHasNoValuesAndSaysSo)
{
    rain::RainLibrary lib = library();
    ASSERT_TRUE(lib.add(row(84, 5, "Trupl")).ok);
    open();
    station(84);
    EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
    period(5);
    EXPECT_EQ(series(), values(kTyped));
    period(1);
    EXPECT_EQ(series(), std::vector<float>(9, 0.0f));
    EXPECT_EQ(rec().RainSource, "");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("nejsou v knihovně intenzit deště žádné hodnoty"), std::string::npos);
    // A station the library does not know still asks the database, as before.
    station(6);
    EXPECT_NE(messages.messages.back().text.find("nebyla nalezena"), std::string::npos);
    EXPECT_EQ(dlg().cboSelStanice->listIndex(), 0);
}

TEST_F(RainLibraryDialogTest, TypedValuesAreStoredWithTheirSourceAndTheStationIsThenTheLibrarys)
{
    open();
    period(5);
    for (int i = 1; i <= 9; ++i)
        rec().RainIntensities[i] = kTyped[i - 1];
    ASSERT_TRUE(dlg().cmdSaveToLibrary->effectivelyEnabled());
    user([&] { dlg().cmdSaveToLibrary->click(); });
    ASSERT_TRUE(prompt().isOpen());
    EXPECT_FALSE(dlg().enabled());
    EXPECT_EQ(prompt().cboPeriod->listIndex(), 4);
    EXPECT_EQ(prompt().cboStation->listIndex(), -1); // no station chosen yet

    // Refused: no station, then no source; the prompt stays.
    user([&] { prompt().cmdOK->click(); });
    user([&] { prompt().cboStation->setListIndex(position(84) - 1); });
    user([&] { prompt().cmdOK->click(); });
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_NE(messages.texts()[0].find("Vyberte stanici"), std::string::npos);
    EXPECT_NE(messages.texts()[1].find("Uveďte zdroj"), std::string::npos);
    EXPECT_TRUE(prompt().isOpen());

    user([&] { prompt().txtSource->setText("  Trupl 1958, tab. 12 "); });
    user([&] { prompt().cmdOK->click(); });
    EXPECT_FALSE(prompt().isOpen());
    EXPECT_TRUE(dlg().enabled());
    ASSERT_NE(library().find(84, 5), nullptr);
    EXPECT_EQ(library().find(84, 5)->source, "Trupl 1958, tab. 12");
    EXPECT_EQ(dlg().cboSelStanice->text(), "Brno");
    EXPECT_EQ(series(), values(kTyped));
    EXPECT_EQ(rec().RainSource, "Trupl 1958, tab. 12");
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(84)), "údaje v knihovně");
    EXPECT_FALSE(dlg().cmdSaveToLibrary->enabled()); // a station's values are not typed ones

    // The same station and periodicity again: refused, the library unchanged.
    user([&] { dlg().fgIntDeste->click(1, 1); }); // typing: back to "(Vlastní hodnoty)"
    user([&] { dlg().cmdSaveToLibrary->click(); });
    EXPECT_EQ(prompt().cboStation->listIndex(), position(84) - 1);
    EXPECT_EQ(prompt().txtSource->text(), "  Trupl 1958, tab. 12 "); // kept for the next periodicity
    user([&] { prompt().cmdOK->click(); });
    EXPECT_NE(messages.messages.back().text.find("Knihovna už obsahuje"), std::string::npos);
    user([&] { prompt().cmdCancel->click(); });
    EXPECT_EQ(library().rows().size(), 1u);

    // A slot left at 0 holds no value: stored as not known, and named when used.
    rec().RainIntensities[9] = 0;
    user([&] { dlg().cmdSaveToLibrary->click(); });
    user([&] { prompt().cboPeriod->setListIndex(5); });
    user([&] { prompt().cmdOK->click(); });
    ASSERT_NE(library().find(84, 6), nullptr);
    EXPECT_FALSE(library().find(84, 6)->intensities[8].has_value());
    EXPECT_NE(messages.messages.back().text.find("periodicita 0.1: 120 min"), std::string::npos)
        << messages.messages.back().text;
    user([&] { dlg().fgIntDeste->click(1, 1); });

    // Durations changed by hand do not fit the library's columns.
    rec().RainDurations[9] = 180;
    user([&] { dlg().cmdSaveToLibrary->click(); });
    user([&] { prompt().cboPeriod->setListIndex(0); });
    user([&] { prompt().cmdOK->click(); });
    EXPECT_NE(messages.messages.back().text.find("Doby trvání deště"), std::string::npos);
    EXPECT_EQ(library().rows().size(), 2u);
    // Closing the rain dialog closes the prompt with it.
    user([&] { dlg().close(); });
    EXPECT_FALSE(prompt().isOpen());
    EXPECT_TRUE(calc().enabled());
}

TEST_F(RainLibraryDialogTest, TheLibraryWindowListsAndDeletesAfterAConfirmation)
{
    rain::RainLibrary lib = library();
    ASSERT_TRUE(lib.add(row(84, 5, "Trupl")).ok);
    ASSERT_TRUE(lib.add(row(84, 6, "Trupl")).ok);
    ASSERT_TRUE(lib.add(row(6, 1, "ČHMÚ 2024")).ok);
    open();
    station(84);
    period(5);
    user([&] { dlg().cmdLibrary->click(); });
    ASSERT_TRUE(window().isOpen());
    EXPECT_FALSE(dlg().enabled());
    const Grid& g = *window().fgLibrary;
    ASSERT_EQ(g.rows(), 3);
    EXPECT_EQ(g.text(1, 0), "Brno (84)");
    EXPECT_EQ(g.text(1, 1), "0.2, 0.1");
    EXPECT_EQ(g.text(1, 2), "Trupl");
    EXPECT_EQ(g.text(2, 0), "Hamry (6)");
    EXPECT_FALSE(window().cmdDelete->enabled());

    user([&] { window().fgLibrary->click(1, 2); });
    user([&] { window().cmdDelete->click(); });
    EXPECT_TRUE(window().lblConfirm->visible());
    EXPECT_NE(window().lblConfirm->caption().find("Brno (84), periodicity 0.2, 0.1, zdroj „Trupl“"), std::string::npos);
    user([&] { window().cmdKeep->click(); });
    EXPECT_EQ(library().rows().size(), 3u);
    user([&] { window().cmdDelete->click(); });
    user([&] { window().cmdConfirmDelete->click(); });
    EXPECT_EQ(library().rows().size(), 1u);
    EXPECT_EQ(window().fgLibrary->rows(), 2);
    EXPECT_NE(window().txtReport->text().find("Smazáno z knihovny"), std::string::npos);

    // Closing the window shows the change at once: Brno has no data left.
    user([&] { window().cmdClose->click(); });
    EXPECT_TRUE(dlg().enabled());
    EXPECT_EQ(dlg().cboSelStanice->listIndex(), 0);
    EXPECT_EQ(dlg().cboSelStanice->itemMark(position(84)), "");
}

TEST_F(RainLibraryDialogTest, ImportExportAndConversionThroughTheFileDialogs)
{
    struct Files : Platform {
        std::vector<std::string> answers;
        std::vector<FileRequest> asked;
        std::optional<std::string> chooseFile(const FileRequest& request) override
        {
            asked.push_back(request);
            if (answers.empty())
                return std::nullopt;
            std::string a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
    } files;
    app.setPlatform(&files);
    test::TempDir outside;
    {
        std::ofstream csv(outside / "tabulka.csv", std::ios::binary);
        csv << "stanice;periodicita;i5;i10;i15;i20;i30;i45;i60;i90;i120;zdroj\r\n"
               "84;0,2;301,5;240,25;199;170;130;100;81;60;48,5;Opis\r\n"
               "99;0,2;1;1;1;1;1;1;1;1;1;Opis\r\n";
    }
    open();
    user([&] { dlg().cmdLibrary->click(); });
    // Cancelled: nothing happens.
    user([&] { window().cmdImport->click(); });
    EXPECT_TRUE(messages.messages.empty());

    files.answers = {(outside / "tabulka.csv").string()};
    user([&] { window().cmdImport->click(); });
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(messages.texts()[0].find("Rozpoznáno: oddělovač „;“, desetinná čárka"), std::string::npos);
    EXPECT_NE(messages.texts()[0].find("řádek 3: neznámá stanice 99"), std::string::npos);
    EXPECT_EQ(window().txtReport->text(), messages.texts()[0]);
    EXPECT_EQ(window().fgLibrary->text(1, 0), "Brno (84)");

    files.answers = {(outside / "export.csv").string()};
    user([&] { window().cmdExport->click(); });
    EXPECT_TRUE(files.asked.back().save);
    EXPECT_EQ(rain::readRainCsv(slurp(outside / "export.csv")).rows, library().rows());

    if (withDatabase()) {
        files.answers = {(dir / "infil.mdb").string(), (outside / "mdb.csv").string()};
        user([&] { window().cmdConvert->click(); });
        EXPECT_EQ(messages.messages.back().icon, MessageIcon::Information) << messages.texts().back();
        const auto converted = rain::readRainCsv(slurp(outside / "mdb.csv"));
        EXPECT_GT(converted.rows.size(), 50u);
        EXPECT_TRUE(converted.rejected.empty());
        EXPECT_NE(window().txtReport->text().find("Lidečko (65): tabulka nemá žádné řádky"), std::string::npos);
    }
    // A file that is no database: said, nothing written.
    files.answers = {(outside / "tabulka.csv").string(), (outside / "never.csv").string()};
    user([&] { window().cmdConvert->click(); });
    EXPECT_EQ(messages.messages.back().icon, MessageIcon::Stop);
    EXPECT_FALSE(fs::exists(outside / "never.csv"));
    app.setPlatform(nullptr);
}

TEST_F(RainLibraryDialogTest, TheReportNamesTheSourceBelowTheDesignRain)
{
    ProjectRecord& r = rec();
    FormState form;
    report::ReportControls controls;
    const auto without = report::ResultsReportLines(r, form, controls, {"1.1.2026", "10:00:00"});
    r.RainSource = "Trupl 1958, tab. 12 <A&B>";
    const auto with = report::ResultsReportLines(r, form, controls, {"1.1.2026", "10:00:00"});
    ASSERT_EQ(with.size(), without.size() + 1);
    const auto added = std::find_if(with.begin(), with.end(),
                                    [](const std::string& l) { return l.find("Zdroj intenzit deště") != std::string::npos; });
    ASSERT_NE(added, with.end());
    EXPECT_EQ(*added, "<tr><td colspan=2 align=left>Zdroj intenzit deště: <b>Trupl 1958, tab. 12 &lt;A&amp;B&gt;</b></td></tr>");
    // It closes the rain table: the next line ends the table.
    EXPECT_EQ(*(added + 1), "</table><hr>");
    // Every other line is as it was.
    std::vector<std::string> rest = with;
    rest.erase(rest.begin() + (added - with.begin()));
    EXPECT_EQ(rest, without);
}

} // namespace
