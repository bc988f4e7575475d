#pragma once
// Runs a piece of work in a child process and hands its result back as bytes.
// The database library has crashed on damaged files in our own trials; run in a
// child, such a crash (or an endless loop) costs only that one read, and the
// program reports it instead of ending.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace infil::rain {

struct ChildResult {
    enum class Outcome {
        Completed, // the work returned and the child exited normally
        Failed,    // the child crashed, threw or exited with an error
        TimedOut,  // killed after the time allowed
        NotStarted // no pipe or no process could be made
    };
    Outcome outcome = Outcome::NotStarted;
    std::string bytes; // what the work returned, when Completed
};

// Forks, runs `work` in the child and collects what it returns. The child's
// standard error is discarded (the library prints diagnostics there), it never
// returns into the caller's code and ends with _exit, so nothing of the parent
// (stdio buffers, exit handlers) runs twice. Results larger than `maxBytes`
// count as a failure.
ChildResult runInChild(const std::function<std::string()>& work, std::chrono::milliseconds timeout,
                       std::size_t maxBytes = 1u << 20);

} // namespace infil::rain
