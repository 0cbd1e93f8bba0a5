// The thread pool that runs whole-image loops in bands of rows.
#include "platform/core/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <exception>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

int machineThreads()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

std::atomic<int> g_threads{0};  // 0: the machine's
std::atomic<int64_t> g_minPixels{kParallelMinPixels};
// With progress to report, a band holds about this many pixels.
constexpr int64_t kProgressBandPixels = 64 * 1024;
// Bands a thread: up to the more as long as each holds this much work (in the caller's
// units of cost), and never fewer than the less.
constexpr int kLeastBandsPerThread = 8, kBandsPerThread = 16;
constexpr int64_t kLeastBandPixels = 16 * 1024;
// How often progress reaches the caller at most.
constexpr std::chrono::milliseconds kTellEvery{10};
// How long a helper watches for the next job before it sleeps.
constexpr std::chrono::microseconds kWatchForNextJob{300};
thread_local bool t_inBand = false;

inline void pauseBriefly()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

struct TJob {
    const std::function<void(int, int)>* body = nullptr;
    int rows = 0, bands = 0, maxHelpers = 0;
    bool reports = false;  // progress is handed back while it runs
    std::atomic<int> next{0}, helpers{0};
    // Each band adds its rows before it counts itself done, so that a caller that sees
    // every band done sees all their rows (and pixels) too.
    std::atomic<int> rowsDone{0}, bandsDone{0};
    std::atomic<bool> failed{false};
    std::atomic<int> tells{0};         // the caller sleeps on this when it has no band left
    std::atomic<int64_t> toldAtNs{0};  // steady clock
    std::mutex errorMutex;
    std::exception_ptr error;

    int begin(int band) const { return int(int64_t(rows) * band / bands); }

    void fail(std::exception_ptr e)
    {
        std::lock_guard lock(errorMutex);
        if (!error)
            error = std::move(e);
        failed = true;
    }
    bool finished() const { return bandsDone.load(std::memory_order_acquire) == bands; }
};

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Watches `ready` for up to `watch`, then sleeps on `word` until it changes from what it
// held before the check. Waking a sleeping thread costs far more than a short watch.
template <typename Ready> void watchThenWait(std::atomic<int>& word, std::chrono::microseconds watch, Ready ready)
{
    const int64_t until = nowNs() + std::chrono::nanoseconds(watch).count();
    for (;;) {
        const int seen = word.load(std::memory_order_acquire);
        if (ready())
            return;
        if (nowNs() >= until) {
            word.wait(seen, std::memory_order_acquire);
            continue;
        }
        for (int i = 0; i < 32; ++i)
            pauseBriefly();
    }
}

// Helper threads live as long as the process; they sleep while no job runs. A job is
// published and joined without a lock: a helper waking to a lock its peers hold would
// sleep once more, and on a virtual machine each wake costs tens of microseconds.
class TPool {
public:
    static TPool& instance()
    {
        static TPool* pool = new TPool;  // never destroyed: threads may still sleep at exit
        return *pool;
    }

    void run(TJob& job, const std::function<void(int)>& rowsDone)
    {
        // Only one caller at a time gets here, so the thread list needs no lock.
        const int before = generation_.load(std::memory_order_relaxed);
        while (int(threads_.size()) < job.maxHelpers)
            threads_.emplace_back([this, before] { helperLoop(before); });
        job_.store(&job);
        generation_.fetch_add(1);
        generation_.notify_all();

        int reported = 0;
        // The calling thread takes bands too; with progress to hand back it reports the
        // rows done between them (bands are small then), so that it seldom sleeps.
        for (;;) {
            if (!work(job))
                watchThenWait(job.tells, kCallerWatch,
                              [&] { return job.finished() || job.rowsDone.load() > reported; });
            const bool finished = job.finished();
            const int now = job.rowsDone.load(std::memory_order_acquire);
            try {
                for (; !job.failed && reported < now; ++reported)
                    if (rowsDone)
                        rowsDone(reported + 1);
            } catch (...) {
                // The helpers still hold the job: stop it, and raise once they are out.
                job.fail(std::current_exception());
            }
            if (finished)
                break;
        }
        // A helper that took the job's address may still be on its way out.
        job_.store(nullptr);
        watchThenWait(inside_, kCallerWatch, [&] { return inside_.load() == 0; });
    }

private:
    // The caller is the one the window waits for: it watches longer before it sleeps.
    static constexpr std::chrono::microseconds kCallerWatch{200};

    // Runs one band of the job; false when none was left.
    bool work(TJob& job)
    {
        const int band = job.next.fetch_add(1, std::memory_order_relaxed);
        if (band >= job.bands)
            return false;
        const int b = job.begin(band), e = job.begin(band + 1);
        bool failedHere = false;
        // After a failure the bands left are only counted off.
        if (!job.failed) {
            t_inBand = true;
            try {
                (*job.body)(b, e);
            } catch (...) {
                job.fail(std::current_exception());
                failedHere = true;
            }
            t_inBand = false;
        }
        job.rowsDone.fetch_add(e - b, std::memory_order_acq_rel);
        const bool last = job.bandsDone.fetch_add(1, std::memory_order_acq_rel) + 1 == job.bands;
        // Waking the caller costs a thread switch: it hears of the end, of a failure, and
        // of progress now and then, not of every band.
        bool tell = last || failedHere;
        if (!tell && job.reports) {
            const int64_t now = nowNs();
            int64_t told = job.toldAtNs.load(std::memory_order_relaxed);
            tell = now - told >= std::chrono::nanoseconds(kTellEvery).count() &&
                   job.toldAtNs.compare_exchange_strong(told, now, std::memory_order_relaxed);
        }
        if (tell) {
            job.tells.fetch_add(1, std::memory_order_release);
            job.tells.notify_one();
        }
        return true;
    }

    void helperLoop(int seen)
    {
        for (;;) {
            // Jobs come in quick succession (a copy, then the change): a helper that
            // has just finished one watches for the next a moment before it sleeps.
            watchThenWait(generation_, kWatchForNextJob,
                          [&] { return generation_.load(std::memory_order_acquire) != seen; });
            seen = generation_.load(std::memory_order_acquire);
            // Counted in before it looks: the caller clears the job, then waits for none
            // inside, so a job seen here outlives this helper's work on it.
            inside_.fetch_add(1);
            if (TJob* job = job_.load(); job && !job->failed && job->helpers.fetch_add(1) < job->maxHelpers)
                while (work(*job)) {}
            if (inside_.fetch_sub(1) == 1)
                inside_.notify_all();
        }
    }

    std::atomic<int> generation_{0};  // jobs started
    std::atomic<TJob*> job_{nullptr};
    std::atomic<int> inside_{0};  // helpers that may hold job_
    std::vector<std::thread> threads_;
};

// One job at a time: a second caller on another thread works alone.
std::mutex g_runMutex;

void runAlone(int rows, const std::function<void(int, int)>& body, const std::function<void(int)>& rowsDone)
{
    if (!rowsDone) {
        body(0, rows);
        return;
    }
    // Bands of a few rows keep the progress steady without a call per row.
    constexpr int kBand = 16;
    for (int b = 0; b < rows; b += kBand) {
        const int e = std::min(rows, b + kBand);
        body(b, e);
        for (int r = b; r < e; ++r)
            rowsDone(r + 1);
    }
}

}  // namespace

int ParallelThreads()
{
    const int t = g_threads.load();
    return t > 0 ? t : machineThreads();
}

TScopedOwnThread::TScopedOwnThread() : before_(std::exchange(t_inBand, true)) {}

TScopedOwnThread::~TScopedOwnThread() { t_inBand = before_; }

void YieldToWaitedWork()
{
    // Per thread on Linux, relative to the process's own; failing to lower it changes
    // nothing but the order of the work.
    const auto thread = id_t(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, std::min(19, nice + 10));
}

TScopedParallelThreads::TScopedParallelThreads(int threads, int64_t minPixels)
    : threads_(g_threads.exchange(std::max(1, threads))),
      minPixels_(g_minPixels.exchange(std::max<int64_t>(0, minPixels)))
{}

TScopedParallelThreads::~TScopedParallelThreads()
{
    g_threads = threads_;
    g_minPixels = minPixels_;
}

void ParallelRows(int rows, int64_t pixels, const std::function<void(int, int)>& body,
                  const std::function<void(int)>& rowsDone)
{
    if (rows <= 0)
        return;
    const int threads = std::min(ParallelThreads(), rows);
    if (threads <= 1 || pixels < g_minPixels || t_inBand) {
        runAlone(rows, body, rowsDone);
        return;
    }
    std::unique_lock run(g_runMutex, std::try_to_lock);
    if (!run.owns_lock()) {
        runAlone(rows, body, rowsDone);
        return;
    }
    TJob job;
    job.body = &body;
    job.rows = rows;
    // Many bands a thread even out bands of unequal cost and threads that join late, so
    // that the caller seldom waits at the end for one long band; each still holds enough
    // pixels to outweigh taking it. With progress to report, bands of a few ten thousand
    // pixels let it come often however slow each row is.
    const int64_t evening = std::clamp<int64_t>(pixels / kLeastBandPixels, int64_t(threads) * kLeastBandsPerThread,
                                                int64_t(threads) * kBandsPerThread);
    job.bands = int(std::clamp<int64_t>(std::max(evening, rowsDone ? pixels / kProgressBandPixels : 0), 1, rows));
    job.maxHelpers = threads - 1;
    job.reports = bool(rowsDone);
    TPool::instance().run(job, rowsDone);
    if (job.error)
        std::rethrow_exception(job.error);
}
