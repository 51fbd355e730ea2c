#pragma once
// Spreads independent rows of a picture over a few threads: the calling
// thread and up to threads - 1 helpers of a small pool, started at the first
// call that needs them and kept asleep between calls, take bands of rows in
// turn until none is left. Which thread does a row varies from run to run,
// so the work of a row must depend on nothing but the row.
#include <functional>

namespace rv {

constexpr int kMaxRowThreads = 16;

// The threads to use when the caller leaves the choice open: one per core
// of the machine, at most kMaxRowThreads.
int MachineRowThreads();

// Calls work(first, last, worker) for bands [first, last) that together cover
// [0, rows) once each, and returns when all are done. `worker` (0 to
// threads - 1) names the thread, so each can keep scratch memory of its own.
// A thread count below 1 is taken as 1; fewer threads run when there are not
// enough bands, when the system will not start more, or while another
// thread's call has the pool.
void ForEachRowBand(int rows, int threads, int bandRows, const std::function<void(int first, int last, int worker)>& work);

} // namespace rv
