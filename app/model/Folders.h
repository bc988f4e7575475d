#pragma once
// Where the program reads what it ships and where it writes what it makes.
//
// The program's own files are read-only once installed, so nothing is written
// there: the report working file goes to a folder of this running instance
// alone, in the user's private runtime folder; the user's own files lie in the
// user's data and state folders. main() fills the struct from the platform;
// the batch mode's --app-dir (and the tests) put everything in one folder.

#include <string>
#include <utility>
#include <vector>

namespace infil::model {

struct Folders {
    std::string program;   // the folder of the executable
    std::string data;      // the shipped pages (Webs/): share/infil installed, `program` in the build tree
    std::string userData;  // the user's data (~/.local/share/infil): the rain database, the rain library (rain/)
    std::string userState; // the user's state (~/.local/state/infil)
    std::string runtime;   // the user's private runtime folder; empty: the system's temporary folder
    // When set, report files go straight into this folder instead of one made
    // for this instance (the batch mode's --app-dir).
    std::string reports;
    // A rain database the user names (INFIL_RAIN_DB), looked at first.
    std::string rainDatabase;

    // Everything in one folder: the pages, the rain database, the reports and
    // the user's data (the rain library in its "rain" folder).
    static Folders single(const std::string& folder);

    // Where the rain database is looked for, in this order, without repeats:
    // the named file, the user's data folder, the program's data folder and
    // the program's own folder.
    std::vector<std::string> rainDatabasePlaces() const;
};

// The first of `places` where something exists (an unreadable file is still
// the one meant, and its reader says what is wrong with it); the first place
// when none does.
std::string findRainDatabase(const std::vector<std::string>& places);

// A folder for this running program alone, made on first use inside `base`
// (or the system's temporary folder when that is empty or unusable): new,
// under a name no one could guess, readable by its owner only. It is removed
// with everything in it when the object goes.
class InstanceFolder {
public:
    explicit InstanceFolder(std::string base) : base_(std::move(base)) {}
    ~InstanceFolder();
    InstanceFolder(const InstanceFolder&) = delete;
    InstanceFolder& operator=(const InstanceFolder&) = delete;

    // The folder, made now when needed; empty when none could be made, with
    // the system's error number in *error.
    const std::string& path(int* error = nullptr);
    bool made() const { return !path_.empty(); }

private:
    std::string base_;
    std::string path_;
};

} // namespace infil::model
