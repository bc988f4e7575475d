// The real reader (libmdb) on the shared fixture database: every table of the
// fixture, the failures a user can meet, and the numbers under a decimal-comma
// locale. The fixture itself is only ever copied.
#include "AppFixture.h"
#include "RainTestSupport.h"
#include "ReferenceTables.h"
#include "rain/StationIntensities.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace infil::test {
namespace {

namespace fs = std::filesystem;

// rain-fixture.csv: table id, row, periodicity column 1..7, value or NULL.
using Expected = std::map<int, std::map<std::pair<int, int>, std::optional<double>>>;

Expected readExpected(const fs::path& csv)
{
    Expected expected;
    std::ifstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string id, row, col, value;
        std::getline(fields, id, ',');
        std::getline(fields, row, ',');
        std::getline(fields, col, ',');
        std::getline(fields, value, ',');
        std::optional<double> v;
        if (value != "NULL")
            v = std::stod(value);
        expected[std::stoi(id)][{std::stoi(row), std::stoi(col)}] = v;
    }
    return expected;
}

std::vector<char> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const char* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(data, static_cast<std::streamsize>(size));
}

constexpr float kSentinel = -7.0f;
constexpr std::int16_t kSentinelDuration = -7;

class RainFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path fixtures = fixturesDir();
        if (fixtures.empty() || !fs::exists(fixtures / "rain-fixture.mdb"))
            GTEST_SKIP() << "the shared fixtures folder (rain-fixture.mdb) is not here; set INFIL_FIXTURES_DIR";
        expected = readExpected(fixtures / "rain-fixture.csv");
        ASSERT_FALSE(expected.empty());
        fs::copy_file(fixtures / "rain-fixture.mdb", dir / "infil.mdb");
        fs::permissions(dir / "infil.mdb", fs::perms::owner_read | fs::perms::owner_write);
        database = (dir / "infil.mdb").string();
        InitReferenceTables(record); // the durations and periodicities the messages name
        fillSentinels();
    }

    void fillSentinels()
    {
        for (int r = 1; r <= 9; ++r) {
            record.StationDurations[r] = kSentinelDuration;
            for (int k = 1; k <= 7; ++k)
                record.StationIntensities[k][r] = kSentinel;
        }
    }

    bool load(std::int16_t id, bool isolate = true, const std::string& path = {})
    {
        rain::LoadOptions options;
        options.isolate = isolate;
        return rain::LoadStationIntensities(record, id, path.empty() ? database : path, messages, options);
    }

    // Every stored value of the table's first `rows` rows is in the record;
    // NULL cells hold 0, never what was there before.
    void expectTable(int id, int rows = 9)
    {
        const auto& table = expected.at(id);
        for (int r = 1; r <= rows; ++r) {
            for (int k = 1; k <= 7; ++k) {
                const auto& value = table.at({r, k});
                const float want = value ? static_cast<float>(*value) : 0.0f;
                EXPECT_EQ(record.StationIntensities[k][r], want) << "table " << id << " row " << r << " col " << k;
            }
        }
    }

    void expectDurations(int rows = 9)
    {
        const int minutes[9] = {5, 10, 15, 20, 30, 45, 60, 90, 120};
        for (int r = 1; r <= rows; ++r)
            EXPECT_EQ(record.StationDurations[r], minutes[r - 1]) << "row " << r;
    }

    void expectUntouched()
    {
        for (int r = 1; r <= 9; ++r) {
            EXPECT_EQ(record.StationDurations[r], kSentinelDuration);
            for (int k = 1; k <= 7; ++k)
                EXPECT_EQ(record.StationIntensities[k][r], kSentinel);
        }
    }

    // One exclamation box titled "Infil" whose text holds every piece given.
    void expectOneMessage(const std::vector<std::string>& pieces)
    {
        ASSERT_EQ(messages.messages.size(), 1u);
        const Message& m = messages.messages[0];
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.title, "Infil");
        for (const auto& piece : pieces)
            EXPECT_NE(m.text.find(piece), std::string::npos) << "missing \"" << piece << "\" in:\n" << m.text;
        // Lines of a message end in CR LF like every other message of the program.
        for (std::size_t i = m.text.find('\n'); i != std::string::npos; i = m.text.find('\n', i + 1))
            EXPECT_TRUE(i > 0 && m.text[i - 1] == '\r') << "bare line feed in:\n" << m.text;
        messages.messages.clear();
    }

    TempDir dir;
    std::string database;
    Expected expected;
    ProjectRecord record;
    RecordingMessages messages;
};

TEST_F(RainFixture, EveryReadableTableLoadsItsStoredValues)
{
    // Plain doubles, reversed columns, single-precision, whole numbers, numbers
    // stored as text: the same nine rows of seven periodicities each time.
    for (int id : {84, 86, 70, 61, 87}) {
        SCOPED_TRACE(id);
        fillSentinels();
        ASSERT_TRUE(load(static_cast<std::int16_t>(id)));
        expectTable(id);
        expectDurations();
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RainFixture, Column004StandsInFor005OnlyWhen005IsMissing)
{
    ASSERT_TRUE(load(4));
    expectTable(4);
    ASSERT_TRUE(load(15));
    expectTable(15);
    for (int r = 1; r <= 9; ++r)
        EXPECT_NE(record.StationIntensities[7][r], 999.0f);
}

TEST_F(RainFixture, TwelveRowsStoreNineAndSevenRowsLeaveSlotsEightAndNineEmpty)
{
    ASSERT_TRUE(load(2));
    expectTable(2);
    expectDurations();
    EXPECT_TRUE(messages.messages.empty());

    fillSentinels();
    ASSERT_TRUE(load(56));
    expectTable(56, 7);
    expectDurations(7);
    // Rows the table lacks are 0, never another station's intensities, and the
    // user is told which.
    for (int r = 8; r <= 9; ++r) {
        EXPECT_EQ(record.StationDurations[r], kSentinelDuration);
        for (int k = 1; k <= 7; ++k)
            EXPECT_EQ(record.StationIntensities[k][r], 0.0f);
    }
    expectOneMessage({"List56", "s nulou", "periodicita 5: 90, 120 min", "periodicita 0.05: 90, 120 min"});
}

TEST_F(RainFixture, ANullCellIsZeroWithAMessageAndTheRestOfTheRowLoads)
{
    ASSERT_TRUE(load(42));
    EXPECT_EQ(record.StationIntensities[5][3], 0.0f);
    expectTable(42);
    expectOneMessage({"List42", "\r\nperiodicita 0.2: 15 min"});
    EXPECT_EQ(messages.messages.size(), 0u);
}

TEST_F(RainFixture, ATableWithoutRowsOrNoTableIsAMessageAndChangesNothing)
{
    // Also with the library in this process, where the sanitizers watch it.
    for (bool isolate : {true, false}) {
        EXPECT_FALSE(load(65, isolate));
        expectOneMessage({"List65", "žádné řádky", database});
        EXPECT_FALSE(load(36, isolate));
        expectOneMessage({"List36", "36", database});
        expectUntouched();
    }
}

TEST_F(RainFixture, AMissingDatabaseKeepsThePreviousStation)
{
    ASSERT_TRUE(load(84));
    const ProjectRecord before = record;
    fs::remove(dir / "infil.mdb");
    EXPECT_FALSE(load(86));
    expectOneMessage({"nebyla nalezena", database, "(Vlastní hodnoty)"});
    EXPECT_EQ(record.StationIntensities, before.StationIntensities);
    EXPECT_EQ(record.StationDurations, before.StationDurations);
}

TEST_F(RainFixture, FilesThatAreNoDatabaseAreMessages)
{
    const auto original = readBytes(dir / "infil.mdb");
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"empty file", "", "prázdný"},
        {"text file", "Brno;5;2;1\r\n5;270.7;331.2\r\n", "není databází"},
        {"cut inside a page", std::string(original.data(), 100000), "neúplný"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(dir / "infil.mdb", c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(load(84));
        expectOneMessage({c.says, database});
    }
    expectUntouched();
}

TEST_F(RainFixture, ACopyCutAtAPageBoundaryIsReadWithoutHarm)
{
    // Whole pages, so it passes the header check and reaches the library, which
    // then misses the pages of the table or of its catalogue.
    const auto original = readBytes(dir / "infil.mdb");
    for (std::size_t pages : {3u, 8u, 16u, 40u}) {
        SCOPED_TRACE(pages);
        writeBytes(dir / "infil.mdb", original.data(), pages * 4096);
        for (bool isolate : {true, false}) {
            messages.messages.clear();
            fillSentinels();
            if (!load(84, isolate)) {
                ASSERT_EQ(messages.messages.size(), 1u);
                EXPECT_NE(messages.messages[0].text.find(database), std::string::npos);
                expectUntouched();
            }
        }
    }
}

TEST_F(RainFixture, AFileThatCrashesTheLibraryCostsOnlyThatRead)
{
    // One byte changed in a data page of List42: libmdb 1.0.0 dies with a
    // segmentation fault reading that table. Read in the child, the program
    // reports it and goes on; a later, fixed library may read the table instead.
    auto bytes = readBytes(dir / "infil.mdb");
    ASSERT_GT(bytes.size(), 196663u);
    bytes[196663] = static_cast<char>(246);
    writeBytes(dir / "infil.mdb", bytes.data(), bytes.size());
    if (!load(42)) {
        expectOneMessage({database});
        expectUntouched();
    }
    EXPECT_TRUE(load(84)); // the rest of the file still serves
    expectTable(84);
}

TEST_F(RainFixture, TheDatabaseFileIsNeverChanged)
{
    const auto before = readBytes(dir / "infil.mdb");
    const auto stamp = fs::last_write_time(dir / "infil.mdb");
    for (int id : {84, 4, 15, 2, 56, 42, 87, 70, 61, 65, 36})
        load(static_cast<std::int16_t>(id));
    EXPECT_EQ(readBytes(dir / "infil.mdb"), before);
    EXPECT_EQ(fs::last_write_time(dir / "infil.mdb"), stamp);
}

TEST_F(RainFixture, NumbersDoNotDependOnADecimalCommaLocale)
{
    CzechLocale czech;
    if (!czech.active())
        GTEST_SKIP() << "no locale with a decimal comma is installed (cs_CZ.UTF-8)";
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 150.5);
    ASSERT_STREQ(printed, "150,5"); // the locale is really in force
    for (bool isolate : {true, false}) {
        for (int id : {84, 70, 61, 87}) {
            SCOPED_TRACE(id);
            fillSentinels();
            ASSERT_TRUE(load(static_cast<std::int16_t>(id), isolate));
            expectTable(id);
            expectDurations();
        }
    }
}

} // namespace
} // namespace infil::test
