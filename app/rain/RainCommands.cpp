#include "rain/RainCommands.h"

#include "rain/DatabaseExport.h"
#include "rain/RainLibrary.h"

#include <ostream>

namespace infil::rain {
namespace {

// The reports break their lines for message boxes; a terminal wants LF.
void print(std::ostream& out, std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    out << text << '\n';
}

} // namespace

int importRainCommand(const std::string& csv, const std::string& libraryFolder, std::ostream& out)
{
    RainLibrary library(libraryFolder);
    const ImportReport report = library.importFile(csv);
    print(out, report.text() + "\r\nKnihovna: " + libraryFolder);
    return report.complete() ? 0 : 1;
}

int exportRainCommand(const std::string& output, const std::optional<std::string>& database,
                      const std::string& libraryFolder, std::ostream& out)
{
    if (database) {
        const DatabaseExport exported = exportDatabase(readWholeDatabase(*database), databaseSource(*database));
        if (!exported.read) {
            print(out, exported.text(*database, output));
            return 1;
        }
        const WriteResult written = replaceFiles({{output, writeRainCsv(exported.rows)}});
        if (!written.ok) {
            print(out, "Soubor nelze zapsat: " + written.reason + ".");
            return 1;
        }
        print(out, exported.text(*database, output));
        return 0;
    }
    RainLibrary library(libraryFolder);
    for (const std::string& problem : library.problems())
        print(out, "Nepoužito: " + problem);
    const WriteResult written = library.exportTo(output);
    if (!written.ok) {
        print(out, written.reason);
        return 1;
    }
    print(out, "Knihovna intenzit deště (" + rowCount(library.rows().size()) + ") je uložena do souboru " + output +
                   ".\r\nKnihovna: " + libraryFolder);
    return library.problems().empty() ? 0 : 1;
}

} // namespace infil::rain
