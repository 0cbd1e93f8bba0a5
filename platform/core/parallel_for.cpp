// The thread pool that runs whole-image loops in bands of rows.
#include "platform/core/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <condition_variable>
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
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    bool reports = false;  // progress is handed back while it runs
    // Guarded by the pool's mutex.
    int helpers = 0, bandsDone = 0, rowsDone = 0;
    std::chrono::steady_clock::time_point toldAt{};
    std::exception_ptr error;

    int begin(int band) const { return int(int64_t(rows) * band / bands); }
};

// Helper threads live as long as the process; they sleep while no job runs.
class TPool {
public:
    static TPool& instance()
    {
        static TPool* pool = new TPool;  // never destroyed: threads may still sleep at exit
        return *pool;
    }

    void run(TJob& job, const std::function<void(int)>& rowsDone)
    {
        std::unique_lock lock(mutex_);
        while (int(threads_.size()) < job.maxHelpers)
            threads_.emplace_back([this] { helperLoop(); });
        job_ = &job;
        generation_.fetch_add(1, std::memory_order_release);
        wake_.notify_all();
        lock.unlock();

        int reported = 0;
        // The calling thread takes bands too; with progress to hand back it reports the
        // rows done between them (bands are small then), so that it seldom sleeps.
        for (;;) {
            const bool ran = work(job);
            lock.lock();
            if (!ran)
                progress_.wait(lock, [&] { return job.rowsDone > reported || job.bandsDone == job.bands; });
            const int now = job.rowsDone;
            const bool finished = job.bandsDone == job.bands;
            lock.unlock();
            try {
                for (; !job.failed && reported < now; ++reported)
                    if (rowsDone)
                        rowsDone(reported + 1);
            } catch (...) {
                // The helpers still hold the job: stop it, and raise once they are out.
                std::lock_guard guard(mutex_);
                if (!job.error)
                    job.error = std::current_exception();
                job.failed = true;
            }
            if (finished)
                break;
        }
        lock.lock();
        progress_.wait(lock, [&] { return job.helpers == 0; });
        job_ = nullptr;
    }

private:
    // Runs one band of the job; false when none was left.
    bool work(TJob& job)
    {
        const int band = job.next.fetch_add(1);
        if (band >= job.bands)
            return false;
        std::exception_ptr error;
        const int b = job.begin(band), e = job.begin(band + 1);
        // After a failure the bands left are only counted off.
        if (!job.failed) {
            t_inBand = true;
            try {
                (*job.body)(b, e);
            } catch (...) {
                error = std::current_exception();
            }
            t_inBand = false;
        }
        std::lock_guard lock(mutex_);
        if (error && !job.error) {
            job.error = error;
            job.failed = true;
        }
        ++job.bandsDone;
        job.rowsDone += e - b;
        // Waking the caller costs a thread switch: it hears of the end, of a failure, and
        // of progress now and then, not of every band.
        const auto now = std::chrono::steady_clock::now();
        if (job.bandsDone == job.bands || job.failed || (job.reports && now - job.toldAt >= kTellEvery)) {
            job.toldAt = now;
            progress_.notify_all();
        }
        return true;
    }

    void helperLoop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            // Jobs come in quick succession (a copy, then the change): a helper that
            // has just finished one watches for the next a moment before it sleeps, as
            // waking a sleeping thread costs more than the watch.
            const uint64_t seen = generation_.load(std::memory_order_acquire);
            lock.unlock();
            const auto until = std::chrono::steady_clock::now() + kWatchForNextJob;
            while (generation_.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < until)
                for (int i = 0; i < 32; ++i)
                    pauseBriefly();
            lock.lock();
            wake_.wait(lock, [&] {
                return job_ && job_->helpers < job_->maxHelpers && job_->next < job_->bands && !job_->failed;
            });
            TJob& job = *job_;
            ++job.helpers;
            lock.unlock();
            while (work(job)) {}
            lock.lock();
            if (--job.helpers == 0)
                progress_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, progress_;
    std::atomic<uint64_t> generation_{0};  // jobs started
    std::vector<std::thread> threads_;
    TJob* job_ = nullptr;
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
    // Several bands a thread even out bands of unequal cost; with progress to report,
    // bands of a few ten thousand pixels let it come often however slow each row is,
    // without waking the caller for every narrow row.
    job.bands = rowsDone ? int(std::clamp<int64_t>(pixels / kProgressBandPixels, 1, rows))
                         : std::min(rows, threads * 8);
    job.maxHelpers = threads - 1;
    job.reports = bool(rowsDone);
    TPool::instance().run(job, rowsDone);
    if (job.error)
        std::rethrow_exception(job.error);
}
