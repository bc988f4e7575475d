#pragma once
// What the library writes into the per-user registration store when it
// registers itself: the keys of both classes, of their ProgIDs and of the
// type library, and how registering and unregistering treat each key.

#include <Veer12/Veer12.h>

#include <RegistrationStore.h>

#include <string>
#include <utility>
#include <vector>

namespace veer::detail {

struct RegistryKey {
    enum Rule {
        Normal,  // created or merged; removed by unregistering
        Keep,    // created when missing; never removed (shared with other servers)
        Replace, // removed with all it holds before registering writes it anew
        Shared,  // like Normal, but removed only when nothing else lies below it
    };
    std::string path;
    Rule rule = Normal;
    // name ("" is the default value), value; "%MODULE%" stands for the
    // library's absolute path and "%MODULEDIR%" for its folder.
    std::vector<std::pair<std::string, std::string>> values;
};

// Both classes' entries, then the type library's, parents before children.
const std::vector<RegistryKey>& registryKeys();

// The absolute path of the library file this code is in.
std::string modulePath();

// Register and unregister in a store in memory.
void registerIn(platform::RegistrationStore& store, const std::string& module);
void unregisterIn(platform::RegistrationStore& store);

// The same on the store file, under its lock. A store that exists but cannot
// be read, or that another user may have written, is left alone and the
// result is SELFREG_E_CLASS, as for a store that cannot be written.
Status registerServer(const std::string& storeFile, const std::string& module);
Status unregisterServer(const std::string& storeFile);

} // namespace veer::detail
