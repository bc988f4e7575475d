// The rain library's folder: imports, the one-row-per-station-and-periodicity
// rule, deleting, exporting, files dropped in by hand, and writes that fail.
#include "rain/RainLibrary.h"

#include "RainTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace infil::rain {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kHeader = "stanice,nazev,periodicita,i5,i10,i15,i20,i30,i45,i60,i90,i120,zdroj\n";

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void spill(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RainRow typed(std::int16_t station, int periodicity, std::string source, float first = 300)
{
    RainRow row;
    row.station = station;
    row.periodicity = periodicity;
    for (std::size_t i = 0; i < 9; ++i)
        row.intensities[i] = first / static_cast<float>(i + 1);
    row.source = std::move(source);
    return row;
}

TEST(RainLibrary, ImportKeepsOneFilePerSourceAndReadsBackAfterARestart)
{
    TempDir dir;
    const fs::path folder = dir / "rain";
    RainLibrary library(folder.string());
    EXPECT_TRUE(library.rows().empty());

    const ImportReport report = library.importBytes(kHeader +
                                                        "84,Brno,0.2,270.7,200,180,160,130,100,80,60,50,\"Trupl 1958, tab. 12\"\n"
                                                        "6,,1,100,90,80,70,60,50,40,30,20,ČHMÚ 2024\n"
                                                        "84,Brno,0.1,300,,180,160,130,100,80,60,50,\"Trupl 1958, tab. 12\"\n",
                                                    "data.csv");
    EXPECT_TRUE(report.complete()) << report.text();
    EXPECT_EQ(report.imported.size(), 3u);
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"chmu-2024.csv", "trupl-1958-tab-12.csv"}));
    EXPECT_NE(report.text().find("Převzato do knihovny: 3 řádky (Brno (84): 0.2, 0.1; Hamry (6): 1)."),
              std::string::npos)
        << report.text();

    RainLibrary again(folder.string());
    EXPECT_TRUE(again.problems().empty());
    ASSERT_EQ(again.rows().size(), 3u);
    // Ordered as the station list: Brno before Hamry, periodicity 5 (0.2) before 6 (0.1).
    EXPECT_EQ(again.rows()[0].station, 84);
    EXPECT_EQ(again.rows()[0].periodicity, 5);
    EXPECT_EQ(again.rows()[2].station, 6);
    ASSERT_NE(again.find(84, 6), nullptr);
    EXPECT_FALSE(again.find(84, 6)->intensities[1].has_value());
    EXPECT_TRUE(again.holds(6));
    EXPECT_FALSE(again.holds(15));

    const auto entries = again.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].source, "Trupl 1958, tab. 12");
    EXPECT_EQ(entries[0].periodicities, (std::vector<int>{5, 6}));
}

TEST(RainLibrary, ASecondRowForAStationAndPeriodicityIsRefusedUnlessItIsTheSame)
{
    TempDir dir;
    RainLibrary library((dir / "rain").string());
    ASSERT_TRUE(library.add(typed(84, 5, "Trupl")).ok);

    const WriteResult again = library.add(typed(84, 5, "Jiný"));
    EXPECT_FALSE(again.ok);
    EXPECT_NE(again.reason.find("zdroj „Trupl“"), std::string::npos) << again.reason;

    const std::string before = slurp(dir / "rain" / "trupl.csv");
    const ImportReport report = library.importBytes(writeRainCsv({typed(84, 5, "Trupl"), typed(84, 5, "Jiný", 1),
                                                                  typed(84, 4, "Jiný")}),
                                                    "x.csv");
    // The identical row is no conflict; the file's own repeat is refused
    // (as the second row of the file), the new periodicity goes in.
    EXPECT_EQ(report.unchanged.size(), 1u);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].line, 3);
    ASSERT_EQ(report.imported.size(), 1u);
    EXPECT_FALSE(report.complete());
    EXPECT_EQ(slurp(dir / "rain" / "trupl.csv"), before);

    // A conflict with the library itself names the source held.
    const ImportReport conflict = library.importBytes(writeRainCsv({typed(84, 4, "Třetí")}), "y.csv");
    ASSERT_EQ(conflict.refused.size(), 1u);
    EXPECT_NE(conflict.refused[0].reason.find("(zdroj „Jiný“)"), std::string::npos);
    EXPECT_TRUE(conflict.imported.empty());
}

TEST(RainLibrary, DeletingAnEntryRemovesItsRowsAndAnEmptiedFile)
{
    TempDir dir;
    const fs::path folder = dir / "rain";
    RainLibrary library(folder.string());
    ASSERT_TRUE(library.add(typed(84, 5, "Trupl")).ok);
    ASSERT_TRUE(library.add(typed(84, 6, "Trupl")).ok);
    ASSERT_TRUE(library.add(typed(6, 6, "Trupl")).ok);

    ASSERT_TRUE(library.remove(84, "Trupl").ok);
    EXPECT_EQ(library.find(84, 5), nullptr);
    EXPECT_NE(library.find(6, 6), nullptr);
    EXPECT_EQ(RainLibrary(folder.string()).rows().size(), 1u);

    ASSERT_TRUE(library.remove(6, "Trupl").ok);
    EXPECT_TRUE(filesIn(folder).empty());
    EXPECT_FALSE(library.remove(6, "Trupl").ok);
}

TEST(RainLibrary, FilesDroppedInByHandAreReadAndNeverRewrittenAtALoss)
{
    TempDir dir;
    const fs::path folder = dir / "rain";
    fs::create_directories(folder);
    // A spreadsheet's file with one bad row, and a later file repeating a row.
    spill(folder / "a-tabulka.csv", "stanice;periodicita;i5;i10;i15;i20;i30;i45;i60;i90;i120;zdroj\r\n"
                                    "84;0,2;1;2;3;4;5;6;7;8;9;Ruční\r\n"
                                    "84;0,3;1;2;3;4;5;6;7;8;9;Ruční\r\n");
    spill(folder / "b-dalsi.csv", kHeader + "84,,0.2,9,9,9,9,9,9,9,9,9,Jiný\n6,,0.2,9,9,9,9,9,9,9,9,9,Jiný\n");
    spill(folder / "notes.txt", "not read");

    RainLibrary library(folder.string());
    ASSERT_EQ(library.rows().size(), 2u);
    EXPECT_EQ(library.find(84, 5)->source, "Ruční");
    ASSERT_EQ(library.problems().size(), 2u);
    EXPECT_NE(library.problems()[0].find("a-tabulka.csv, řádek 3: periodicita 0,3"), std::string::npos);
    EXPECT_NE(library.problems()[1].find("b-dalsi.csv, řádek 2"), std::string::npos);

    // Deleting from the file with the unread row would lose that row: refused.
    const std::string before = slurp(folder / "a-tabulka.csv");
    const WriteResult refused = library.remove(84, "Ruční");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(slurp(folder / "a-tabulka.csv"), before);

    // A new row of that source goes to a fresh file instead.
    ASSERT_TRUE(library.add(typed(6, 1, "Ruční")).ok);
    EXPECT_EQ(slurp(folder / "a-tabulka.csv"), before);
    EXPECT_TRUE(fs::exists(folder / "rucni.csv"));
}

TEST(RainLibrary, AFailedWriteChangesNothingAndSaysWhy)
{
    TempDir dir;
    // The library's folder cannot be made: a file stands in the way.
    spill(dir / "blocked", "");
    RainLibrary blocked((dir / "blocked" / "rain").string());
    const WriteResult result = blocked.add(typed(84, 5, "Trupl"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("nelze vytvořit"), std::string::npos) << result.reason;
    EXPECT_TRUE(blocked.rows().empty());

    // Of two files replaced together, the second cannot be written: the first
    // keeps its old content and no temporary file is left.
    fs::create_directories(dir / "pair" / "second.csv");
    spill(dir / "pair" / "first.csv", "old");
    const WriteResult pair =
        replaceFiles({{(dir / "pair" / "first.csv").string(), "new"}, {(dir / "pair" / "second.csv").string(), "new"}});
    EXPECT_FALSE(pair.ok);
    EXPECT_NE(pair.reason.find("složka"), std::string::npos) << pair.reason;
    EXPECT_EQ(slurp(dir / "pair" / "first.csv"), "old");
    EXPECT_EQ(filesIn(dir / "pair"), (std::vector<std::string>{"first.csv", "second.csv"}));

    // An import that cannot be written reports that nothing was taken over.
    const ImportReport report = blocked.importBytes(writeRainCsv({typed(84, 5, "Trupl")}), "x.csv");
    EXPECT_FALSE(report.written.ok);
    EXPECT_FALSE(report.complete());
    EXPECT_NE(report.text().find("Nic nebylo převzato."), std::string::npos);
}

TEST(RainLibrary, ExportWritesTheWholeLibraryAsOneImportableFile)
{
    TempDir dir;
    RainLibrary library((dir / "rain").string());
    ASSERT_TRUE(library.add(typed(84, 5, "Trupl")).ok);
    ASSERT_TRUE(library.add(typed(6, 1, "ČHMÚ")).ok);
    ASSERT_TRUE(library.exportTo((dir / "out.csv").string()).ok);

    RainLibrary other((dir / "other").string());
    const ImportReport report = other.importFile((dir / "out.csv").string());
    EXPECT_TRUE(report.complete()) << report.text();
    EXPECT_EQ(other.rows(), library.rows());

    EXPECT_FALSE(library.exportTo((dir / "missing" / "out.csv").string()).ok);
    const ImportReport missing = other.importFile((dir / "nothing.csv").string());
    EXPECT_NE(missing.text().find("soubor neexistuje"), std::string::npos) << missing.text();
}

TEST(RainLibrary, FileNamesForSources)
{
    EXPECT_EQ(fileNameFor("Trupl 1958, tab. 12"), "trupl-1958-tab-12");
    EXPECT_EQ(fileNameFor("ČHMÚ 2024, objednávka č. 123"), "chmu-2024-objednavka-c-123");
    EXPECT_EQ(fileNameFor("../../etc/passwd"), "etc-passwd");
    EXPECT_EQ(fileNameFor("„“"), "zdroj");
    EXPECT_EQ(rowCount(1), "1 řádek");
    EXPECT_EQ(rowCount(3), "3 řádky");
    EXPECT_EQ(rowCount(0), "0 řádků");
}

} // namespace
} // namespace infil::rain
