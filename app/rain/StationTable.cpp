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

// Reads one cell into its slot; true when it stored a value.
template <typename Slot, typename Convert>
bool store(Table& table, std::string_view column, Slot& slot, RowError& last, Convert convert,
           double* raw = nullptr)
{
    const Cell cell = table.read(column);
    switch (cell.state) {
    case Cell::State::NoSuchColumn:
        last = RowError::ColumnMissing;
        return false;
    case Cell::State::Unreadable:
        last = RowError::Other;
        return false;
    case Cell::State::Number:
        break;
    }
    if (raw)
        *raw = cell.value;
    if (const auto value = convert(cell.value)) {
        slot = *value;
        return true;
    }
    last = RowError::Other; // overflow
    return false;
}

bool plausible(double intensity)
{
    return std::isfinite(intensity) && intensity >= 0 && intensity < kImplausibleIntensity;
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
                            StationIntensityTable& intensities, TableGaps* gaps)
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

    // Work on copies so that a failure cannot leave half a table behind. An
    // intensity the table does not give is 0, never an earlier station's.
    StationDurationTable newDurations = durations;
    StationIntensityTable newIntensities = intensities;
    TableGaps found;
    for (int k = 1; k <= 7; ++k) {
        found.missing[k - 1] = (1u << kSlots) - 1;
        for (int r = 1; r <= kSlots; ++r)
            newIntensities[k][r] = 0;
    }
    auto intensity = [&](std::string_view column, int k, int row, RowError& last) {
        double raw = 0; // stays 0 when the cell holds nothing to read
        float& slot = newIntensities[k][row];
        const bool stored = store(table, column, slot, last, toSingle, &raw);
        const double value = stored ? slot : raw;
        if (!plausible(value)) {
            if (found.badRow == 0) {
                found.badRow = row;
                found.badPeriodicity = k;
                found.badValue = value;
            }
        } else if (stored) {
            found.missing[k - 1] &= static_cast<std::uint16_t>(~(1u << (row - 1)));
        }
    };
    int row = 0;
    do {
        ++row;
        RowError last = RowError::None;
        store(table, kDurationColumn, newDurations[row], last, toInt16);
        for (int k = 1; k <= 7; ++k)
            intensity(kPeriodicityColumns[static_cast<std::size_t>(k - 1)], k, row, last);
        if (last == RowError::ColumnMissing)
            intensity(kFallbackColumn, 7, row, last);
    } while (row < kSlots && table.nextRow());

    if (gaps)
        *gaps = found;
    if (found.badRow != 0)
        return ReadStatus::Implausible;
    durations = newDurations;
    intensities = newIntensities;
    return ReadStatus::Loaded;
}

} // namespace infil::rain
