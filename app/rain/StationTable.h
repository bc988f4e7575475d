#pragma once
// The rows of one station's table read into the record's station arrays: the
// row loop of the rain intensity store, on any TableSource.
//
// Row r (1..9) fills slot r: "doba" as a 16-bit whole number into the
// durations, the seven periodicity columns "5", "2", "1", "05", "02", "01",
// "005" as Singles into periodicities 1..7. Every store is on its own: a
// missing column, a NULL or a value that does not convert (or does not fit)
// leaves its slot as it was. Should the last failure of a row be a missing
// column, "004" is read into periodicity 7 instead; the failure state starts
// afresh with each row. Rows after the ninth are not read.

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
    Damaged // the table is there but cannot be read
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
                            StationIntensityTable& intensities);

} // namespace infil::rain
