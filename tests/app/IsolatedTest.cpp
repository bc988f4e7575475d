// Work run in a child process: results come back, crashes and hangs do not.
#include "rain/Isolated.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <thread>

namespace infil::test {
namespace {

using namespace std::chrono_literals;
using rain::ChildResult;
using rain::runInChild;

TEST(Isolated, ReturnsWhatTheWorkReturnsAlsoBeyondAPipeBuffer)
{
    const auto small = runInChild([] { return std::string("abc"); }, 5s);
    EXPECT_EQ(small.outcome, ChildResult::Outcome::Completed);
    EXPECT_EQ(small.bytes, "abc");

    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    const auto large = runInChild([&] { return big; }, 5s);
    EXPECT_EQ(large.outcome, ChildResult::Outcome::Completed);
    EXPECT_EQ(large.bytes, big);
}

TEST(Isolated, ACrashOrAnExceptionInTheChildIsAFailure)
{
    const auto crashed = runInChild(
        []() -> std::string {
            std::raise(SIGSEGV);
            return "unreachable";
        },
        5s);
    EXPECT_EQ(crashed.outcome, ChildResult::Outcome::Failed);
    EXPECT_TRUE(crashed.bytes.empty());

    const auto aborted = runInChild([]() -> std::string { std::abort(); }, 5s);
    EXPECT_EQ(aborted.outcome, ChildResult::Outcome::Failed);

    const auto threw = runInChild([]() -> std::string { throw std::runtime_error("no"); }, 5s);
    EXPECT_EQ(threw.outcome, ChildResult::Outcome::Failed);
}

TEST(Isolated, AHangingChildIsStoppedAtTheDeadline)
{
    const auto start = std::chrono::steady_clock::now();
    const auto hung = runInChild(
        []() -> std::string {
            for (;;)
                std::this_thread::sleep_for(1s);
        },
        300ms);
    EXPECT_EQ(hung.outcome, ChildResult::Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

} // namespace
} // namespace infil::test
