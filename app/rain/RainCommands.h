#pragma once
// The rain library from the command line, without a window:
//   infil --import-rain FILE.csv
//   infil --export-rain OUT.csv [--from-mdb FILE]
// Each prints its report to `out` and returns the exit status: 0 when
// everything was done, 1 when something was refused or could not be written
// (the report says what).

#include <iosfwd>
#include <optional>
#include <string>

namespace infil::rain {

int importRainCommand(const std::string& csv, const std::string& libraryFolder, std::ostream& out);

// Exports the library, or with `database` everything that Access database
// holds.
int exportRainCommand(const std::string& output, const std::optional<std::string>& database,
                      const std::string& libraryFolder, std::ostream& out);

} // namespace infil::rain
