// Stands for a stale registration in a user's own store: a library built for
// another runtime (a sanitizer build, say) that ends the process as soon as it
// is loaded. A test that reaches it dies, whatever its fallbacks.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void endTheProcess()
{
    std::fputs("stale library loaded: the test reached the user's own registrations\n", stderr);
    std::_Exit(86);
}

} // namespace
