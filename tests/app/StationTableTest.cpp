// The row loop of the rain intensity store, on tables held in memory.
#include "RainTestSupport.h"
#include "rain/StationTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace infil::test {
namespace {

using rain::ReadStatus;
using Row = MemoryTable::Row;

// Rows 1..n: doba = 5 r, periodicity k = 100 k + r.
std::vector<Row> fullRows(int n)
{
    const char* columns[] = {"5", "2", "1", "05", "02", "01", "005"};
    std::vector<Row> rows;
    for (int r = 1; r <= n; ++r) {
        Row row{{"doba", 5.0 * r}};
        for (int k = 1; k <= 7; ++k)
            row[columns[k - 1]] = 100.0 * k + r;
        rows.push_back(row);
    }
    return rows;
}

class StationTableTest : public ::testing::Test {
protected:
    StationTableTest()
    {
        // Values "from an earlier station" that a load must keep where it cannot read.
        for (int r = 1; r <= 9; ++r) {
            durations[r] = static_cast<std::int16_t>(-r);
            for (int k = 1; k <= 7; ++k)
                intensities[k][r] = -static_cast<float>(10 * k + r);
        }
        beforeDurations = durations;
        beforeIntensities = intensities;
    }

    rain::TableGaps gaps;
    ReadStatus load(MemorySource& source, std::int16_t id)
    {
        return rain::readStationTable(source, id, durations, intensities, &gaps);
    }

    rain::StationDurationTable durations{};
    StationIntensityTable intensities{};
    rain::StationDurationTable beforeDurations{};
    StationIntensityTable beforeIntensities{};
};

// The plain cases (column order, "004" without "005", short and long tables,
// NULL) run on the fixture database through the real reader; these are the
// rules a fixture cannot show.
TEST_F(StationTableTest, FallbackFollowsTheLastFailureOfTheRowOnly)
{
    std::vector<Row> rows = fullRows(4);
    for (auto& row : rows)
        row["004"] = 444.0;
    // Row 1: "doba" is missing and nothing fails after it, so the row's last
    // failure is a missing column: "004" replaces what "005" stored.
    rows[0].erase("doba");
    // Row 2: "02" is missing but "005" is NULL afterwards; the last failure is the
    // NULL, so no fallback.
    rows[1].erase("02");
    rows[1]["005"] = std::nullopt;
    // Row 3: "5" is missing, later columns are fine: fallback.
    rows[2].erase("5");
    // Row 4: complete. The failures of the rows above must not carry over.
    MemorySource source("List9", rows);
    ASSERT_EQ(load(source, 9), ReadStatus::Loaded);

    EXPECT_EQ(durations[1], beforeDurations[1]);
    EXPECT_EQ(intensities[7][1], 444.0f);
    // Cells the table does not give are 0 and marked as missing.
    EXPECT_EQ(intensities[5][2], 0.0f);
    EXPECT_EQ(intensities[7][2], 0.0f);
    EXPECT_EQ(intensities[1][3], 0.0f);
    EXPECT_EQ(intensities[7][3], 444.0f);
    EXPECT_EQ(intensities[7][4], 704.0f);
    const unsigned absentRows = 0x1F0; // the table has rows 1 to 4 only
    EXPECT_EQ(gaps.missing[4], (1u << 1) | absentRows); // periodicity 5, row 2
    EXPECT_EQ(gaps.missing[6], (1u << 1) | absentRows); // periodicity 7, row 2
    EXPECT_EQ(gaps.missing[0], (1u << 2) | absentRows); // periodicity 1, row 3
    EXPECT_EQ(gaps.missing[1], absentRows);
}

TEST_F(StationTableTest, ADurationThatDoesNotFitKeepsItsSlotAndIsNoMissingColumn)
{
    auto rows = fullRows(9);
    rows[4]["doba"] = 40000.0; // beyond 16 bits
    MemorySource source("List42", rows);
    ASSERT_EQ(load(source, 42), ReadStatus::Loaded);
    EXPECT_EQ(durations[5], beforeDurations[5]);
    EXPECT_EQ(intensities[1][5], 105.0f);
    // The failure is no missing column: "005" stays from the table.
    EXPECT_EQ(intensities[7][5], 705.0f);
}

// An intensity no rain has is a damaged or wrong table: it is not used at all.
TEST_F(StationTableTest, AnImplausibleIntensityRefusesTheTable)
{
    for (double bad : {1e39, -5.0, 2000.0, std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        auto rows = fullRows(9);
        rows[5]["1"] = bad;
        MemorySource source("List42", rows);
        gaps = {};
        EXPECT_EQ(load(source, 42), ReadStatus::Implausible);
        EXPECT_EQ(intensities, beforeIntensities);
        EXPECT_EQ(gaps.badRow, 6);
        EXPECT_EQ(gaps.badPeriodicity, 3);
    }
    auto rows = fullRows(9);
    rows[5]["1"] = 1999.0; // heavy, but a rain
    MemorySource heavy("List42", rows);
    EXPECT_EQ(load(heavy, 42), ReadStatus::Loaded);
}

TEST_F(StationTableTest, OnlyTheFirstNineRowsAreRead)
{
    MemorySource twelve("List2", fullRows(12));
    ASSERT_EQ(load(twelve, 2), ReadStatus::Loaded);
    EXPECT_EQ(intensities[2][9], 209.0f);
    EXPECT_EQ(twelve.log.rowsAsked, 9); // never moved to row 10
}

TEST_F(StationTableTest, FailuresBeforeTheFirstRowLeaveEverythingAsItWas)
{
    MemorySource other("List84", fullRows(9));
    EXPECT_EQ(load(other, 36), ReadStatus::NoSuchTable);

    MemorySource empty("List65", {});
    EXPECT_EQ(load(empty, 65), ReadStatus::NoRows);

    MemorySource lostPages("List84", {}, /*endedEarly=*/true);
    EXPECT_EQ(load(lostPages, 84), ReadStatus::Damaged);

    MemorySource damaged("List84", fullRows(9));
    damaged.damaged = true;
    EXPECT_EQ(load(damaged, 84), ReadStatus::Damaged);

    EXPECT_EQ(durations, beforeDurations);
    EXPECT_EQ(intensities, beforeIntensities);
}

TEST(StationConversions, DurationIsNearestWholeNumberTiesToEvenWithin16Bits)
{
    EXPECT_EQ(rain::toInt16(5.4), 5);
    EXPECT_EQ(rain::toInt16(5.5), 6);
    EXPECT_EQ(rain::toInt16(6.5), 6);
    EXPECT_EQ(rain::toInt16(-2.5), -2);
    EXPECT_EQ(rain::toInt16(-0.5), 0);
    EXPECT_EQ(rain::toInt16(32767.4), 32767);
    EXPECT_EQ(rain::toInt16(-32768.5), -32768);
    EXPECT_FALSE(rain::toInt16(32767.5));
    EXPECT_FALSE(rain::toInt16(-32769.0));
    EXPECT_FALSE(rain::toInt16(std::numeric_limits<double>::quiet_NaN()));
}

TEST(StationConversions, IntensityIsTheNearestSingleAndMustFit)
{
    EXPECT_EQ(rain::toSingle(270.7), 270.7f);
    EXPECT_FALSE(rain::toSingle(1e39));
    EXPECT_FALSE(rain::toSingle(-1e39));
    EXPECT_FALSE(rain::toSingle(std::numeric_limits<double>::infinity()));
}

} // namespace
} // namespace infil::test
