#pragma once
// Everything an Access rain database holds, read at once: for the export into
// the open format (a user with an old infil.mdb migrates once) and for
// marking the stations the database has data for. Each station's table is
// read exactly as the rain dialog reads it (StationTable.h), in one child
// process for the whole file, so the values carried over are the dialog's
// values bit for bit.

#include "ProjectRecord.h"
#include "rain/RainCsv.h"
#include "rain/StationTable.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace infil::rain {

struct StationContent {
    std::int16_t station = 0;
    ReadStatus status = ReadStatus::NoSuchTable;
    StationIntensityTable intensities{}; // Loaded: 0 where gaps marks a slot missing
    TableGaps gaps;
};

struct DatabaseContent {
    bool read = false;   // the file was read; otherwise `problem` says why
    std::string problem; // Czech
    bool missing = false; // no file at the path
    // Every station of the reference list, in the list's order.
    std::vector<StationContent> stations;
};

DatabaseContent readWholeDatabase(const std::string& path,
                                  std::chrono::milliseconds timeout = std::chrono::milliseconds(30000));

// The stations that have a readable table in the database.
std::vector<std::int16_t> stationsWithData(const DatabaseContent& content);

// The database's content as rows of the open format: one row per station and
// periodicity that has at least one intensity; a slot the table leaves empty
// stays an empty cell. `notes` lists, in Czech, every station or periodicity
// that could not be carried over and why.
struct DatabaseExport {
    bool read = false;
    std::string problem;
    std::vector<RainRow> rows;
    std::vector<std::string> notes;
    // The report for the user, lines separated by CR LF.
    std::string text(const std::string& database, const std::string& output) const;
};
DatabaseExport exportDatabase(const DatabaseContent& content, const std::string& source);

// The source text rows exported from this database carry.
std::string databaseSource(const std::string& path);

} // namespace infil::rain
