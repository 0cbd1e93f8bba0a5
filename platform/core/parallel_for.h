// The one place that runs whole-image loops on several threads. An image is split into
// bands of rows; each band runs on a pool thread or on the calling thread, so the work
// must treat rows independently (then the result cannot depend on the thread count).
// Progress is handed back on the calling thread, in order.
#pragma once

#include <cstdint>
#include <functional>

// Images of fewer pixels than this stay on the calling thread: starting the helpers
// would cost more than it saves.
constexpr int64_t kParallelMinPixels = 256 * 1024;

// Runs body(begin, end) over bands covering the rows 0 … rows − 1 and returns once all
// have run. `pixels` is the work's size, compared with the minimum above. rowsDone, if
// given, is called on the calling thread with 1, 2, … rows once that many rows are
// finished (several calls at a time after a band), between the bands it runs itself;
// bands are small then (a few rows), so that it reports often. The first exception a band raises
// stops the bands not yet started and is raised here. A call from inside a body runs
// on its own thread.
void ParallelRows(int rows, int64_t pixels, const std::function<void(int begin, int end)>& body,
                  const std::function<void(int done)>& rowsDone = {});

// Threads ParallelRows uses for large work: the processors this process may run on,
// unless a TScopedParallelThreads says otherwise.
int ParallelThreads();

// Marks the calling thread, for the scope, as one of several that already share the
// processors (its own workers): ParallelRows called on it runs on it alone.
class TScopedOwnThread {
public:
    TScopedOwnThread();
    ~TScopedOwnThread();
    TScopedOwnThread(const TScopedOwnThread&) = delete;
    TScopedOwnThread& operator=(const TScopedOwnThread&) = delete;

private:
    bool before_;
};

// Lowers the calling thread's priority for good: a worker that works ahead of (or
// behind) a window yields the processors to the work the window waits for.
void YieldToWaitedWork();

// Sets the thread count (and the size below which work stays on one thread) for the
// scope; tests compare results across thread counts with it.
class TScopedParallelThreads {
public:
    explicit TScopedParallelThreads(int threads, int64_t minPixels = kParallelMinPixels);
    ~TScopedParallelThreads();
    TScopedParallelThreads(const TScopedParallelThreads&) = delete;
    TScopedParallelThreads& operator=(const TScopedParallelThreads&) = delete;

private:
    int threads_;
    int64_t minPixels_;
};
