#pragma once
// The open format of the user's rain data: a CSV text, one row per station and
// periodicity, with the nine intensities of the built-in rain durations and
// the source the values were taken from. docs/rain-data.md describes it for
// users; this header names the columns once, for the reader and the writer.
//
//   stanice,nazev,periodicita,i5,i10,i15,i20,i30,i45,i60,i90,i120,zdroj
//   84,Brno,0.2,270.7,...,"Trupl 1958, tab. 12"
//
// `stanice` is the station's identifier of the reference tables (84 is Brno),
// `nazev` its name (optional, checked against the number when given),
// `periodicita` one of 5, 2, 1, 0.5, 0.2, 0.1, 0.05 per year, i5 … i120 the
// intensities in l/(s·ha) for 5 … 120 min (an empty cell: not known), `zdroj`
// free text. Columns are found by their names in the header, in any order.
// Written as UTF-8, "," between cells, "." in numbers, LF line ends; read also
// as a spreadsheet saves it: ";" between cells, decimal commas, CR LF, a byte
// order mark, or Windows-1250 instead of UTF-8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace infil::rain {

namespace column {
inline constexpr std::string_view kStation = "stanice";
inline constexpr std::string_view kName = "nazev";
inline constexpr std::string_view kPeriodicity = "periodicita";
// One per built-in rain duration, 5 … 120 min, in that order.
inline constexpr std::array<std::string_view, 9> kIntensities = {"i5",  "i10", "i15", "i20", "i30",
                                                                 "i45", "i60", "i90", "i120"};
// The durations (min) those columns stand for.
inline constexpr std::array<float, 9> kDurations = {5, 10, 15, 20, 30, 45, 60, 90, 120};
inline constexpr std::string_view kSource = "zdroj";
} // namespace column

// Far beyond a whole table of every station (about 60 kB); a larger file is
// refused rather than read.
inline constexpr std::size_t kMaxRainCsvBytes = 4u * 1024u * 1024u;
// A source is a citation, not a document.
inline constexpr std::size_t kMaxSourceBytes = 300;

// The intensities of one station and periodicity.
struct RainRow {
    std::int16_t station = 0; // identifier of the reference tables
    int periodicity = 0;      // 1..7: position in the reference list of periodicities
    std::array<std::optional<float>, 9> intensities{}; // l/(s·ha); nullopt: not known
    std::string source;
    int line = 0; // where the row stood in the file it was read from (1: the header)
    bool operator==(const RainRow& o) const
    {
        return station == o.station && periodicity == o.periodicity && intensities == o.intensities &&
               source == o.source;
    }
};

// How a file was written, as far as the reader could tell.
struct CsvDialect {
    char separator = ',';
    bool decimalComma = false; // some number used a decimal comma
    bool byteOrderMark = false;
    bool windows1250 = false;  // not UTF-8: read as Windows-1250
    bool crlf = false;
    // "oddělovač „;“, desetinná čárka, kódování Windows-1250"
    std::string describe() const;
};

struct RejectedRow {
    int line = 0;
    std::string reason; // Czech
};

struct CsvReading {
    enum class Status {
        Read,       // the rows below (some may have been refused)
        TooLarge,
        NotText,    // binary content: not a CSV file at all
        NoHeader    // no header naming the columns, or a required column missing
    };
    Status status = Status::Read;
    std::string problem; // Czech, when not Read
    CsvDialect dialect;
    std::vector<RainRow> rows;
    std::vector<RejectedRow> rejected;
};

// Reads the bytes of a file. Every row is checked on its own; a bad row is
// refused with its reason and the others are kept. A row repeating the
// station and periodicity of an earlier row is refused too.
CsvReading readRainCsv(std::string_view bytes);

// The file holding these rows, header first, in the order given.
std::string writeRainCsv(const std::vector<RainRow>& rows);

// The shortest text of a Single that reads back as the same Single.
std::string exactText(float value);

// The reference tables' stations and periodicities, for the checks and texts.
std::optional<std::string> stationName(std::int16_t station);
// "Brno (84)"
std::string stationLabel(std::int16_t station);
// "0.2"; periodicity is 1..7
std::string periodicityText(int periodicity);
// 1..7 for a value of the reference list, nullopt for any other.
std::optional<int> periodicityOf(double value);

} // namespace infil::rain
