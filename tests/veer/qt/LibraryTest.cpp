// The built library as hosts and the registration tool see it: loaded with
// dlopen(), its four entry points found by name.

#include "TestEnvironment.h"

#include <Veer12/Veer12.h>

#include <RegistrationStore.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace veer {
namespace {

std::string realPath(const char* path)
{
    char resolved[PATH_MAX];
    return ::realpath(path, resolved) ? resolved : path;
}

platform::RegistrationStore loadStore(const std::string& file)
{
    platform::RegistrationStore store;
    platform::RegistrationStore::load(file, &store);
    return store;
}

TEST(VeerLibrary, ExportsItsEntryPointsAndRegistersItsOwnPath)
{
    void* handle = ::dlopen(VEER12_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle) << ::dlerror();
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, kDllGetClassObject));
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, kDllCanUnloadNow));
    auto reg = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle, kDllRegisterServer));
    auto unreg = reinterpret_cast<DllUnregisterServerFn>(::dlsym(handle, kDllUnregisterServer));
    ASSERT_TRUE(getClassObject && canUnload && reg && unreg);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_Veer, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
    ComPtr<IVeer> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVeer, reinterpret_cast<void**>(control.put())), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    control.reset();
    EXPECT_EQ(canUnload(), S_OK);

    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("classes.reg")).toStdString();
    infil::test::ScopedEnv registry("VEER12_REGISTRY", file);
    EXPECT_EQ(reg(), S_OK);
    auto server = platform::findInprocServer(loadStore(file), "Veer12.Veer.1");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->library, realPath(VEER12_LIBRARY));
    EXPECT_EQ(parseGuid(server->clsid), CLSID_Veer);
    EXPECT_EQ(unreg(), S_OK);
    EXPECT_FALSE(platform::findInprocServer(loadStore(file), "Veer12.Veer.1"));
    ::dlclose(handle);
}

int runTool(const std::string& store, const std::string& arguments)
{
    const std::string command =
        "VEER12_REGISTRY='" + store + "' '" VEER12_REGISTER_TOOL "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(VeerRegisterTool, RegistersAndUnregistersThroughTheEntryPoints)
{
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("classes.reg")).toStdString();
    EXPECT_EQ(runTool(file, "'" VEER12_LIBRARY "'"), 0);
    auto page = platform::findInprocServer(loadStore(file), "Veer12.VeerPage.1");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->library, realPath(VEER12_LIBRARY));

    EXPECT_EQ(runTool(file, "-u '" VEER12_LIBRARY "'"), 0);
    EXPECT_FALSE(platform::findInprocServer(loadStore(file), "Veer12.VeerPage.1"));

    EXPECT_NE(runTool(file, "/no/such/libVeer12.so"), 0);
    EXPECT_NE(runTool(file, "/lib/x86_64-linux-gnu/libm.so.6"), 0); // no entry point there
    EXPECT_NE(runTool(file, ""), 0);
}

} // namespace
} // namespace veer
