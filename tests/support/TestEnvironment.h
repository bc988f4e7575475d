#pragma once
// Tests depend on nothing outside themselves: each test process gets a home of
// its own, so what lies in the real user's folders (settings, a stale
// registration of some other build of the Veer12 library, a report left
// behind) can neither reach a test nor be touched by one.

#include <cstdlib>
#include <optional>
#include <string>

namespace infil::test {

// Points HOME, the XDG folders and both Veer12 registration stores into a new
// private temporary folder, removed when the process ends. Call it first in
// main(), before anything reads the environment; later calls change nothing.
void isolateEnvironment();

// The private folder; empty before isolateEnvironment().
const std::string& isolatedRoot();

// Sets an environment variable while it lives, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace infil::test
