#pragma once
// The rows of one station's table read into the record's station arrays: the
// row loop of the rain intensity store, on any TableSource.
//
// Row r (1..9) fills slot r: "doba" as a 16-bit whole number into the
// durations, the seven periodicity columns "5", "2", "1", "05", "02", "01",
// "005" as Singles into periodicities 1..7. Every store is on its own: a
// missing column, a NULL or a value that does not convert leaves its duration
// as it was, and its intensity 0, marked as missing (so is every slot of a row
// the table does not have): another station's value must never stand in for
// it. Should the last failure of a row be a missing column, "004" is read into
// periodicity 7 instead; the failure state starts afresh with each row. Rows
// after the ninth are not read. An intensity that is negative, not finite or
// implausibly large refuses the whole table.

#include "ProjectRecord.h"
#include "rain/TableReader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace infil::rain {

using StationDurationTable = Indexed<std::int16_t, 1, 9>;

enum class ReadStatus {
    Loaded,
    NoSuchTable,
    NoRows,
    Damaged,    // the table is there but cannot be read
    Implausible // an intensity no rain has: the table is not used
};

// Intensities at or above this (l/(s·ha)) are taken for a damaged or wrong
// table: the heaviest short rains measured are well below it.
inline constexpr double kImplausibleIntensity = 2000;

// Which intensity slots the table left empty (bit r-1 of missing[k-1] for
// periodicity k, row r), and the first implausible value found.
struct TableGaps {
    std::uint16_t missing[7] = {};
    int badRow = 0;
    int badPeriodicity = 0;
    double badValue = 0;
};

// "List" followed by the identifier in plain decimal: 4 -> "List4".
std::string stationTableName(std::int16_t stationId);

// A value converted to a 16-bit whole number as the original's variant
// conversion does it: nearest, ties to even; nullopt beyond -32768..32767.
std::optional<std::int16_t> toInt16(double value);
// A value converted to a Single; nullopt when it does not fit.
std::optional<float> toSingle(double value);

// Reads the station's table into the two arrays. Anything but Loaded leaves
// both arrays exactly as they were.
ReadStatus readStationTable(TableSource& source, std::int16_t stationId, StationDurationTable& durations,
                            StationIntensityTable& intensities, TableGaps* gaps = nullptr);

} // namespace infil::rain
