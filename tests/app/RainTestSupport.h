#pragma once
// Helpers for the tests of the rain database reader: the fixtures folder, a
// temporary folder, and tables held in memory.

#include "rain/TableReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace infil::test {

// The shared fixtures; INFIL_FIXTURES_DIR in the environment overrides the
// folder the build names. Empty when neither exists.
inline std::filesystem::path fixturesDir()
{
    if (const char* env = std::getenv("INFIL_FIXTURES_DIR"); env && *env && std::filesystem::is_directory(env))
        return env;
#ifdef INFIL_FIXTURES_DIR
    if (std::filesystem::is_directory(INFIL_FIXTURES_DIR))
        return INFIL_FIXTURES_DIR;
#endif
    return {};
}

// Sets a locale with a decimal comma (Czech where installed) for the life of
// the object, as QApplication does in the program, and restores the old one.
class CzechLocale {
public:
    CzechLocale() : saved_(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"cs_CZ.UTF-8", "cs_CZ.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ~CzechLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "infil-rain-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!path_.empty()) {
            // Restore rights a test may have taken away, so everything can go.
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(path_, ignored);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A table held in memory. Each row maps column names (compared without case) to
// a number or to nullopt for NULL; a column absent from a row's map does not
// exist for that row.
// What the reader asked of a memory table.
struct TableLog {
    int rowsAsked = 0; // calls of nextRow
};

class MemoryTable : public rain::Table {
public:
    using Row = std::map<std::string, std::optional<double>>;
    MemoryTable(std::vector<Row> rows, bool endedEarly, TableLog& log)
        : rows_(std::move(rows)), endedEarly_(endedEarly), log_(log)
    {
    }

    bool nextRow() override
    {
        ++next_;
        ++log_.rowsAsked;
        return next_ <= static_cast<int>(rows_.size());
    }
    rain::Cell read(std::string_view column) override
    {
        if (next_ < 1 || next_ > static_cast<int>(rows_.size()))
            return rain::Cell::unreadable();
        for (const auto& [name, value] : rows_[static_cast<std::size_t>(next_ - 1)]) {
            if (equalNoCase(name, column))
                return value ? rain::Cell::number(*value) : rain::Cell::unreadable();
        }
        return rain::Cell::missing();
    }
    bool endedEarly() const override { return endedEarly_; }

private:
    static bool equalNoCase(std::string_view a, std::string_view b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    }
    std::vector<Row> rows_;
    bool endedEarly_;
    TableLog& log_;
    int next_ = 0;
};

// Hands out one table under one name.
class MemorySource : public rain::TableSource {
public:
    MemorySource(std::string name, std::vector<MemoryTable::Row> rows, bool endedEarly = false)
        : name_(std::move(name)), rows_(std::move(rows)), endedEarly_(endedEarly)
    {
    }
    Result openTable(const std::string& name) override
    {
        if (damaged)
            return {Status::Damaged, nullptr};
        if (name != name_)
            return {Status::NoSuchTable, nullptr};
        return {Status::Opened, std::make_unique<MemoryTable>(rows_, endedEarly_, log)};
    }

    bool damaged = false;
    TableLog log;

private:
    std::string name_;
    std::vector<MemoryTable::Row> rows_;
    bool endedEarly_;
};

} // namespace infil::test
