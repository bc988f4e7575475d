#include "rain/Isolated.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace infil::rain {

namespace {

using Clock = std::chrono::steady_clock;

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

[[noreturn]] void childMain(int out, const std::function<std::string()>& work)
{
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull >= 0)
        ::dup2(devNull, STDERR_FILENO);
    int status = 2;
    try {
        const std::string bytes = work();
        status = writeAll(out, bytes.data(), bytes.size()) ? 0 : 3;
    } catch (...) {
        status = 4;
    }
    ::_exit(status);
}

int millisLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

enum class Reaped {
    Exited,  // `status` holds how it ended
    Unknown, // someone else collected it (SIGCHLD ignored): no status to see
    Killed   // still running at the deadline: killed
};

void killAndWait(pid_t pid)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the child to end by the deadline; kills it when it does not.
Reaped reap(pid_t pid, Clock::time_point deadline, int& status)
{
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return Reaped::Exited;
        if (r < 0 && errno != EINTR)
            return Reaped::Unknown;
        if (millisLeft(deadline) == 0)
            break;
        ::usleep(1000);
    }
    killAndWait(pid);
    return Reaped::Killed;
}

} // namespace

ChildResult runInChild(const std::function<std::string()>& work, std::chrono::milliseconds timeout,
                       std::size_t maxBytes)
{
    ChildResult result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return result;

    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(fds[0]);
        childMain(fds[1], work);
    }
    ::close(fds[1]);

    const auto deadline = Clock::now() + timeout;
    bool timedOut = false;
    bool tooMuch = false;
    char buffer[4096];
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, millisLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0) {
            timedOut = true;
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            break;
        }
        if (n == 0)
            break; // the child closed its end: done or dead
        if (result.bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            tooMuch = true;
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);

    if (timedOut) {
        killAndWait(pid);
        result.outcome = ChildResult::Outcome::TimedOut;
        result.bytes.clear();
        return result;
    }
    int status = 0;
    const Reaped reaped = reap(pid, deadline, status);
    if (reaped == Reaped::Killed) {
        result.outcome = ChildResult::Outcome::TimedOut;
        result.bytes.clear();
        return result;
    }
    // Without a status (Unknown) the bytes speak for themselves: callers check
    // that what came back is complete.
    if (tooMuch || (reaped == Reaped::Exited && (!WIFEXITED(status) || WEXITSTATUS(status) != 0))) {
        result.outcome = ChildResult::Outcome::Failed;
        result.bytes.clear();
        return result;
    }
    result.outcome = ChildResult::Outcome::Completed;
    return result;
}

} // namespace infil::rain
