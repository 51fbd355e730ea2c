#include "painter/stereo/RowBands.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace rv {

int MachineRowThreads()
{
    const unsigned cores = std::thread::hardware_concurrency(); // 0 when unknown
    return static_cast<int>(std::clamp(cores, 1u, static_cast<unsigned>(kMaxRowThreads)));
}

void ForEachRowBand(int rows, int threads, int bandRows, const std::function<void(int first, int last, int worker)>& work)
{
    if (rows <= 0) return;
    bandRows = std::max(bandRows, 1);
    const int bands = (rows - 1) / bandRows + 1;
    threads = std::clamp(threads, 1, std::min(bands, kMaxRowThreads));

    std::atomic<int> next{0};
    auto takeBands = [&](int worker) {
        for (int band; (band = next.fetch_add(1, std::memory_order_relaxed)) < bands;) {
            const int first = band * bandRows;
            work(first, std::min(rows, first + bandRows), worker);
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(threads - 1));
    for (int worker = 1; worker < threads; ++worker) {
        try {
            helpers.emplace_back(takeBands, worker);
        } catch (const std::system_error&) {
            break; // the threads already running and this one share the rows
        }
    }
    takeBands(0);
    for (std::thread& helper : helpers) helper.join();
}

} // namespace rv
