#include "TestEnvironment.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace infil::test {

namespace {

std::string& root()
{
    static std::string path;
    return path;
}

void removeRoot()
{
    std::error_code ignored;
    std::filesystem::remove_all(root(), ignored);
}

[[noreturn]] void giveUp(const std::string& what)
{
    std::perror(("test environment: " + what).c_str());
    std::exit(1); // running against the user's real folders would be worse
}

} // namespace

const std::string& isolatedRoot()
{
    return root();
}

void isolateEnvironment()
{
    if (!root().empty())
        return;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/infil-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        giveUp(pattern);
    root() = pattern;
    std::atexit(removeRoot);

    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {
        {"HOME", "/home"},
        {"XDG_CONFIG_HOME", "/home/.config"},
        {"XDG_DATA_HOME", "/home/.local/share"},
        {"XDG_STATE_HOME", "/home/.local/state"},
        {"XDG_CACHE_HOME", "/home/.cache"},
        {"XDG_RUNTIME_DIR", "/run"},
    };
    for (const auto& f : folders) {
        const std::string path = root() + f.folder;
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        // Qt takes a runtime folder only when it is the user's alone.
        if (ec || ::chmod(path.c_str(), 0700) != 0)
            giveUp(path);
        ::setenv(f.variable, path.c_str(), 1);
    }
    ::setenv("VEER12_REGISTRY", (root() + "/home/.config/veer12/classes.reg").c_str(), 1);
    // No system-wide registration of an installed library either.
    ::setenv("VEER12_SYSTEM_REGISTRY", (root() + "/etc/veer12/classes.reg").c_str(), 1);
}

} // namespace infil::test
