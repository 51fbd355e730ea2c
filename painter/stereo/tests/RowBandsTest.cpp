#include "painter/stereo/RowBands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace rv {
namespace {

// Runs one call and checks that each row was done exactly once, by a worker
// the call named.
void ExpectEveryRowOnce(int rows, int threads, int bandRows)
{
    std::vector<std::atomic<int>> done(static_cast<std::size_t>(rows > 0 ? rows : 0));
    std::atomic<bool> workerInRange{true};
    ForEachRowBand(rows, threads, bandRows, [&](int first, int last, int worker) {
        if (worker < 0 || worker >= std::max(threads, 1)) workerInRange = false;
        for (int y = first; y < last; ++y) ++done[static_cast<std::size_t>(y)];
    });
    EXPECT_TRUE(workerInRange) << rows << " rows, " << threads << " threads";
    for (int y = 0; y < rows; ++y) ASSERT_EQ(done[static_cast<std::size_t>(y)], 1) << "row " << y;
}

TEST(RowBands, EveryRowOnceWhateverTheThreadsAndBands)
{
    for (int threads : {-1, 0, 1, 2, 3, 5, kMaxRowThreads, kMaxRowThreads + 4})
        for (int rows : {0, 1, 15, 16, 17, 600, 2160})
            for (int bandRows : {0, 1, 16, 1000}) ExpectEveryRowOnce(rows, threads, bandRows);
}

// The pool's helpers are kept between calls; many calls in a row, and calls
// from several threads at once, each still get every row done once before
// they return.
TEST(RowBands, KeptHelpersServeCallAfterCallAndCallersAtOnce)
{
    for (int call = 0; call < 300; ++call) ExpectEveryRowOnce(64 + call % 7, 2 + call % 3, 4);
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c)
        callers.emplace_back([c] {
            for (int call = 0; call < 100; ++call) ExpectEveryRowOnce(100 + c, 3, 2);
        });
    for (std::thread& t : callers) t.join();
}

// An exception from the caller's own share leaves the call only once the
// helpers are done with the work (they use the caller's state), and the pool
// serves the next call.
TEST(RowBands, AThrowingCallerWaitsForItsHelpers)
{
    std::atomic<int> inside{0};
    std::atomic<bool> callerIn{false};
    bool thrown = false;
    try {
        ForEachRowBand(200, 3, 1, [&](int, int, int worker) {
            ++inside;
            // Helpers hold their first band until the caller has one of its
            // own, so the caller's share is never empty.
            if (worker == 0) callerIn = true;
            while (!callerIn) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            --inside;
            if (worker == 0) throw std::runtime_error("the caller's share failed");
        });
    } catch (const std::runtime_error&) {
        thrown = true;
        EXPECT_EQ(inside, 0);
    }
    EXPECT_TRUE(thrown);
    ExpectEveryRowOnce(100, 3, 2);
}

} // namespace
} // namespace rv
