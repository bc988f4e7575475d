#include "rain/DatabaseExport.h"

#include "ReferenceTables.h"
#include "rain/DatabaseFile.h"
#include "rain/Isolated.h"
#include "rain/MdbReader.h"
#include "rain/RainLibrary.h"
#include "NumberFormat.h"

#include <cstring>
#include <memory>
#include <span>
#include <type_traits>

namespace infil::rain {
namespace {

constexpr int kStations = 92;

// What the child sends back for one station, and for the whole file.
struct StationPacket {
    std::int16_t station = 0;
    std::int8_t status = -1;
    float intensities[7][9] = {};
    TableGaps gaps;
};
struct Packet {
    std::uint32_t magic = 0;
    std::int32_t opened = 0; // libmdb made sense of the image
    StationPacket stations[kStations];
};
static_assert(std::is_trivially_copyable_v<Packet>);
constexpr std::uint32_t kMagic = 0x52414932; // "RAI2"

std::string readAll(std::span<unsigned char> image)
{
    auto packet = std::make_unique<Packet>();
    packet->magic = kMagic;
    const ProjectRecord& tables = referenceTables();
    if (auto database = MdbDatabase::open(image)) {
        packet->opened = 1;
        for (int k = 1; k <= kStations; ++k) {
            StationPacket& s = packet->stations[k - 1];
            s.station = tables.StationIds[k];
            StationDurationTable durations{};
            StationIntensityTable intensities{};
            s.status = static_cast<std::int8_t>(readStationTable(*database, s.station, durations, intensities, &s.gaps));
            for (int p = 1; p <= 7; ++p)
                for (int r = 1; r <= 9; ++r)
                    s.intensities[p - 1][r - 1] = intensities[p][r];
        }
    }
    std::string bytes(sizeof(Packet), '\0');
    std::memcpy(bytes.data(), packet.get(), sizeof(Packet));
    return bytes;
}

std::string statusText(ReadStatus status)
{
    switch (status) {
    case ReadStatus::NoRows: return "tabulka nemá žádné řádky";
    case ReadStatus::Damaged: return "tabulku nelze přečíst, je poškozená";
    case ReadStatus::Implausible: return "tabulka obsahuje nepřípustnou intenzitu";
    case ReadStatus::NoSuchTable:
    case ReadStatus::Loaded: break;
    }
    return {};
}

} // namespace

DatabaseContent readWholeDatabase(const std::string& path, std::chrono::milliseconds timeout)
{
    DatabaseContent content;
    DatabaseImage image = loadDatabaseImage(path);
    if (image.status != FileStatus::Ok) {
        content.missing = image.status == FileStatus::Missing;
        content.problem = fileStatusText(image.status);
        return content;
    }
    const ChildResult child = runInChild([&] { return readAll(image.bytes); }, timeout, sizeof(Packet) + 1);
    if (child.outcome != ChildResult::Outcome::Completed || child.bytes.size() != sizeof(Packet)) {
        content.problem = child.outcome == ChildResult::Outcome::TimedOut
                              ? "Čtení databáze trvalo příliš dlouho a bylo přerušeno; soubor je zřejmě poškozený."
                              : "Čtení databáze selhalo; soubor je zřejmě poškozený.";
        return content;
    }
    auto packet = std::make_unique<Packet>();
    std::memcpy(packet.get(), child.bytes.data(), sizeof(Packet));
    if (packet->magic != kMagic) {
        content.problem = "Čtení databáze selhalo; soubor je zřejmě poškozený.";
        return content;
    }
    if (!packet->opened) {
        content.problem = "Databázi nelze přečíst, soubor je poškozený.";
        return content;
    }
    const ProjectRecord& tables = referenceTables();
    for (int k = 1; k <= kStations; ++k) {
        const StationPacket& s = packet->stations[k - 1];
        StationContent station;
        station.station = tables.StationIds[k];
        if (s.station != station.station || s.status < 0 || s.status > static_cast<int>(ReadStatus::Implausible)) {
            content.problem = "Čtení databáze selhalo; soubor je zřejmě poškozený.";
            content.stations.clear();
            return content;
        }
        station.status = static_cast<ReadStatus>(s.status);
        station.gaps = s.gaps;
        for (int p = 1; p <= 7; ++p)
            for (int r = 1; r <= 9; ++r)
                station.intensities[p][r] = s.intensities[p - 1][r - 1];
        content.stations.push_back(station);
    }
    content.read = true;
    return content;
}

std::vector<std::int16_t> stationsWithData(const DatabaseContent& content)
{
    std::vector<std::int16_t> stations;
    for (const StationContent& s : content.stations)
        if (s.status == ReadStatus::Loaded)
            stations.push_back(s.station);
    return stations;
}

std::string databaseSource(const std::string& path)
{
    const auto slash = path.rfind('/');
    return "databáze " + (slash == std::string::npos ? path : path.substr(slash + 1));
}

DatabaseExport exportDatabase(const DatabaseContent& content, const std::string& source)
{
    DatabaseExport out;
    out.read = content.read;
    out.problem = content.problem;
    for (const StationContent& s : content.stations) {
        if (s.status == ReadStatus::NoSuchTable)
            continue;
        if (s.status != ReadStatus::Loaded) {
            std::string note = stationLabel(s.station) + ": " + statusText(s.status);
            if (s.status == ReadStatus::Implausible)
                note += " " + num::plain(static_cast<float>(s.gaps.badValue)) + " (řádek " +
                        std::to_string(s.gaps.badRow) + ", periodicita " + periodicityText(s.gaps.badPeriodicity) + ")";
            out.notes.push_back(note + "; nepřevedeno");
            continue;
        }
        for (int p = 1; p <= 7; ++p) {
            RainRow row;
            row.station = s.station;
            row.periodicity = p;
            row.source = source;
            bool any = false;
            std::string gaps;
            for (int r = 1; r <= 9; ++r) {
                if (s.gaps.missing[p - 1] & (1u << (r - 1))) {
                    gaps += (gaps.empty() ? "" : ", ") + std::string(column::kIntensities[static_cast<std::size_t>(r - 1)]);
                    continue;
                }
                row.intensities[static_cast<std::size_t>(r - 1)] = s.intensities[p][r];
                any = true;
            }
            if (!any) {
                out.notes.push_back(stationLabel(s.station) + ", periodicita " + periodicityText(p) +
                                    ": tabulka neobsahuje žádnou intenzitu; nepřevedeno");
                continue;
            }
            if (!gaps.empty())
                out.notes.push_back(stationLabel(s.station) + ", periodicita " + periodicityText(p) +
                                    ": tabulka neobsahuje " + gaps + "; buňky zůstávají prázdné");
            out.rows.push_back(std::move(row));
        }
    }
    return out;
}

std::string DatabaseExport::text(const std::string& database, const std::string& output) const
{
    std::string out = "Převod databáze " + database;
    if (!read)
        return out + "\r\n" + problem + "\r\nNic nebylo zapsáno.";
    std::vector<std::int16_t> stations;
    for (const RainRow& row : rows)
        if (stations.empty() || stations.back() != row.station)
            stations.push_back(row.station);
    out += " do souboru " + output + "\r\nPřevedeno: " + rowCount(rows.size()) + " (" + std::to_string(stations.size()) +
           (stations.size() == 1 ? " stanice" : stations.size() >= 2 && stations.size() <= 4 ? " stanice" : " stanic") +
           ").";
    if (notes.empty())
        return out + "\r\nPoznámky: žádné.";
    out += "\r\nPoznámky:";
    for (const std::string& note : notes)
        out += "\r\n  " + note;
    return out;
}

} // namespace infil::rain
