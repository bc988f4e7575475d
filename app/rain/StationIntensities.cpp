#include "rain/StationIntensities.h"

#include "NumberFormat.h"

#include "rain/DatabaseFile.h"
#include "rain/Isolated.h"
#include "rain/MdbReader.h"
#include "rain/StationTable.h"

#include <cstring>
#include <span>
#include <type_traits>

namespace infil::rain {

namespace {

enum class Outcome : std::int32_t {
    Loaded,
    NoSuchTable,
    NoRows,
    TableDamaged,
    NotReadable,   // libmdb could not open the image or read its catalogue
    ReaderFailed,  // the child crashed or returned nonsense
    ReaderTimedOut,
    ReaderNotStarted,
    Implausible    // the table holds an intensity no rain has
};

// What the child sends back: the whole outcome in one fixed-size block.
struct Packet {
    std::uint32_t magic = 0;
    Outcome outcome = Outcome::ReaderFailed;
    std::int16_t durations[9] = {};
    float intensities[7][9] = {};
    TableGaps gaps;
};
static_assert(std::is_trivially_copyable_v<Packet>);
constexpr std::uint32_t kMagic = 0x52414931; // "RAI1"

Outcome outcomeOf(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Loaded: return Outcome::Loaded;
    case ReadStatus::NoSuchTable: return Outcome::NoSuchTable;
    case ReadStatus::NoRows: return Outcome::NoRows;
    case ReadStatus::Damaged: return Outcome::TableDamaged;
    case ReadStatus::Implausible: return Outcome::Implausible;
    }
    return Outcome::ReaderFailed;
}

Packet readImage(std::span<unsigned char> image, std::int16_t stationId, const StationDurationTable& durations,
                 const StationIntensityTable& intensities)
{
    Packet packet;
    packet.magic = kMagic;
    auto database = MdbDatabase::open(image);
    if (!database) {
        packet.outcome = Outcome::NotReadable;
        return packet;
    }
    StationDurationTable d = durations;
    StationIntensityTable t = intensities;
    packet.outcome = outcomeOf(readStationTable(*database, stationId, d, t, &packet.gaps));
    for (int r = 1; r <= 9; ++r) {
        packet.durations[r - 1] = d[r];
        for (int k = 1; k <= 7; ++k)
            packet.intensities[k - 1][r - 1] = t[k][r];
    }
    return packet;
}

std::string toBytes(const Packet& packet)
{
    std::string bytes(sizeof packet, '\0');
    std::memcpy(bytes.data(), &packet, sizeof packet);
    return bytes;
}

Packet fromBytes(const std::string& bytes)
{
    Packet packet;
    if (bytes.size() != sizeof packet)
        return packet; // magic 0: rejected below
    std::memcpy(&packet, bytes.data(), sizeof packet);
    return packet;
}

const char* const kKeptNote = "\r\n\r\nDosavadní intenzity deště zůstávají beze změny.";

std::string shownPath(const std::string& path)
{
    return path.empty() ? std::string("(cesta není zadána)") : path;
}

Message warning(std::string text)
{
    return Message{MessageIcon::Exclamation, std::string(kAppTitle), std::move(text) + kKeptNote};
}

Message fileMessage(FileStatus status, const std::string& path, const std::vector<std::string>& searched)
{
    if (status == FileStatus::Missing) {
        std::string where = "Hledaný soubor: " + shownPath(path);
        if (searched.size() > 1) {
            where = "Hledané soubory:";
            for (const std::string& place : searched)
                where += "\r\n  " + place;
        }
        return warning("Databáze intenzit deště nebyla nalezena.\r\n" + where +
                       "\r\n\r\nIntenzity deště lze zadat ručně volbou „(Vlastní hodnoty)“.");
    }
    return warning("Databázi intenzit deště nelze přečíst.\r\nSoubor: " + path + "\r\n" + fileStatusText(status));
}

Message readMessage(const Packet& packet, std::int16_t stationId, const std::string& path)
{
    const std::string table = stationTableName(stationId);
    switch (packet.outcome) {
    case Outcome::Implausible:
        return warning("Tabulka " + table + " v databázi intenzit deště obsahuje nepřípustnou intenzitu " +
                       num::plain(static_cast<float>(packet.gaps.badValue)) + " l/(s.ha) (řádek " +
                       std::to_string(packet.gaps.badRow) + ", periodicita č. " +
                       std::to_string(packet.gaps.badPeriodicity) +
                       "); intenzita musí být nezáporná a menší než " +
                       num::plain(static_cast<float>(kImplausibleIntensity)) +
                       ". Údaje stanice se nepoužijí.\r\nSoubor: " + path);
    case Outcome::NoSuchTable:
        return warning("V databázi intenzit deště nejsou údaje vybrané stanice (identifikátor " +
                       std::to_string(stationId) + "): chybí tabulka " + table + ".\r\nSoubor: " + path);
    case Outcome::NoRows:
        return warning("Tabulka " + table + " v databázi intenzit deště neobsahuje žádné řádky.\r\nSoubor: " + path);
    case Outcome::TableDamaged:
        return warning("Tabulku " + table + " v databázi intenzit deště nelze přečíst, databáze je poškozená.\r\nSoubor: " +
                       path);
    case Outcome::NotReadable:
        return warning("Databázi intenzit deště nelze přečíst, soubor je poškozený.\r\nSoubor: " + path);
    case Outcome::ReaderTimedOut:
        return warning("Čtení databáze intenzit deště trvalo příliš dlouho a bylo přerušeno; soubor je "
                       "zřejmě poškozený.\r\nSoubor: " +
                       path);
    case Outcome::ReaderNotStarted:
        return warning("Databázi intenzit deště nelze přečíst: systém nedovolil spustit čtení.\r\nSoubor: " + path);
    case Outcome::ReaderFailed:
    case Outcome::Loaded: break;
    }
    return warning("Čtení databáze intenzit deště selhalo; soubor je zřejmě poškozený.\r\nSoubor: " + path);
}

// "\r\nperiodicita 0.2: 15, 20 min" for every periodicity with empty slots.
std::string gapsText(const ProjectRecord& record, const TableGaps& gaps)
{
    std::string text;
    for (int k = 1; k <= 7; ++k) {
        if (gaps.missing[k - 1] == 0)
            continue;
        std::string durations;
        for (int r = 1; r <= 9; ++r)
            if (gaps.missing[k - 1] & (1u << (r - 1)))
                durations += (durations.empty() ? "" : ", ") + num::plain(record.RainDurations[r]);
        text += "\r\nperiodicita " + num::plain(record.Periodicities[k]) + ": " + durations + " min";
    }
    return text;
}

} // namespace

bool LoadStationIntensities(ProjectRecord& record, std::int16_t stationId, const std::string& databasePath,
                            MessagePort& messages, const LoadOptions& options)
{
    DatabaseImage image = loadDatabaseImage(databasePath);
    if (image.status != FileStatus::Ok) {
        messages.showMessage(fileMessage(image.status, databasePath, options.searched));
        return false;
    }

    Packet packet;
    if (options.isolate) {
        const ChildResult child = runInChild(
            [&] { return toBytes(readImage(image.bytes, stationId, record.StationDurations, record.StationIntensities)); },
            options.timeout);
        switch (child.outcome) {
        case ChildResult::Outcome::Completed:
            packet = fromBytes(child.bytes);
            if (packet.magic != kMagic || packet.outcome < Outcome::Loaded ||
                packet.outcome > Outcome::Implausible)
                packet.outcome = Outcome::ReaderFailed;
            break;
        case ChildResult::Outcome::Failed: packet.outcome = Outcome::ReaderFailed; break;
        case ChildResult::Outcome::TimedOut: packet.outcome = Outcome::ReaderTimedOut; break;
        case ChildResult::Outcome::NotStarted: packet.outcome = Outcome::ReaderNotStarted; break;
        }
    } else {
        packet = readImage(image.bytes, stationId, record.StationDurations, record.StationIntensities);
    }

    if (packet.outcome != Outcome::Loaded) {
        messages.showMessage(readMessage(packet, stationId, databasePath));
        return false;
    }
    for (int r = 1; r <= 9; ++r) {
        record.StationDurations[r] = packet.durations[r - 1];
        for (int k = 1; k <= 7; ++k)
            record.StationIntensities[k][r] = packet.intensities[k - 1][r - 1];
    }
    if (const std::string gaps = gapsText(record, packet.gaps); !gaps.empty())
        messages.showMessage({MessageIcon::Exclamation, std::string(kAppTitle),
                              "V tabulce " + stationTableName(stationId) +
                                  " chybí některé intenzity deště; počítá se místo nich s nulou:" + gaps});
    return true;
}

} // namespace infil::rain
