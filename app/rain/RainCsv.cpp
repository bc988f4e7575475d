#include "rain/RainCsv.h"

#include "Cp1250.h"
#include "NumberFormat.h"
#include "ReferenceTables.h"
#include "rain/StationTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>

namespace infil::rain {
namespace {

bool validUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int follow = 0;
        char32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(follow) >= text.size())
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode.
        if ((follow == 2 && code < 0x800) || (follow == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return true;
}

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F; }

std::string trimmed(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return std::string(text.substr(b, e - b));
}

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// One record of the file: its cells and the line it starts on.
struct Record {
    std::vector<std::string> cells;
    int line = 0;
    bool unterminatedQuote = false;
};

// Splits the text into records: cells between separators, "quoted" cells may
// hold separators, doubled quotes and line breaks.
std::vector<Record> splitRecords(std::string_view text, char separator)
{
    std::vector<Record> records;
    Record current;
    std::string cell;
    int line = 1;
    current.line = 1;
    bool quoted = false;
    bool any = false; // the record has begun
    auto endCell = [&] {
        current.cells.push_back(std::move(cell));
        cell.clear();
    };
    auto endRecord = [&] {
        endCell();
        records.push_back(std::move(current));
        current = Record{};
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!any) {
            current.line = line;
            any = true;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    cell.push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n')
                    ++line;
                cell.push_back(c);
            }
            continue;
        }
        if (c == '"' && trimmed(cell).empty()) {
            cell.clear();
            quoted = true;
        } else if (c == separator) {
            endCell();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // the LF ends it
        } else if (c == '\n') {
            endRecord();
            ++line;
        } else {
            cell.push_back(c);
        }
    }
    if (any) {
        current.unterminatedQuote = quoted;
        endRecord();
    }
    return records;
}

bool blankRecord(const Record& record)
{
    return std::all_of(record.cells.begin(), record.cells.end(),
                       [](const std::string& c) { return trimmed(c).empty() || trimmed(c) == "\r"; });
}

// Where each known column stands in the header.
struct Columns {
    int station = -1;
    int name = -1;
    int periodicity = -1;
    std::array<int, 9> intensities{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int source = -1;
    int known = 0;
    std::vector<std::string> names; // every header cell, as written
    std::string duplicate;          // a known column named twice
    std::size_t width = 0;

    std::vector<std::string_view> missing() const
    {
        std::vector<std::string_view> m;
        if (station < 0)
            m.push_back(column::kStation);
        if (periodicity < 0)
            m.push_back(column::kPeriodicity);
        for (std::size_t j = 0; j < 9; ++j)
            if (intensities[j] < 0)
                m.push_back(column::kIntensities[j]);
        if (source < 0)
            m.push_back(column::kSource);
        return m;
    }
};

Columns readHeader(const Record& header)
{
    Columns c;
    c.width = header.cells.size();
    for (std::size_t i = 0; i < header.cells.size(); ++i) {
        std::string key = lowerAscii(trimmed(header.cells[i]));
        if (!key.empty() && key.back() == '\r')
            key.pop_back();
        c.names.push_back(key);
        const int at = static_cast<int>(i);
        auto take = [&](int& slot) {
            if (slot >= 0)
                c.duplicate = key;
            slot = at;
            ++c.known;
        };
        if (key == column::kStation)
            take(c.station);
        else if (key == column::kName || key == "název")
            take(c.name);
        else if (key == column::kPeriodicity)
            take(c.periodicity);
        else if (key == column::kSource)
            take(c.source);
        else
            for (std::size_t j = 0; j < 9; ++j)
                if (key == column::kIntensities[j])
                    take(c.intensities[j]);
    }
    return c;
}

std::string quotedText(std::string_view text) { return "„" + std::string(text) + "“"; }

std::string joined(const std::vector<std::string_view>& names)
{
    std::string text;
    for (std::string_view n : names)
        text += (text.empty() ? "" : ", ") + std::string(n);
    return text;
}

std::string periodicityList()
{
    std::string text;
    for (int k = 1; k <= 7; ++k)
        text += (k > 1 ? ", " : "") + periodicityText(k);
    return text;
}

std::string cellText(const Record& record, int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= record.cells.size())
        return {};
    std::string text = trimmed(record.cells[static_cast<std::size_t>(column)]);
    if (!text.empty() && text.back() == '\r')
        text = trimmed(text.substr(0, text.size() - 1));
    return text;
}

// Checks one record against the header; the row, or every reason it is refused.
std::optional<RainRow> readRow(const Record& record, const Columns& columns, CsvDialect& dialect,
                               std::vector<std::string>& problems)
{
    if (record.unterminatedQuote) {
        problems.push_back("uvozovky nejsou uzavřeny");
        return std::nullopt;
    }
    if (record.cells.size() < columns.width) {
        std::vector<std::string_view> absent;
        for (std::size_t i = record.cells.size(); i < columns.width; ++i)
            if (!columns.names[i].empty())
                absent.push_back(columns.names[i]);
        problems.push_back("chybí " + std::string(absent.size() == 1 ? "sloupec " : "sloupce ") + joined(absent));
        return std::nullopt;
    }
    if (record.cells.size() > columns.width) {
        std::string reason = "řádek má více buněk (" + std::to_string(record.cells.size()) + ") než záhlaví (" +
                             std::to_string(columns.width) + ")";
        if (dialect.separator == ',')
            reason += "; desetinná čárka v souboru odděleném čárkami musí být v uvozovkách";
        problems.push_back(reason);
        return std::nullopt;
    }

    RainRow row;
    row.line = record.line;
    auto number = [&](const std::string& text) -> std::optional<double> {
        const auto value = num::convert(text);
        if (value && text.find(',') != std::string::npos)
            dialect.decimalComma = true;
        return value;
    };

    const std::string station = cellText(record, columns.station);
    if (station.empty()) {
        problems.push_back("chybí číslo stanice");
    } else if (const auto id = number(station); !id || *id != std::floor(*id) || *id < -32768 || *id > 32767) {
        problems.push_back("číslo stanice " + quotedText(station) + " není celé číslo");
    } else if (!stationName(static_cast<std::int16_t>(*id))) {
        problems.push_back("neznámá stanice " + station + " (číslo stanice je identifikátor stanice ze seznamu stanic programu)");
    } else {
        row.station = static_cast<std::int16_t>(*id);
        const std::string name = cellText(record, columns.name);
        if (!name.empty() && name != *stationName(row.station))
            problems.push_back("stanice " + std::to_string(row.station) + " je " + *stationName(row.station) +
                               ", ne " + quotedText(name));
    }

    const std::string periodicity = cellText(record, columns.periodicity);
    if (periodicity.empty()) {
        problems.push_back("chybí periodicita");
    } else if (const auto p = number(periodicity); !p) {
        problems.push_back("periodicita " + quotedText(periodicity) + " není číslo");
    } else if (const auto k = periodicityOf(*p); !k) {
        problems.push_back("periodicita " + periodicity + " není jedna z " + periodicityList());
    } else {
        row.periodicity = *k;
    }

    bool anyIntensity = false;
    for (std::size_t j = 0; j < 9; ++j) {
        const std::string text = cellText(record, columns.intensities[j]);
        const std::string label = "intenzita " + std::string(column::kIntensities[j]);
        if (text.empty())
            continue;
        const auto value = number(text);
        if (!value) {
            problems.push_back(label + " " + quotedText(text) + " není číslo");
        } else if (*value < 0) {
            problems.push_back(label + " je záporná (" + text + ")");
        } else if (!num::fitsSingle(*value) || *value >= kImplausibleIntensity) {
            problems.push_back(label + " " + text + " l/(s.ha) je nepřípustně velká (musí být menší než " +
                               num::plain(static_cast<float>(kImplausibleIntensity)) + ")");
        } else {
            row.intensities[j] = static_cast<float>(*value) + 0.0f; // no negative zero
            anyIntensity = true;
        }
    }
    if (!anyIntensity && std::all_of(columns.intensities.begin(), columns.intensities.end(),
                                     [&](int c) { return cellText(record, c).empty(); }))
        problems.push_back("není uvedena žádná intenzita");

    row.source = cellText(record, columns.source);
    if (row.source.empty())
        problems.push_back("chybí zdroj údajů");
    else if (row.source.size() > kMaxSourceBytes)
        problems.push_back("zdroj je delší než " + std::to_string(kMaxSourceBytes) + " bajtů");
    else if (std::any_of(row.source.begin(), row.source.end(),
                         [](char c) { return isControl(static_cast<unsigned char>(c)) || c == '\r' || c == '\n'; }))
        problems.push_back("zdroj obsahuje zalomení řádku nebo řídicí znaky");

    if (!problems.empty())
        return std::nullopt;
    return row;
}

bool needsQuotes(std::string_view text)
{
    return text.find_first_of(",;\"\r\n") != std::string_view::npos ||
           (!text.empty() && (text.front() == ' ' || text.back() == ' '));
}

std::string csvCell(std::string_view text)
{
    if (!needsQuotes(text))
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string CsvDialect::describe() const
{
    std::string text = separator == ';' ? "oddělovač „;“" : separator == '\t' ? "oddělovač tabulátor" : "oddělovač „,“";
    text += decimalComma ? ", desetinná čárka" : ", desetinná tečka";
    text += windows1250 ? ", kódování Windows-1250" : ", kódování UTF-8";
    if (byteOrderMark)
        text += " s BOM";
    if (crlf)
        text += ", konce řádků CR LF";
    return text;
}

std::optional<std::string> stationName(std::int16_t station)
{
    const ProjectRecord& r = referenceTables();
    for (int k = 1; k <= 92; ++k)
        if (r.StationIds[k] == station)
            return r.StationNames[k];
    return std::nullopt;
}

std::string stationLabel(std::int16_t station)
{
    const auto name = stationName(station);
    return (name ? *name : std::string("?")) + " (" + std::to_string(station) + ")";
}

std::string periodicityText(int periodicity)
{
    if (periodicity < 1 || periodicity > 7)
        return "?";
    return num::plain(referenceTables().Periodicities[periodicity]);
}

std::optional<int> periodicityOf(double value)
{
    const ProjectRecord& r = referenceTables();
    for (int k = 1; k <= 7; ++k)
        if (num::fitsSingle(value) && static_cast<float>(value) == r.Periodicities[k])
            return k;
    return std::nullopt;
}

std::string exactText(float value)
{
    char buf[64];
    auto shortest = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, shortest.ptr);
    // Read back as the program reads it (through a double): in the rare case
    // that rounds differently, the double's own shortest text is exact.
    if (const auto back = num::convert(text); back && static_cast<float>(*back) == value)
        return text;
    auto exact = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value));
    return std::string(buf, exact.ptr);
}

CsvReading readRainCsv(std::string_view bytes)
{
    CsvReading reading;
    if (bytes.size() > kMaxRainCsvBytes) {
        reading.status = CsvReading::Status::TooLarge;
        reading.problem = "Soubor je příliš velký (" + std::to_string(bytes.size() / 1024) +
                          " kB); soubor s intenzitami deště má nejvýše " +
                          std::to_string(kMaxRainCsvBytes / (1024 * 1024)) + " MB.";
        return reading;
    }
    std::string text(bytes);
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        reading.dialect.byteOrderMark = true;
        text.erase(0, 3);
    }
    const auto controls = std::count_if(text.begin(), text.end(), [](char c) { return isControl(static_cast<unsigned char>(c)); });
    if (text.find('\0') != std::string::npos || controls > 0) {
        reading.status = CsvReading::Status::NotText;
        reading.problem = "Soubor není textový soubor CSV (obsahuje binární data).";
        return reading;
    }
    if (!validUtf8(text)) {
        std::string decoded = report::FromWindows1250(text);
        if (decoded.find("\xEF\xBF\xBD") != std::string::npos) {
            reading.status = CsvReading::Status::NotText;
            reading.problem = "Soubor není textový soubor CSV (není v kódování UTF-8 ani Windows-1250).";
            return reading;
        }
        reading.dialect.windows1250 = true;
        text = std::move(decoded);
    }
    reading.dialect.crlf = text.find("\r\n") != std::string::npos;

    // The header decides the separator: the one that splits it into the most
    // known column names.
    Columns best;
    std::vector<Record> records;
    for (char separator : {',', ';', '\t'}) {
        std::vector<Record> candidate = splitRecords(text, separator);
        const auto first = std::find_if(candidate.begin(), candidate.end(), [](const Record& r) { return !blankRecord(r); });
        if (first == candidate.end())
            continue;
        Columns columns = readHeader(*first);
        if (columns.known > best.known) {
            best = std::move(columns);
            reading.dialect.separator = separator;
            candidate.erase(candidate.begin(), first);
            records = std::move(candidate);
        }
    }
    if (best.known == 0) {
        reading.status = CsvReading::Status::NoHeader;
        reading.problem = "Soubor nemá záhlaví se sloupci " + std::string(column::kStation) + ", " +
                          std::string(column::kPeriodicity) + ", i5 … i120 a " + std::string(column::kSource) +
                          "; nejde o soubor intenzit deště ve formátu CSV.";
        return reading;
    }
    if (!best.duplicate.empty()) {
        reading.status = CsvReading::Status::NoHeader;
        reading.problem = "Sloupec " + best.duplicate + " je v záhlaví dvakrát.";
        return reading;
    }
    if (const auto missing = best.missing(); !missing.empty()) {
        reading.status = CsvReading::Status::NoHeader;
        reading.problem = std::string(missing.size() == 1 ? "V záhlaví chybí sloupec " : "V záhlaví chybějí sloupce ") +
                          joined(missing) + ".";
        return reading;
    }

    std::map<std::pair<std::int16_t, int>, int> seen; // station and periodicity -> line
    for (std::size_t i = 1; i < records.size(); ++i) {
        const Record& record = records[i];
        if (blankRecord(record))
            continue;
        std::vector<std::string> problems;
        auto row = readRow(record, best, reading.dialect, problems);
        if (row) {
            const auto key = std::make_pair(row->station, row->periodicity);
            if (const auto earlier = seen.find(key); earlier != seen.end()) {
                problems.push_back("stanice " + stationLabel(row->station) + " s periodicitou " +
                                   periodicityText(row->periodicity) + " už je na řádku " +
                                   std::to_string(earlier->second));
                row.reset();
            } else {
                seen.emplace(key, record.line);
            }
        }
        if (row) {
            reading.rows.push_back(std::move(*row));
        } else {
            std::string reason;
            for (const std::string& p : problems)
                reason += (reason.empty() ? "" : "; ") + p;
            reading.rejected.push_back({record.line, reason});
        }
    }
    return reading;
}

std::string writeRainCsv(const std::vector<RainRow>& rows)
{
    std::string out;
    out += std::string(column::kStation) + "," + std::string(column::kName) + "," + std::string(column::kPeriodicity);
    for (std::string_view key : column::kIntensities)
        out += "," + std::string(key);
    out += "," + std::string(column::kSource) + "\n";
    for (const RainRow& row : rows) {
        out += std::to_string(row.station) + "," + csvCell(stationName(row.station).value_or("")) + "," +
               periodicityText(row.periodicity);
        for (const auto& intensity : row.intensities)
            out += "," + (intensity ? exactText(*intensity) : std::string());
        out += "," + csvCell(row.source) + "\n";
    }
    return out;
}

} // namespace infil::rain
