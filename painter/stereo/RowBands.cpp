#include "painter/stereo/RowBands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace rv {

int MachineRowThreads()
{
    const unsigned cores = std::thread::hardware_concurrency(); // 0 when unknown
    return static_cast<int>(std::clamp(cores, 1u, static_cast<unsigned>(kMaxRowThreads)));
}

namespace {

// Helper threads started once and kept for the life of the process, asleep
// between calls: starting threads for every picture costs as much as a
// small picture's rows. They are never ended; the process ends them.
class RowPool {
public:
    // Runs task(0) on the calling thread and task(1) ... task(helpers) on
    // helpers that are free to take part, and returns when every call that
    // began has ended. A helper that wakes late may take no part: the task
    // must get its work done whichever of its calls run.
    void Run(int helpers, const std::function<void(int worker)>& task)
    {
        std::unique_lock<std::mutex> serving(serving_, std::try_to_lock);
        if (!serving.owns_lock()) { // another thread's picture has the helpers
            task(0);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            while (started_ < helpers && Start(started_ + 1)) ++started_;
            task_ = &task;
            wanted_ = std::min(helpers, started_);
            accepting_ = true;
            ++generation_;
        }
        wake_.notify_all();
        // The helpers use the task until they are done with it, whatever
        // happens to the caller's share.
        struct Finish {
            RowPool& pool;
            ~Finish()
            {
                std::unique_lock<std::mutex> lock(pool.mutex_);
                pool.accepting_ = false;
                pool.finished_.wait(lock, [this] { return pool.running_ == 0; });
                pool.task_ = nullptr;
            }
        } finish{*this};
        task(0);
    }

private:
    bool Start(int worker)
    {
        try {
            std::thread(&RowPool::Serve, this, worker, generation_).detach();
            return true;
        } catch (const std::system_error&) {
            return false; // the threads already running share the rows
        }
    }

    void Serve(int worker, unsigned seen)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return generation_ != seen; });
            seen = generation_;
            if (!accepting_ || worker > wanted_) continue;
            ++running_;
            const std::function<void(int)>* task = task_;
            lock.unlock();
            (*task)(worker);
            lock.lock();
            if (--running_ == 0) finished_.notify_all();
        }
    }

    std::mutex serving_; // held by the one caller the helpers serve
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    int started_ = 0;
    unsigned generation_ = 0; // one more for every call
    const std::function<void(int)>* task_ = nullptr;
    int wanted_ = 0;        // helpers 1 .. wanted_ may take part in this call
    bool accepting_ = false; // until the caller has done its own share
    int running_ = 0;       // helpers inside the task
};

RowPool& Pool()
{
    static RowPool* pool = new RowPool; // never destroyed: its threads outlive main
    return *pool;
}

} // namespace

void ForEachRowBand(int rows, int threads, int bandRows, const std::function<void(int first, int last, int worker)>& work)
{
    if (rows <= 0) return;
    bandRows = std::max(bandRows, 1);
    const int bands = (rows - 1) / bandRows + 1;
    threads = std::clamp(threads, 1, std::min(bands, kMaxRowThreads));

    std::atomic<int> next{0};
    const std::function<void(int)> takeBands = [&](int worker) {
        for (int band; (band = next.fetch_add(1, std::memory_order_relaxed)) < bands;) {
            const int first = band * bandRows;
            work(first, std::min(rows, first + bandRows), worker);
        }
    };
    if (threads == 1)
        takeBands(0);
    else
        Pool().Run(threads - 1, takeBands);
}

} // namespace rv
