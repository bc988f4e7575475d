// The tests' own environment: a fresh private home for each test process, so
// that registrations, settings and files of the real user reach no test. The
// test "environment.stale-user-registration" runs these under a HOME whose
// store registers a library that ends any process loading it.

#include "TestEnvironment.h"
#include "ui/VeerHost.h"

#include <RegistrationStore.h>

#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace infil::test {
namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

TEST(TestEnvironment, EveryFolderIsPrivateToThisTestAndFresh)
{
    const std::string root = isolatedRoot();
    ASSERT_FALSE(root.empty());
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME",
                             "XDG_RUNTIME_DIR", "VEER12_REGISTRY", "VEER12_SYSTEM_REGISTRY"})
        EXPECT_EQ(env(name).rfind(root + "/", 0), 0u) << name << "=" << env(name);
    struct stat st{};
    ASSERT_EQ(::stat(root.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(platform::registrationStorePath(), env("VEER12_REGISTRY"));
    EXPECT_FALSE(std::filesystem::exists(platform::registrationStorePath()));
    EXPECT_FALSE(std::filesystem::exists(platform::systemRegistrationStorePath()));
}

TEST(TestEnvironment, TheWindowsCaptionsComeFromTheLibraryJustBuilt)
{
    QWidget window;
    std::array<QWidget*, ui::VeerHost::kCaptions> places{new QWidget(&window), new QWidget(&window),
                                                         new QWidget(&window)};
    ui::VeerHost host; // as the main window makes it: the stores of the environment
    ASSERT_TRUE(host.createCaptions(places)) << host.lastError().toStdString();
    EXPECT_EQ(QFileInfo(host.libraryPath()).canonicalFilePath(),
              QFileInfo(QStringLiteral(VEER12_LIBRARY)).canonicalFilePath());
}

} // namespace
} // namespace infil::test
