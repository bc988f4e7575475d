#pragma once
// The user's rain library: a folder of CSV files in the open format
// (RainCsv.h), one file per source. The rain dialog takes a station's
// intensities from here before the Access database.
//
// The library holds at most one row per station and periodicity, so the
// dialog never has to choose between two sources. A row that would add a
// second one is refused, in the dialog and on import alike; replacing values
// means deleting the old entry first. A row repeating one already there with
// the same values and source is no conflict: it is reported and skipped.
//
// Every change is written as a whole: each new file goes under a temporary
// name beside its place first, and only when all of them are on the disk are
// they renamed into place. A change that fails leaves every file as it was
// and says why.

#include "rain/RainCsv.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace infil::rain {

// The outcome of a change of files.
struct WriteResult {
    bool ok = true;
    std::string reason; // Czech, when not ok
};

// What an import did, for the user.
struct ImportReport {
    std::string file;
    CsvReading reading;              // the file's dialect, its refused rows
    std::vector<RainRow> imported;
    std::vector<RainRow> unchanged;  // already in the library with the same values
    std::vector<RejectedRow> refused;// every refused row: the file's own and the library's conflicts
    WriteResult written;

    // Nothing refused, the file read and the library written.
    bool complete() const
    {
        return reading.status == CsvReading::Status::Read && refused.empty() && written.ok;
    }
    // The whole report in Czech, lines separated by CR LF.
    std::string text() const;
};

class RainLibrary {
public:
    // `folder` need not exist yet; it is made on the first change.
    explicit RainLibrary(std::string folder);

    const std::string& folder() const { return folder_; }

    // Reads the folder again. A file that cannot be read, a bad row in a file,
    // and a station and periodicity given a second time by a later file (by
    // name) are listed in problems() and left out.
    void reload();
    const std::vector<std::string>& problems() const { return problems_; }

    // Every row, ordered by station as the station list orders them, then by
    // periodicity.
    std::vector<RainRow> rows() const;
    const RainRow* find(std::int16_t station, int periodicity) const;
    bool holds(std::int16_t station) const;

    // One line of the library's listing: a station, a source and the
    // periodicities (1..7) the source gives for it.
    struct Entry {
        std::int16_t station = 0;
        std::string source;
        std::vector<int> periodicities;
    };
    std::vector<Entry> entries() const;

    // Adds one row (typed in the rain dialog). Refused when the library already
    // holds that station and periodicity.
    WriteResult add(const RainRow& row);
    // Removes what one entry lists.
    WriteResult remove(std::int16_t station, const std::string& source);

    // Reads a CSV file and adds its good rows.
    ImportReport importFile(const std::string& path);
    ImportReport importBytes(std::string_view bytes, const std::string& name);

    // Writes every row of the library into one CSV file.
    WriteResult exportTo(const std::string& path) const;

private:
    struct Stored {
        RainRow row;
        std::string file; // name inside the folder
    };
    // The file a new row of this source goes to.
    std::string fileFor(const std::string& source) const;
    // Writes the rows of each named file (an empty list deletes the file).
    WriteResult rewrite(const std::vector<std::string>& files, const std::vector<Stored>& rows);
    WriteResult addRows(const std::vector<RainRow>& rows);

    std::string folder_;
    std::vector<Stored> stored_;
    std::vector<std::string> problems_;
    std::vector<std::string> untidyFiles_; // files with rows left out: never rewritten
};

// A whole file read with a size limit, without blocking on a pipe or device.
// nullopt with the reason in Czech.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes, std::string* reason);

// Files replaced together: each is written under a temporary name beside its
// place, and only when every one is written are they renamed into place. A
// file whose content is nullopt is deleted. Nothing changes on failure.
struct FileChange {
    std::string path;
    std::optional<std::string> content;
};
WriteResult replaceFiles(const std::vector<FileChange>& changes);

// A file name for a source: its letters without diacritics, digits and
// dashes ("Trupl 1958, tab. 12" -> "trupl-1958-tab-12").
std::string fileNameFor(const std::string& source);

// "1 řádek", "3 řádky", "5 řádků"
std::string rowCount(std::size_t n);

} // namespace infil::rain
