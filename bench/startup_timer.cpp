// Times programs from their start to their first painted window, as reported by
// the first-paint probe (INFIL_FIRST_PAINT): the floor program first, then each
// other program, run in turns so that a busy moment of the machine hits all of
// them alike. Prints the median of each and its ratio to the floor.
//
//   startup_timer [--runs N] [--warmup N] FLOOR PROGRAM...
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Starts the program, waits for its "first-paint" line and for its end. The
// time in milliseconds, or nothing when it never reported a paint.
std::optional<double> timeOnce(const std::string& program, int timeoutMs)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    const long long start = monotonicNs();
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv("INFIL_FIRST_PAINT", "1", 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "startup_timer: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    close(pipeFds[1]);

    std::string output;
    std::optional<long long> painted;
    const long long deadline = start + static_cast<long long>(timeoutMs) * 1000000LL;
    while (!painted) {
        const long long left = (deadline - monotonicNs()) / 1000000LL;
        if (left <= 0)
            break;
        pollfd p{pipeFds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char buf[256];
        const ssize_t n = read(pipeFds[0], buf, sizeof buf);
        if (n <= 0)
            break; // the program ended without painting
        output.append(buf, static_cast<std::size_t>(n));
        const auto at = output.find("first-paint ");
        if (at != std::string::npos && output.find('\n', at) != std::string::npos)
            painted = std::atoll(output.c_str() + at + 12);
    }
    close(pipeFds[0]);
    if (!painted)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!painted)
        return std::nullopt;
    return static_cast<double>(*painted - start) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int usage()
{
    std::fputs("usage: startup_timer [--runs N] [--warmup N] FLOOR PROGRAM...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 15;
    int warmup = 2;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--runs" || arg == "--warmup") && i + 1 < argc)
            (arg == "--runs" ? runs : warmup) = std::atoi(argv[++i]);
        else if (!arg.empty() && arg[0] == '-')
            return usage();
        else
            programs.push_back(arg);
    }
    if (programs.size() < 2 || runs < 1 || warmup < 0)
        return usage();

    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < warmup + runs; ++run) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const auto ms = timeOnce(programs[p], 30000);
            if (!ms) {
                std::fprintf(stderr, "startup_timer: %s reported no first paint within 30 s\n",
                             programs[p].c_str());
                return 1;
            }
            if (run >= warmup)
                times[p].push_back(*ms);
        }
    }

    const double floor = median(times[0]);
    std::printf("%-40s %10s %10s %10s %8s\n", "first painted window", "median ms", "min ms", "max ms", "ratio");
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const auto [lo, hi] = std::minmax_element(times[p].begin(), times[p].end());
        const std::string name = programs[p].substr(programs[p].find_last_of('/') + 1);
        std::printf("%-40s %10.1f %10.1f %10.1f %8.2f\n", name.c_str(), median(times[p]), *lo, *hi,
                    median(times[p]) / floor);
    }
    std::printf("(%d runs each after %d warm-up runs, taken in turns)\n", runs, warmup);
    return 0;
}
