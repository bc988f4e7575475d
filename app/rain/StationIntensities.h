#pragma once
// LoadStationIntensities: a station's table of the rain database into the
// project record (StationDurations, StationIntensities).
//
// Every failure is a message box and leaves both arrays as they were: no
// database file at the path, a file that is not a readable Access (Jet)
// database, no table for the station, a table without rows. The file is read
// once into memory and the database library works on that copy in a child
// process, so that a damaged or hostile file costs one read, not the program.

#include "Messages.h"
#include "ProjectRecord.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace infil::rain {

struct LoadOptions {
    // Read in a child process (the default). Tests of the reader itself may
    // switch it off to run the library under the sanitizers in-process.
    bool isolate = true;
    // How long the child may take before it is stopped and the read reported
    // as failed.
    std::chrono::milliseconds timeout{15000};
    // Every place the database was looked for, for the message when it is
    // missing; empty: the path alone.
    std::vector<std::string> searched;
};

// True when the station's table was read; an intensity the table does not give
// is then 0, and a message names its periodicity and duration. False after a
// message, with both arrays as they were: also for a table holding a negative,
// non-finite or implausibly large intensity.
bool LoadStationIntensities(ProjectRecord& record, std::int16_t stationId, const std::string& databasePath,
                            MessagePort& messages, const LoadOptions& options = {});

} // namespace infil::rain
