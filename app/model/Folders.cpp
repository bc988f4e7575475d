#include "Folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace infil::model {
namespace {

std::string join(const std::string& folder, const char* name)
{
    if (folder.empty())
        return {};
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string systemTemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] == '/' ? std::string(tmp) : std::string("/tmp");
}

} // namespace

Folders Folders::single(const std::string& folder)
{
    Folders f;
    f.program = f.data = f.reports = f.userData = folder;
    return f;
}

std::vector<std::string> Folders::rainDatabasePlaces() const
{
    std::vector<std::string> places;
    for (const std::string& place : {rainDatabase, join(userData, "infil.mdb"), join(data, "infil.mdb"),
                                     join(program, "infil.mdb")}) {
        if (place.empty())
            continue;
        bool seen = false;
        for (const std::string& p : places)
            seen = seen || p == place;
        if (!seen)
            places.push_back(place);
    }
    return places;
}

std::string findRainDatabase(const std::vector<std::string>& places)
{
    for (const std::string& place : places) {
        struct stat st {};
        if (::stat(place.c_str(), &st) == 0)
            return place;
    }
    return places.empty() ? std::string() : places.front();
}

InstanceFolder::~InstanceFolder()
{
    if (path_.empty())
        return;
    // Links inside are removed, not followed; the folder is private anyway.
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

const std::string& InstanceFolder::path(int* error)
{
    if (!path_.empty())
        return path_;
    int lastError = 0;
    for (const std::string& base : {base_, systemTemporaryFolder()}) {
        if (base.empty() || base[0] != '/')
            continue;
        // mkdtemp makes a new folder (never an existing one) with mode 0700.
        std::string name = join(base, "infil-XXXXXX");
        if (::mkdtemp(name.data())) {
            path_ = name;
            return path_;
        }
        lastError = errno;
    }
    if (error)
        *error = lastError;
    return path_;
}

} // namespace infil::model
