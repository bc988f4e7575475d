#include "rain/StationTable.h"

#include "NumberFormat.h"

#include <array>
#include <cmath>
#include <string_view>

namespace infil::rain {

namespace {

// Column k-1 is periodicity k of the reference list (5, 2, 1, 0.5, 0.2, 0.1, 0.05).
constexpr std::array<std::string_view, 7> kPeriodicityColumns = {"5", "2", "1", "05", "02", "01", "005"};
constexpr std::string_view kFallbackColumn = "004";
constexpr std::string_view kDurationColumn = "doba";
constexpr int kSlots = 9;

// What the row remembers of its failures: only the last one counts.
enum class RowError { None, ColumnMissing, Other };

template <typename Slot, typename Convert>
void store(Table& table, std::string_view column, Slot& slot, RowError& last, Convert convert)
{
    const Cell cell = table.read(column);
    switch (cell.state) {
    case Cell::State::NoSuchColumn:
        last = RowError::ColumnMissing;
        return;
    case Cell::State::Unreadable:
        last = RowError::Other;
        return;
    case Cell::State::Number:
        break;
    }
    if (const auto value = convert(cell.value))
        slot = *value;
    else
        last = RowError::Other; // overflow
}

} // namespace

std::string stationTableName(std::int16_t stationId)
{
    return "List" + std::to_string(stationId);
}

std::optional<std::int16_t> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::optional<float> toSingle(double value)
{
    if (!std::isfinite(value) || !num::fitsSingle(value))
        return std::nullopt;
    return static_cast<float>(value);
}

ReadStatus readStationTable(TableSource& source, std::int16_t stationId, StationDurationTable& durations,
                            StationIntensityTable& intensities)
{
    TableSource::Result opened = source.openTable(stationTableName(stationId));
    switch (opened.status) {
    case TableSource::Status::NoSuchTable: return ReadStatus::NoSuchTable;
    case TableSource::Status::Damaged: return ReadStatus::Damaged;
    case TableSource::Status::Opened: break;
    }
    if (!opened.table)
        return ReadStatus::Damaged;
    Table& table = *opened.table;
    if (!table.nextRow())
        return table.endedEarly() ? ReadStatus::Damaged : ReadStatus::NoRows;

    // Work on copies so that a failure cannot leave half a table behind.
    StationDurationTable newDurations = durations;
    StationIntensityTable newIntensities = intensities;
    int row = 0;
    do {
        ++row;
        RowError last = RowError::None;
        store(table, kDurationColumn, newDurations[row], last, toInt16);
        for (int k = 1; k <= 7; ++k)
            store(table, kPeriodicityColumns[static_cast<std::size_t>(k - 1)], newIntensities[k][row], last, toSingle);
        if (last == RowError::ColumnMissing)
            store(table, kFallbackColumn, newIntensities[7][row], last, toSingle);
    } while (row < kSlots && table.nextRow());

    durations = newDurations;
    intensities = newIntensities;
    return ReadStatus::Loaded;
}

} // namespace infil::rain
