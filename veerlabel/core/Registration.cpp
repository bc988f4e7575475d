#include "Registration.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <new>

namespace veer::detail {

namespace {

using Key = RegistryKey;

std::vector<Key> buildKeys()
{
    const std::string veer = guidToString(CLSID_Veer);
    const std::string page = guidToString(CLSID_VeerPage);
    const std::string typeLib = guidToString(LIBID_VEER12Lib);
    const std::string veerKey = "CLSID\\" + veer;
    const std::string pageKey = "CLSID\\" + page;
    const std::string libKey = "TypeLib\\" + typeLib;
    // The type library's entries name the platform the way the original ones
    // name theirs (win32): by system and word size.
    const std::string platformName = sizeof(void*) == 8 ? "linux64" : "linux32";

    std::vector<Key> keys = {
        // Veer
        {"Veer12.Veer.1", Key::Normal, {{"", "Veer Control"}}},
        {"Veer12.Veer.1\\CLSID", Key::Normal, {{"", veer}}},
        {"Veer12.Veer.1\\Insertable", Key::Normal, {}},
        {"Veer12.Veer", Key::Normal, {{"", "Veer Control"}}},
        {"Veer12.Veer\\CLSID", Key::Normal, {{"", veer}}},
        {"Veer12.Veer\\CurVer", Key::Normal, {{"", "Veer12.Veer.1"}}},
        {"CLSID", Key::Keep, {}},
        {veerKey, Key::Replace, {{"", "Veer Control"}}},
        {veerKey + "\\ProgID", Key::Normal, {{"", "Veer12.Veer.1"}}},
        {veerKey + "\\VersionIndependentProgID", Key::Normal, {{"", "Veer12.Veer"}}},
        {veerKey + "\\Programmable", Key::Replace, {}},
        {veerKey + "\\InprocServer32", Key::Normal, {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
        {veerKey + "\\Control", Key::Replace, {}},
        {veerKey + "\\Insertable", Key::Replace, {}},
        {veerKey + "\\ToolboxBitmap32", Key::Replace, {{"", "%MODULE%, 101"}}},
        {veerKey + "\\MiscStatus", Key::Normal, {{"", "0"}}},
        {veerKey + "\\MiscStatus\\1", Key::Normal, {{"", "131473"}}},
        {veerKey + "\\TypeLib", Key::Normal, {{"", typeLib}}},
        {veerKey + "\\Version", Key::Normal, {{"", "1.0"}}},
        {veerKey + "\\Verb", Key::Normal, {}},
        {veerKey + "\\Verb\\0", Key::Normal, {{"", "&Properties...,0,2"}}},
        {veerKey + "\\Verb\\1", Key::Normal, {{"", "&About...,0,3"}}},
        // VeerPage
        {"Veer12.VeerPage.1", Key::Normal, {{"", "VeerPage Class"}}},
        {"Veer12.VeerPage.1\\CLSID", Key::Normal, {{"", page}}},
        {"Veer12.VeerPage", Key::Normal, {{"", "VeerPage Class"}}},
        {"Veer12.VeerPage\\CLSID", Key::Normal, {{"", page}}},
        {"Veer12.VeerPage\\CurVer", Key::Normal, {{"", "Veer12.VeerPage.1"}}},
        {pageKey, Key::Replace, {{"", "VeerPage Class"}}},
        {pageKey + "\\Programmable", Key::Replace, {}},
        {pageKey + "\\InprocServer32", Key::Normal, {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
        // The type library (embedded in the library file) and its interfaces.
        {"TypeLib", Key::Keep, {}},
        {libKey, Key::Shared, {}},
        {libKey + "\\1.0", Key::Replace, {{"", "Veer 1.2 Stacklabel Type Library"}}},
        {libKey + "\\1.0\\409", Key::Normal, {}}, // locale 1033
        {libKey + "\\1.0\\409\\" + platformName, Key::Normal, {{"", "%MODULE%"}}},
        {libKey + "\\1.0\\FLAGS", Key::Normal, {{"", "0"}}},
        {libKey + "\\1.0\\HELPDIR", Key::Normal, {{"", "%MODULEDIR%"}}},
        {"Interface", Key::Keep, {}},
    };
    const std::pair<Guid, const char*> interfaces[] = {{IID_IVeer, "IVeer"}, {DIID__IVeerEvents, "_IVeerEvents"}};
    for (const auto& [iid, name] : interfaces) {
        const std::string key = "Interface\\" + guidToString(iid);
        keys.push_back({key, Key::Replace, {{"", name}}});
        keys.push_back({key + "\\TypeLib", Key::Normal, {{"", typeLib}, {"Version", "1.0"}}});
    }
    return keys;
}

std::string expand(const std::string& text, const std::string& module)
{
    const std::string folder = platform::RegistrationStore::folderOf(module);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 11, "%MODULEDIR%") == 0) {
            out += folder;
            i += 11;
        } else if (text.compare(i, 8, "%MODULE%") == 0) {
            out += module;
            i += 8;
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace

const std::vector<RegistryKey>& registryKeys()
{
    static const std::vector<RegistryKey> keys = buildKeys();
    return keys;
}

std::string modulePath()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}

void registerIn(platform::RegistrationStore& store, const std::string& module)
{
    for (const Key& key : registryKeys())
        if (key.rule == Key::Replace)
            store.deleteTree(key.path);
    for (const Key& key : registryKeys()) {
        store.createKey(key.path);
        for (const auto& [name, value] : key.values)
            store.setValue(key.path, name, expand(value, module));
    }
}

void unregisterIn(platform::RegistrationStore& store)
{
    // Children before parents, so that a shared key sees whether others remain.
    const auto& keys = registryKeys();
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        switch (it->rule) {
        case Key::Keep:
            break;
        case Key::Shared:
            if (store.subkeys(it->path).empty() && store.values(it->path).empty())
                store.deleteTree(it->path);
            break;
        case Key::Normal:
        case Key::Replace:
            store.deleteTree(it->path);
            break;
        }
    }
}

namespace {

template <class Change>
Status changeStore(const std::string& storeFile, Change change)
{
    try {
        platform::StoreLock lock(storeFile);
        if (!lock.locked())
            return SELFREG_E_CLASS;
        platform::RegistrationStore store;
        const auto loaded = platform::RegistrationStore::load(storeFile, &store);
        // Never overwrite entries we could not read, nor carry over into a
        // file of our own what someone else may have written.
        if (loaded == platform::RegistrationStore::LoadResult::Unreadable ||
            loaded == platform::RegistrationStore::LoadResult::Unsafe)
            return SELFREG_E_CLASS;
        if (!change(store, loaded == platform::RegistrationStore::LoadResult::Missing))
            return S_OK;
        return store.save(storeFile) ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

Status registerServer(const std::string& storeFile, const std::string& module)
{
    if (module.empty() || module.front() != '/')
        return SELFREG_E_CLASS;
    return changeStore(storeFile, [&](platform::RegistrationStore& store, bool) {
        registerIn(store, module);
        return true;
    });
}

Status unregisterServer(const std::string& storeFile)
{
    return changeStore(storeFile, [](platform::RegistrationStore& store, bool missing) {
        if (missing)
            return false; // nothing registered: leave no file behind
        unregisterIn(store);
        return true;
    });
}

} // namespace veer::detail
