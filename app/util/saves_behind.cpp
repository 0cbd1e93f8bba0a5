// Encoding saves on worker threads and committing them in order.
#include "app/util/saves_behind.h"

#include "imaging/io/image_kit_io.h"
#include "platform/core/parallel_for.h"
#include "platform/ui/application.h"

#include <QFileInfo>

#include <algorithm>
#include <exception>

struct TSavesBehind::TJob {
    std::unique_ptr<TDetachedSave> save;
    QString target;  // absolute, to compare names
    TOutcome outcome;
    // Guarded by the mutex.
    bool started = false, written = false, cancelled = false;
    std::exception_ptr error;
};

namespace {

QString absoluteName(const QString& fileName) { return QFileInfo(fileName).absoluteFilePath(); }

}  // namespace

TSavesBehind::TSavesBehind(int writers, int depth) : depth_(size_t(std::max(1, depth)))
{
    for (int i = 0; i < std::max(1, writers); ++i)
        writers_.emplace_back([this] { writerLoop(); });
}

TSavesBehind::~TSavesBehind()
{
    dropAll(false);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& t : writers_)
        t.join();
}

void TSavesBehind::writerLoop()
{
    // The writers share the processors already (what they call runs on each alone), and
    // saves are committed in their turn: the image being worked on comes first.
    const TScopedOwnThread own;
    YieldToWaitedWork();
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        std::shared_ptr<TJob> job = std::move(queue_.front());
        queue_.pop_front();
        if (job->cancelled)
            continue;
        job->started = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            job->save->Write();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        job->error = error;
        job->written = true;
        done_.notify_all();
    }
}

void TSavesBehind::Add(std::unique_ptr<TDetachedSave> save, const QString& fileName, TOutcome outcome)
{
    auto job = std::make_shared<TJob>();
    job->save = std::move(save);
    job->target = absoluteName(fileName);
    job->outcome = std::move(outcome);
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(job);
        queue_.push_back(job);
    }
    work_.notify_one();
}

bool TSavesBehind::Targets(const QString& fileName) const
{
    const QString name = absoluteName(fileName);
    std::lock_guard lock(mutex_);
    return std::any_of(pending_.begin(), pending_.end(), [&](const auto& job) { return job->target == name; });
}

bool TSavesBehind::Empty() const
{
    std::lock_guard lock(mutex_);
    return pending_.empty();
}

bool TSavesBehind::Settle(TWait wait)
{
    for (;;) {
        std::unique_lock lock(mutex_);
        if (pending_.empty())
            return true;
        const std::shared_ptr<TJob> job = pending_.front();
        if (!job->written) {
            if (wait == TWait::None || (wait == TWait::Room && pending_.size() < depth_))
                return true;
            done_.wait(lock, [&] { return job->written; });
        }
        pending_.pop_front();
        lock.unlock();
        // A failure reads as the same save's failure on this thread would.
        QString why;
        bool ok = true;
        try {
            if (job->error)
                std::rethrow_exception(job->error);
            job->save->Commit();
        } catch (const std::exception& e) {
            why = TApplication::ExceptionText(e);
            ok = false;
        }
        job->save.reset();
        if (ok) {
            if (job->outcome.saved)
                job->outcome.saved();
            continue;
        }
        dropAll(true);
        if (job->outcome.failed)
            job->outcome.failed(why);
        return false;
    }
}

void TSavesBehind::dropAll(bool tell)
{
    std::deque<std::shared_ptr<TJob>> dropped;
    {
        std::unique_lock lock(mutex_);
        dropped.swap(pending_);
        for (const auto& job : dropped)
            job->cancelled = true;
        // A writer still at one of them finishes first; its file then goes unused.
        done_.wait(lock, [&] {
            return std::all_of(dropped.begin(), dropped.end(), [](const auto& j) { return !j->started || j->written; });
        });
    }
    for (const auto& job : dropped) {
        job->save.reset();
        if (tell && job->outcome.dropped)
            job->outcome.dropped();
    }
}
