#include "rain/RainLibrary.h"

#include "ReferenceTables.h"
#include "ReportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

namespace infil::rain {
namespace {

namespace fs = std::filesystem;

// Position of a station in the station list, for ordering.
int listPosition(std::int16_t station)
{
    const ProjectRecord& tables = referenceTables();
    for (int k = 1; k <= 92; ++k)
        if (tables.StationIds[k] == station)
            return k;
    return 1000 + station;
}

bool before(const RainRow& a, const RainRow& b)
{
    const int pa = listPosition(a.station);
    const int pb = listPosition(b.station);
    if (pa != pb)
        return pa < pb;
    if (a.periodicity != b.periodicity)
        return a.periodicity < b.periodicity;
    return a.source < b.source;
}

bool endsWith(const std::string& text, std::string_view tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string lineBreak() { return "\r\n"; }

// The process's file creation mask, read once (reading it means setting it).
mode_t creationMask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string rowCount(std::size_t n)
{
    const char* word = n == 1 ? "řádek" : (n >= 2 && n <= 4) ? "řádky" : "řádků";
    return std::to_string(n) + " " + word;
}

std::string fileNameFor(const std::string& source)
{
    // Czech letters lose their marks; every other run of signs becomes a dash.
    static const std::map<std::string, char> letters = {
        {"á", 'a'}, {"č", 'c'}, {"ď", 'd'}, {"é", 'e'}, {"ě", 'e'}, {"í", 'i'}, {"ň", 'n'}, {"ó", 'o'},
        {"ř", 'r'}, {"š", 's'}, {"ť", 't'}, {"ú", 'u'}, {"ů", 'u'}, {"ý", 'y'}, {"ž", 'z'}, {"Á", 'a'},
        {"Č", 'c'}, {"Ď", 'd'}, {"É", 'e'}, {"Ě", 'e'}, {"Í", 'i'}, {"Ň", 'n'}, {"Ó", 'o'}, {"Ř", 'r'},
        {"Š", 's'}, {"Ť", 't'}, {"Ú", 'u'}, {"Ů", 'u'}, {"Ý", 'y'}, {"Ž", 'z'}, {"ä", 'a'}, {"ö", 'o'},
        {"ü", 'u'}, {"ß", 's'}};
    std::string name;
    bool dash = false;
    for (std::size_t i = 0; i < source.size();) {
        const auto c = static_cast<unsigned char>(source[i]);
        char out = 0;
        std::size_t length = 1;
        if (std::isalnum(c) && c < 0x80) {
            out = static_cast<char>(std::tolower(c));
        } else if (c >= 0x80) {
            length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (const auto found = letters.find(source.substr(i, length)); found != letters.end())
                out = found->second;
        }
        i += length;
        if (out) {
            if (dash && !name.empty())
                name += '-';
            name += out;
            dash = false;
        } else {
            dash = true;
        }
        if (name.size() >= 60)
            break;
    }
    return name.empty() ? std::string("zdroj") : name;
}

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes, std::string* reason)
{
    auto fail = [&](std::string why) -> std::optional<std::string> {
        if (reason)
            *reason = std::move(why);
        return std::nullopt;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(errno == ENOENT ? "soubor neexistuje" : report::FileErrorReason(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(report::FileErrorReason(errno));
    if (!S_ISREG(st.st_mode))
        return fail("na tomto místě není soubor (je to složka nebo zařízení)");
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return fail("soubor je příliš velký (" + std::to_string(st.st_size / 1024) + " kB, nejvýše " +
                    std::to_string(maxBytes / 1024) + " kB)");
    std::string bytes;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(report::FileErrorReason(errno));
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > maxBytes)
            return fail("soubor je příliš velký (nejvýše " + std::to_string(maxBytes / 1024) + " kB)");
    }
    return bytes;
}

WriteResult replaceFiles(const std::vector<FileChange>& changes)
{
    struct Staged {
        std::string temp;
        std::string path;
    };
    std::vector<Staged> staged;
    auto discard = [&] {
        for (const Staged& s : staged)
            ::unlink(s.temp.c_str());
    };
    for (const FileChange& change : changes) {
        if (!change.content)
            continue;
        struct stat st {};
        if (::lstat(change.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            discard();
            return {false, change.path + ": na tomto místě je složka"};
        }
        const std::string folder = parentOf(change.path);
        std::string temp = folder + "/.infil-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0) {
            const int error = errno;
            discard();
            return {false, folder + ": " + report::FileErrorReason(error)};
        }
        staged.push_back({temp, change.path});
        // Readable like any file the user keeps (mkstemp made it private).
        ::fchmod(fd, 0644 & ~creationMask());
        const bool written = report::WriteAllBytes(fd, *change.content) && ::fsync(fd) == 0;
        const int error = errno;
        if (::close(fd) != 0 || !written) {
            discard();
            return {false, change.path + ": " + report::FileErrorReason(written ? errno : error)};
        }
    }
    for (const Staged& s : staged) {
        if (::rename(s.temp.c_str(), s.path.c_str()) != 0) {
            const int error = errno;
            discard();
            return {false, s.path + ": " + report::FileErrorReason(error)};
        }
    }
    for (const FileChange& change : changes)
        if (!change.content && ::unlink(change.path.c_str()) != 0 && errno != ENOENT)
            return {false, change.path + ": " + report::FileErrorReason(errno)};
    std::set<std::string> folders;
    for (const FileChange& change : changes)
        folders.insert(parentOf(change.path));
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    return {};
}

// ---------------------------------------------------------------------------

RainLibrary::RainLibrary(std::string folder) : folder_(std::move(folder))
{
    reload();
}

void RainLibrary::reload()
{
    stored_.clear();
    problems_.clear();
    untidyFiles_.clear();
    std::error_code ec;
    if (folder_.empty() || !fs::is_directory(folder_, ec))
        return;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (endsWith(name, ".csv") && name.front() != '.')
            names.push_back(name);
    }
    if (ec)
        problems_.push_back(folder_ + ": složku knihovny nelze přečíst (" + report::FileErrorReason(ec.value()) + ")");
    std::sort(names.begin(), names.end());

    std::map<std::pair<std::int16_t, int>, std::string> seen; // -> file
    for (const std::string& name : names) {
        std::string reason;
        const auto bytes = readWholeFile(folder_ + "/" + name, kMaxRainCsvBytes, &reason);
        if (!bytes) {
            problems_.push_back(name + ": soubor nelze přečíst (" + reason + ")");
            untidyFiles_.push_back(name);
            continue;
        }
        const CsvReading reading = readRainCsv(*bytes);
        if (reading.status != CsvReading::Status::Read) {
            problems_.push_back(name + ": " + reading.problem);
            untidyFiles_.push_back(name);
            continue;
        }
        for (const RejectedRow& bad : reading.rejected)
            problems_.push_back(name + ", řádek " + std::to_string(bad.line) + ": " + bad.reason);
        bool untidy = !reading.rejected.empty();
        for (const RainRow& row : reading.rows) {
            const auto key = std::make_pair(row.station, row.periodicity);
            if (const auto other = seen.find(key); other != seen.end()) {
                problems_.push_back(name + ", řádek " + std::to_string(row.line) + ": stanici " +
                                    stationLabel(row.station) + " s periodicitou " + periodicityText(row.periodicity) +
                                    " už má soubor " + other->second + "; řádek se nepoužije");
                untidy = true;
                continue;
            }
            seen.emplace(key, name);
            stored_.push_back({row, name});
        }
        if (untidy)
            untidyFiles_.push_back(name);
    }
}

std::vector<RainRow> RainLibrary::rows() const
{
    std::vector<RainRow> all;
    for (const Stored& s : stored_)
        all.push_back(s.row);
    std::sort(all.begin(), all.end(), before);
    return all;
}

const RainRow* RainLibrary::find(std::int16_t station, int periodicity) const
{
    for (const Stored& s : stored_)
        if (s.row.station == station && s.row.periodicity == periodicity)
            return &s.row;
    return nullptr;
}

bool RainLibrary::holds(std::int16_t station) const
{
    return std::any_of(stored_.begin(), stored_.end(), [&](const Stored& s) { return s.row.station == station; });
}

std::vector<RainLibrary::Entry> RainLibrary::entries() const
{
    std::vector<Entry> list;
    for (const RainRow& row : rows()) {
        auto it = std::find_if(list.begin(), list.end(),
                               [&](const Entry& e) { return e.station == row.station && e.source == row.source; });
        if (it == list.end()) {
            list.push_back({row.station, row.source, {}});
            it = list.end() - 1;
        }
        it->periodicities.push_back(row.periodicity);
    }
    return list;
}

std::string RainLibrary::fileFor(const std::string& source) const
{
    // The source's own file, unless it holds another source's rows or rows
    // the library could not read (then a fresh one).
    const std::string base = fileNameFor(source);
    for (int n = 1;; ++n) {
        const std::string name = base + (n == 1 ? "" : "-" + std::to_string(n)) + ".csv";
        // A folder that cannot be looked into gives the first name; writing
        // there will then say why it fails.
        std::error_code ec;
        if (!fs::exists(folder_ + "/" + name, ec) || ec)
            return name;
        const bool untidy = std::find(untidyFiles_.begin(), untidyFiles_.end(), name) != untidyFiles_.end();
        const bool foreign = std::any_of(stored_.begin(), stored_.end(),
                                         [&](const Stored& s) { return s.file == name && s.row.source != source; });
        if (!untidy && !foreign)
            return name;
    }
}

WriteResult RainLibrary::rewrite(const std::vector<std::string>& files, const std::vector<Stored>& rows)
{
    if (folder_.empty())
        return {false, "Knihovnu intenzit deště nelze zapsat: není známa složka uživatelských dat "
                       "(proměnná HOME není nastavena)."};
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec)
        return {false, "Složku knihovny " + folder_ + " nelze vytvořit: " + report::FileErrorReason(ec.value()) + "."};
    std::vector<FileChange> changes;
    for (const std::string& file : files) {
        std::vector<RainRow> content;
        for (const Stored& s : rows)
            if (s.file == file)
                content.push_back(s.row);
        std::sort(content.begin(), content.end(), before);
        FileChange change{folder_ + "/" + file, std::nullopt};
        if (!content.empty())
            change.content = writeRainCsv(content);
        changes.push_back(std::move(change));
    }
    WriteResult result = replaceFiles(changes);
    if (!result.ok) {
        result.reason = "Knihovnu intenzit deště nelze zapsat: " + result.reason + ". Knihovna zůstává beze změny.";
        return result;
    }
    stored_ = rows;
    return result;
}

WriteResult RainLibrary::addRows(const std::vector<RainRow>& rows)
{
    std::vector<Stored> next = stored_;
    std::vector<std::string> files;
    for (const RainRow& row : rows) {
        const std::string file = fileFor(row.source);
        next.push_back({row, file});
        if (std::find(files.begin(), files.end(), file) == files.end())
            files.push_back(file);
    }
    return rewrite(files, next);
}

WriteResult RainLibrary::add(const RainRow& row)
{
    if (const RainRow* held = find(row.station, row.periodicity))
        return {false, "Knihovna už obsahuje intenzity stanice " + stationLabel(row.station) + " pro periodicitu " +
                           periodicityText(row.periodicity) + " (zdroj „" + held->source +
                           "“). Chcete-li je nahradit, smažte nejprve tento záznam v knihovně."};
    return addRows({row});
}

WriteResult RainLibrary::remove(std::int16_t station, const std::string& source)
{
    std::vector<Stored> next;
    std::vector<std::string> files;
    for (const Stored& s : stored_) {
        if (s.row.station == station && s.row.source == source) {
            if (std::find(untidyFiles_.begin(), untidyFiles_.end(), s.file) != untidyFiles_.end())
                return {false, "Záznam nelze smazat: soubor " + folder_ + "/" + s.file +
                                   " obsahuje i řádky, které program nepřečetl, a ty by se přepsáním ztratily. "
                                   "Opravte nebo smažte ho ručně."};
            if (std::find(files.begin(), files.end(), s.file) == files.end())
                files.push_back(s.file);
        } else {
            next.push_back(s);
        }
    }
    if (files.empty())
        return {false, "Knihovna neobsahuje intenzity stanice " + stationLabel(station) + " ze zdroje „" + source +
                           "“."};
    return rewrite(files, next);
}

ImportReport RainLibrary::importFile(const std::string& path)
{
    std::string reason;
    const auto bytes = readWholeFile(path, kMaxRainCsvBytes, &reason);
    if (!bytes) {
        ImportReport report;
        report.file = path;
        report.reading.status = CsvReading::Status::NotText;
        report.reading.problem = "Soubor nelze přečíst: " + reason + ".";
        return report;
    }
    return importBytes(*bytes, path);
}

ImportReport RainLibrary::importBytes(std::string_view bytes, const std::string& name)
{
    ImportReport report;
    report.file = name;
    report.reading = readRainCsv(bytes);
    if (report.reading.status != CsvReading::Status::Read)
        return report;
    report.refused = report.reading.rejected;
    for (const RainRow& row : report.reading.rows) {
        const RainRow* held = find(row.station, row.periodicity);
        if (!held) {
            report.imported.push_back(row);
        } else if (*held == row) {
            report.unchanged.push_back(row);
        } else {
            report.refused.push_back(
                {row.line, "knihovna už obsahuje stanici " + stationLabel(row.station) + " s periodicitou " +
                               periodicityText(row.periodicity) + " (zdroj „" + held->source +
                               "“); chcete-li hodnoty nahradit, smažte nejprve záznam v knihovně"});
        }
    }
    std::sort(report.refused.begin(), report.refused.end(),
              [](const RejectedRow& a, const RejectedRow& b) { return a.line < b.line; });
    if (!report.imported.empty())
        report.written = addRows(report.imported);
    return report;
}

WriteResult RainLibrary::exportTo(const std::string& path) const
{
    WriteResult result = replaceFiles({{path, writeRainCsv(rows())}});
    if (!result.ok)
        result.reason = "Soubor nelze zapsat: " + result.reason + ".";
    return result;
}

std::string ImportReport::text() const
{
    std::string out = "Import intenzit deště ze souboru " + file;
    if (reading.status != CsvReading::Status::Read)
        return out + lineBreak() + reading.problem + lineBreak() + "Nic nebylo převzato.";
    out += lineBreak() + "Rozpoznáno: " + reading.dialect.describe() + ".";
    if (!written.ok) {
        out += lineBreak() + written.reason + lineBreak() + "Nic nebylo převzato.";
    } else {
        out += lineBreak() + "Převzato do knihovny: " + rowCount(imported.size());
        // "Brno (84): 0.2, 0.1; Hamry (6): 1", stations in the file's order.
        std::vector<std::pair<std::int16_t, std::string>> stations;
        for (const RainRow& row : imported) {
            auto it = std::find_if(stations.begin(), stations.end(), [&](const auto& s) { return s.first == row.station; });
            if (it == stations.end())
                stations.push_back({row.station, periodicityText(row.periodicity)});
            else
                it->second += ", " + periodicityText(row.periodicity);
        }
        std::string detail;
        for (const auto& [station, periodicities] : stations)
            detail += (detail.empty() ? "" : "; ") + stationLabel(station) + ": " + periodicities;
        if (!detail.empty())
            out += " (" + detail + ")";
        out += ".";
    }
    if (!unchanged.empty())
        out += lineBreak() + "Již v knihovně se stejnými hodnotami: " + rowCount(unchanged.size()) + ".";
    if (refused.empty()) {
        out += lineBreak() + "Odmítnuto: nic.";
    } else {
        out += lineBreak() + "Odmítnuto: " + rowCount(refused.size()) + ":";
        for (const RejectedRow& bad : refused)
            out += lineBreak() + "  řádek " + std::to_string(bad.line) + ": " + bad.reason;
    }
    return out;
}

} // namespace infil::rain
