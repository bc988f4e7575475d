// The registration store and what registering and unregistering the library
// write into it.

#include "core/Registration.h"

#include <RegistrationStore.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace veer::test {
namespace {

using platform::RegistrationStore;
namespace fs = std::filesystem;

const std::string kModule = "/opt/veer/lib/libVeer12.so";
const std::string kVeer = "CLSID\\{AC21760D-5B12-11D4-A41F-94EBAB2B3626}";
const std::string kPage = "CLSID\\{AC21760F-5B12-11D4-A41F-94EBAB2B3626}";
const std::string kTypeLib = "TypeLib\\{AC217600-5B12-11D4-A41F-94EBAB2B3626}";

// Every key with its values as the two class tables and the type library
// registration give them ("" is the default value).
struct Expected {
    std::string key;
    std::vector<std::pair<std::string, std::string>> values;
};
const std::vector<Expected>& expectedKeys()
{
    static const std::vector<Expected> keys = {
        {"Veer12.Veer.1", {{"", "Veer Control"}}},
        {"Veer12.Veer.1\\CLSID", {{"", "{AC21760D-5B12-11D4-A41F-94EBAB2B3626}"}}},
        {"Veer12.Veer.1\\Insertable", {}},
        {"Veer12.Veer", {{"", "Veer Control"}}},
        {"Veer12.Veer\\CLSID", {{"", "{AC21760D-5B12-11D4-A41F-94EBAB2B3626}"}}},
        {"Veer12.Veer\\CurVer", {{"", "Veer12.Veer.1"}}},
        {kVeer, {{"", "Veer Control"}}},
        {kVeer + "\\ProgID", {{"", "Veer12.Veer.1"}}},
        {kVeer + "\\VersionIndependentProgID", {{"", "Veer12.Veer"}}},
        {kVeer + "\\Programmable", {}},
        {kVeer + "\\InprocServer32", {{"", kModule}, {"ThreadingModel", "Apartment"}}},
        {kVeer + "\\Control", {}},
        {kVeer + "\\Insertable", {}},
        {kVeer + "\\ToolboxBitmap32", {{"", kModule + ", 101"}}},
        {kVeer + "\\MiscStatus", {{"", "0"}}},
        {kVeer + "\\MiscStatus\\1", {{"", "131473"}}},
        {kVeer + "\\TypeLib", {{"", "{AC217600-5B12-11D4-A41F-94EBAB2B3626}"}}},
        {kVeer + "\\Version", {{"", "1.0"}}},
        {kVeer + "\\Verb\\0", {{"", "&Properties...,0,2"}}},
        {kVeer + "\\Verb\\1", {{"", "&About...,0,3"}}},
        {"Veer12.VeerPage.1", {{"", "VeerPage Class"}}},
        {"Veer12.VeerPage.1\\CLSID", {{"", "{AC21760F-5B12-11D4-A41F-94EBAB2B3626}"}}},
        {"Veer12.VeerPage", {{"", "VeerPage Class"}}},
        {"Veer12.VeerPage\\CLSID", {{"", "{AC21760F-5B12-11D4-A41F-94EBAB2B3626}"}}},
        {"Veer12.VeerPage\\CurVer", {{"", "Veer12.VeerPage.1"}}},
        {kPage, {{"", "VeerPage Class"}}},
        {kPage + "\\Programmable", {}},
        {kPage + "\\InprocServer32", {{"", kModule}, {"ThreadingModel", "Apartment"}}},
        {kTypeLib + "\\1.0", {{"", "Veer 1.2 Stacklabel Type Library"}}},
        {kTypeLib + "\\1.0\\409\\linux64", {{"", kModule}}},
        {kTypeLib + "\\1.0\\HELPDIR", {{"", "/opt/veer/lib"}}},
    };
    return keys;
}

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempFolder {
public:
    TempFolder()
    {
        char name[] = "/tmp/veer-reg-XXXXXX";
        path_ = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

TEST(RegistrationStore, KeepsKeysAndValuesThroughItsTextForm)
{
    RegistrationStore store;
    ASSERT_TRUE(store.setValue("A\\B", "", "path with \"quotes\", a \\ and\na line break"));
    ASSERT_TRUE(store.setValue("A\\B", "Name", "x"));
    ASSERT_TRUE(store.createKey("A\\Empty"));
    // Names are compared without case; the first spelling stays.
    ASSERT_TRUE(store.setValue("a\\b", "NAME", "y"));
    EXPECT_EQ(store.value("A\\b", "name"), "y");

    std::string error;
    auto back = RegistrationStore::parse(store.serialize(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->value("A\\B"), "path with \"quotes\", a \\ and\na line break");
    EXPECT_EQ(back->value("A\\B", "Name"), "y");
    EXPECT_TRUE(back->hasKey("A\\Empty"));
    EXPECT_TRUE(back->hasKey("A")); // parents exist with their children
    EXPECT_EQ(back->subkeys("A"), (std::vector<std::string>{"B", "Empty"}));
}

TEST(RegistrationStore, RefusesMalformedTextAndNames)
{
    std::string error;
    EXPECT_FALSE(RegistrationStore::parse("[A]\n@=\"unterminated\n", &error));
    EXPECT_EQ(error.rfind("line 2", 0), 0u) << error;
    EXPECT_FALSE(RegistrationStore::parse("@=\"outside a key\"\n"));
    EXPECT_FALSE(RegistrationStore::parse("[A\\\\B]\n")); // an empty key name
    EXPECT_FALSE(RegistrationStore::parse("[A]\nName=\"unquoted name\"\n"));
    EXPECT_TRUE(RegistrationStore::parse("; comment\r\n\r\n[A]\r\n@=\"x\"\r\n"));

    RegistrationStore store;
    EXPECT_FALSE(store.createKey(""));
    EXPECT_FALSE(store.createKey("A\\line\nbreak"));
    EXPECT_FALSE(store.setValue("A", "bad\nname", "x"));
    EXPECT_TRUE(store.empty());
}

TEST(RegistrationStore, DeletingAKeyLeavesKeysThatOnlyShareItsSpelling)
{
    RegistrationStore store;
    for (const char* key : {"Veer12.Veer\\CLSID", "Veer12.Veer.1\\CLSID", "Veer12.Veer 2", "Veer12.VeerPage"})
        store.createKey(key);
    EXPECT_TRUE(store.deleteTree("VEER12.VEER"));
    EXPECT_FALSE(store.hasKey("Veer12.Veer\\CLSID"));
    EXPECT_TRUE(store.hasKey("Veer12.Veer.1\\CLSID"));
    EXPECT_TRUE(store.hasKey("Veer12.Veer 2"));
    EXPECT_TRUE(store.hasKey("Veer12.VeerPage"));
    EXPECT_FALSE(store.deleteTree("Veer12.Veer"));
}

TEST(Registration, WritesEveryKeyAndValueOfBothClassesAndTheTypeLibrary)
{
    RegistrationStore store;
    detail::registerIn(store, kModule);
    for (const Expected& e : expectedKeys()) {
        ASSERT_TRUE(store.hasKey(e.key)) << e.key;
        EXPECT_EQ(store.values(e.key), e.values) << e.key;
    }
    // A host follows the ProgID to the class and its library.
    auto server = platform::findInprocServer(store, "Veer12.Veer.1");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->clsid, "{AC21760D-5B12-11D4-A41F-94EBAB2B3626}");
    EXPECT_EQ(server->library, kModule);
    EXPECT_EQ(parseGuid(server->clsid), CLSID_Veer);
}

TEST(Registration, UnregisteringRemovesTheEntriesAndKeepsSharedKeys)
{
    RegistrationStore store;
    // Another server's class, and another version of the type library.
    store.setValue("CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32", "", "/other.so");
    store.setValue(kTypeLib + "\\1.1", "", "a later version");
    detail::registerIn(store, kModule);
    detail::unregisterIn(store);

    for (const Expected& e : expectedKeys())
        EXPECT_FALSE(store.hasKey(e.key)) << e.key;
    for (const char* kept : {"CLSID", "TypeLib", "Interface"})
        EXPECT_TRUE(store.hasKey(kept)) << kept;
    EXPECT_EQ(store.value("CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32"), "/other.so");
    EXPECT_TRUE(store.hasKey(kTypeLib + "\\1.1"));
    EXPECT_FALSE(platform::findInprocServer(store, "Veer12.Veer.1"));

    // Alone, the type library's key goes too.
    store.deleteTree(kTypeLib + "\\1.1");
    detail::registerIn(store, kModule);
    detail::unregisterIn(store);
    EXPECT_FALSE(store.hasKey(kTypeLib));
}

TEST(Registration, RegisteringAgainReplacesTheReplaceKeysAndMergesTheOthers)
{
    RegistrationStore store;
    detail::registerIn(store, "/old/libVeer12.so");
    // Left over from an older registration or added by hand.
    store.setValue(kVeer + "\\Stale", "", "x");
    store.setValue(kVeer + "\\Control", "Extra", "x");
    store.setValue(kPage + "\\Stale", "", "x");
    store.setValue("Veer12.Veer.1", "Extra", "kept");

    detail::registerIn(store, kModule);
    EXPECT_FALSE(store.hasKey(kVeer + "\\Stale"));
    EXPECT_FALSE(store.value(kVeer + "\\Control", "Extra"));
    EXPECT_FALSE(store.hasKey(kPage + "\\Stale"));
    EXPECT_EQ(store.value("Veer12.Veer.1", "Extra"), "kept");
    for (const Expected& e : expectedKeys())
        for (const auto& [name, value] : e.values)
            EXPECT_EQ(store.value(e.key, name), value) << e.key; // the new library's path
}

TEST(Registration, TheStoreFileIsCreatedReplacedAndNeverClobbered)
{
    TempFolder temp;
    const fs::path file = temp.path() / "config" / "veer12" / "classes.reg";
    ASSERT_EQ(detail::registerServer(file.string(), kModule), S_OK);
    RegistrationStore store;
    ASSERT_EQ(RegistrationStore::load(file.string(), &store), RegistrationStore::LoadResult::Loaded);
    EXPECT_EQ(store.value(kVeer + "\\InprocServer32"), kModule);
    EXPECT_EQ(fs::status(file.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);

    ASSERT_EQ(detail::unregisterServer(file.string()), S_OK);
    ASSERT_EQ(RegistrationStore::load(file.string(), &store), RegistrationStore::LoadResult::Loaded);
    EXPECT_FALSE(store.hasKey(kVeer));
    // No leftovers of the replacing write.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // A store that cannot be read is left as it is.
    { std::ofstream(file) << "[A]\nnot a value\n"; }
    EXPECT_EQ(detail::registerServer(file.string(), kModule), SELFREG_E_CLASS);
    EXPECT_EQ(detail::unregisterServer(file.string()), SELFREG_E_CLASS);
    EXPECT_EQ(readFile(file), "[A]\nnot a value\n");

    // Unregistering where nothing was registered creates nothing; a module
    // path that is not absolute is not written.
    const fs::path none = temp.path() / "none.reg";
    EXPECT_EQ(detail::unregisterServer(none.string()), S_OK);
    EXPECT_FALSE(fs::exists(none));
    EXPECT_EQ(detail::registerServer(none.string(), "libVeer12.so"), SELFREG_E_CLASS);
    EXPECT_FALSE(fs::exists(none));
}

TEST(Registration, TheStoreLiesWhereTheEnvironmentSays)
{
    // The test's own environment comes back afterwards.
    auto saveVar = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    auto restore = [](const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    };
    const auto registry = saveVar("VEER12_REGISTRY"), xdg = saveVar("XDG_CONFIG_HOME"), home = saveVar("HOME");
    setenv("VEER12_REGISTRY", "/somewhere/classes.reg", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/somewhere/classes.reg");
    unsetenv("VEER12_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/xdg/veer12/classes.reg");
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/home/u/.config/veer12/classes.reg");
    restore("VEER12_REGISTRY", registry);
    restore("XDG_CONFIG_HOME", xdg);
    restore("HOME", home);
}

TEST(Guid, ParsesTheRegisteredForm)
{
    EXPECT_EQ(parseGuid("{ac21760d-5b12-11d4-a41f-94ebab2b3626}"), CLSID_Veer);
    EXPECT_EQ(parseGuid(guidToString(IID_IClassFactory)), IID_IClassFactory);
    EXPECT_FALSE(parseGuid("AC21760D-5B12-11D4-A41F-94EBAB2B3626"));
    EXPECT_FALSE(parseGuid("{AC21760D-5B12-11D4-A41F-94EBAB2B362G}"));
    EXPECT_FALSE(parseGuid("{AC21760D+5B12-11D4-A41F-94EBAB2B3626}"));
}

} // namespace
} // namespace veer::test
