// The rain library from the command line: reports and exit statuses.
#include "RainTestSupport.h"

#include "rain/RainCommands.h"
#include "rain/RainLibrary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace infil::rain {
namespace {

namespace fs = std::filesystem;

void spill(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(RainCommands, ImportReportsEveryRowAndFailsWhenOneIsRefused)
{
    test::TempDir dir;
    const std::string library = (dir / "rain").string();
    spill(dir / "good.csv", "stanice,periodicita,i5,i10,i15,i20,i30,i45,i60,i90,i120,zdroj\r\n"
                            "84,0.2,1,2,3,4,5,6,7,8,9,Opis\r\n");
    std::ostringstream out;
    EXPECT_EQ(importRainCommand((dir / "good.csv").string(), library, out), 0);
    EXPECT_NE(out.str().find("Převzato do knihovny: 1 řádek (Brno (84): 0.2).\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find('\r'), std::string::npos);

    spill(dir / "bad.csv", "stanice,periodicita,i5,i10,i15,i20,i30,i45,i60,i90,i120,zdroj\n"
                           "84,0.1,1,2,3,4,5,6,7,8,9,Opis\n"
                           "84,0.2,9,9,9,9,9,9,9,9,9,Jiný\n");
    std::ostringstream partial;
    EXPECT_EQ(importRainCommand((dir / "bad.csv").string(), library, partial), 1);
    EXPECT_NE(partial.str().find("řádek 3: knihovna už obsahuje stanici Brno (84)"), std::string::npos);
    EXPECT_EQ(RainLibrary(library).rows().size(), 2u);

    std::ostringstream none;
    EXPECT_EQ(importRainCommand((dir / "none.csv").string(), library, none), 1);
}

TEST(RainCommands, ExportOfTheLibraryAndOfADatabase)
{
    test::TempDir dir;
    const std::string library = (dir / "rain").string();
    RainRow row;
    row.station = 6;
    row.periodicity = 1;
    row.intensities[0] = 12.5f;
    row.source = "Opis";
    ASSERT_TRUE(RainLibrary(library).add(row).ok);

    std::ostringstream out;
    EXPECT_EQ(exportRainCommand((dir / "out.csv").string(), std::nullopt, library, out), 0);
    std::ifstream in(dir / "out.csv");
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(readRainCsv(bytes.str()).rows.size(), 1u);
    std::ostringstream nowhere;
    EXPECT_EQ(exportRainCommand((dir / "no" / "out.csv").string(), std::nullopt, library, nowhere), 1);

    std::ostringstream notDatabase;
    EXPECT_EQ(exportRainCommand((dir / "x.csv").string(), (dir / "out.csv").string(), library, notDatabase), 1);
    EXPECT_NE(notDatabase.str().find("Microsoft Access"), std::string::npos) << notDatabase.str();
    EXPECT_FALSE(fs::exists(dir / "x.csv"));

    const auto fixtures = test::fixturesDir();
    if (fixtures.empty())
        GTEST_SKIP() << "the shared fixtures folder is not available";
    std::ostringstream converted;
    EXPECT_EQ(exportRainCommand((dir / "mdb.csv").string(), (fixtures / "rain-fixture.mdb").string(), library, converted), 0);
    EXPECT_NE(converted.str().find("Převedeno: 70 řádků (10 stanic)."), std::string::npos) << converted.str();
}

} // namespace
} // namespace infil::rain
