// The registration store and what registering and unregistering the library
// write into it.

#include "core/Registration.h"

#include <RegistrationStore.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(RegistrationStore, ReadsOnlyARegularFileOfModestSizeThatNoOneElseMayWrite)
{
    TempFolder temp;
    const fs::path file = temp.path() / "classes.reg";
    RegistrationStore store;
    std::string error;
    auto load = [&] { return RegistrationStore::load(file.string(), &store, &error); };

    // A FIFO is not waited on, a link to an endless device not read.
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Unreadable);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    fs::remove(file);
    fs::create_symlink("/dev/zero", file);
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Unreadable);
    fs::remove(file);

    // A huge file is refused unread.
    {
        std::ofstream big(file);
        big << "[A]\n";
        big << std::string(RegistrationStore::kMaxFileSize, ';');
    }
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Unreadable);
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;

    // Writable by others, or in a folder others may write: not trusted.
    { std::ofstream(file) << "[A]\n@=\"x\"\n"; }
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(temp.path(), fs::perms::owner_all);
    ASSERT_EQ(load(), RegistrationStore::LoadResult::Loaded) << error;
    EXPECT_EQ(store.value("A"), "x");
    fs::permissions(file, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Unsafe);
    EXPECT_TRUE(store.empty());
    EXPECT_NE(error.find("others may write it"), std::string::npos) << error;
    fs::permissions(file, fs::perms::group_write, fs::perm_options::remove);
    fs::permissions(temp.path(), fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Unsafe);
    // A sticky folder (as /tmp) lets no one else replace our file.
    fs::permissions(temp.path(), fs::perms::sticky_bit, fs::perm_options::add);
    EXPECT_EQ(load(), RegistrationStore::LoadResult::Loaded) << error;
    fs::permissions(temp.path(), fs::perms::owner_all, fs::perm_options::replace);
    if (::geteuid() == 0) { // a file of another user
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        EXPECT_EQ(load(), RegistrationStore::LoadResult::Unsafe);
        EXPECT_NE(error.find("another user"), std::string::npos) << error;
    }
    // The writer leaves such a store as it is rather than adopt its entries.
    fs::permissions(file, fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(detail::registerServer(file.string(), kModule), SELFREG_E_CLASS);
    EXPECT_EQ(readFile(file), "[A]\n@=\"x\"\n");
}

TEST(RegistrationStore, CommentsSurviveARewrite)
{
    TempFolder temp;
    const fs::path file = temp.path() / "classes.reg";
    {
        std::ofstream(file) << "; my own notes\n\n"
                               "; other servers\n[CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32]\n"
                               "# the path\n@=\"/other.so\"\n"
                               "; the end\n";
    }
    ASSERT_EQ(detail::registerServer(file.string(), kModule), S_OK);
    ASSERT_EQ(detail::unregisterServer(file.string()), S_OK);
    const std::string text = readFile(file);
    EXPECT_EQ(text.rfind("; my own notes\n", 0), 0u) << text;
    EXPECT_NE(text.find("; other servers\n[CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32]\n"
                        "# the path\n@=\"/other.so\"\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - 10), "; the end\n") << text;
    auto again = RegistrationStore::parse(text);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->serialize(), text);
}

TEST(RegistrationStore, HostsFollowOnlyAbsoluteLibraryPathsTheUsersStoreFirst)
{
    TempFolder temp;
    const std::string user = (temp.path() / "user.reg").string(), system = (temp.path() / "system.reg").string();
    auto registration = [](const std::string& library) {
        RegistrationStore store;
        detail::registerIn(store, library);
        return store;
    };
    std::string problem;
    EXPECT_FALSE(platform::findInprocServer(registration("libVeer12.so"), "Veer12.Veer.1", &problem));
    EXPECT_NE(problem.find("not named by an absolute path"), std::string::npos) << problem;

    ASSERT_TRUE(registration("/system/libVeer12.so").save(system));
    auto found = platform::findInprocServers("Veer12.Veer.1", {user, system});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].library, "/system/libVeer12.so");

    ASSERT_TRUE(registration("/mine/libVeer12.so").save(user));
    found = platform::findInprocServers("Veer12.Veer.1", {user, system});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].library, "/mine/libVeer12.so");
    EXPECT_EQ(found[1].library, "/system/libVeer12.so");

    // A store that cannot be trusted or used is passed over, and said so.
    ASSERT_EQ(::chmod(user.c_str(), 0646), 0);
    ASSERT_TRUE(registration("relative/libVeer12.so").save(system));
    std::vector<std::string> problems;
    EXPECT_TRUE(platform::findInprocServers("Veer12.Veer.1", {user, system}, &problems).empty());
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind(user + ": others may write it", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind(system + ": ", 0), 0u) << problems[1];
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
    const auto registry = saveVar("VEER12_REGISTRY"), xdg = saveVar("XDG_CONFIG_HOME"), home = saveVar("HOME"),
               system = saveVar("VEER12_SYSTEM_REGISTRY");
    setenv("VEER12_REGISTRY", "/somewhere/classes.reg", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/somewhere/classes.reg");
    unsetenv("VEER12_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/xdg/veer12/classes.reg");
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(platform::registrationStorePath(), "/home/u/.config/veer12/classes.reg");
    unsetenv("VEER12_SYSTEM_REGISTRY");
    EXPECT_EQ(platform::systemRegistrationStorePath(), VEER12_SYSTEM_REGISTRY_FILE);
    setenv("VEER12_SYSTEM_REGISTRY", "/elsewhere/classes.reg", 1);
    EXPECT_EQ(platform::registrationStores(),
              (std::vector<std::string>{"/home/u/.config/veer12/classes.reg", "/elsewhere/classes.reg"}));
    restore("VEER12_SYSTEM_REGISTRY", system);
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
