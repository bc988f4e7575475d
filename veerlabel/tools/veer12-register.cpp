// Registers an in-process server library for the current user, or removes its
// registration, by loading it and calling its own entry point, as a system's
// server-registration tool does.
//
//   veer12-register [-u] LIBRARY
//
// The registration store is the user's (see RegistrationStore.h); the
// environment variable VEER12_REGISTRY names another one.

#include <Veer12/Veer12.h>

#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: veer12-register [-u] LIBRARY\n"
                         "  registers LIBRARY's classes for the current user (-u: removes them)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    const char* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-u") || !std::strcmp(argv[i], "/u"))
            unregister = true;
        else if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help"))
            return usage();
        else if (!library && argv[i][0] != '-')
            library = argv[i];
        else
            return usage();
    }
    if (!library)
        return usage();

    // A path names a file (dlopen() would search the library path for a bare
    // name); the library records the absolute path it was loaded from.
    std::string path = library;
    char resolved[PATH_MAX];
    if (::realpath(library, resolved))
        path = resolved;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        std::fprintf(stderr, "veer12-register: cannot load %s: %s\n", library, why ? why : "unknown error");
        return 3;
    }
    const char* entry = unregister ? veer::kDllUnregisterServer : veer::kDllRegisterServer;
    auto call = reinterpret_cast<veer::DllRegisterServerFn>(::dlsym(handle, entry));
    if (!call) {
        std::fprintf(stderr, "veer12-register: %s was loaded, but it has no entry point %s\n", library, entry);
        ::dlclose(handle);
        return 4;
    }
    const veer::Status result = call();
    ::dlclose(handle);
    if (veer::failed(result)) {
        std::fprintf(stderr, "veer12-register: %s in %s failed: 0x%08X\n", entry, library,
                     static_cast<unsigned>(result));
        return 5;
    }
    std::printf("%s in %s succeeded.\n", entry, path.c_str());
    return 0;
}
