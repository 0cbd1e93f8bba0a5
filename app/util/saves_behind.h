// Saves encoded and written on worker threads while the UI thread goes on with the next
// image, and committed on the UI thread in the order they were handed over, so that
// files appear, and a failure is told, as if each save had run to its end at once.
#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TDetachedSave;

class TSavesBehind {
public:
    // What becomes of a save, told on the UI thread during Settle.
    struct TOutcome {
        std::function<void()> saved;                     // the file is in place
        std::function<void(const QString& why)> failed;  // the target is as it was
        std::function<void()> dropped;                   // an earlier save failed: never written
    };
    enum class TWait {
        None,  // commit only what is written already
        Room,  // and wait until fewer than `depth` are left
        All    // and wait for every one
    };

    // writers: threads that encode; depth: saves held at once.
    TSavesBehind(int writers, int depth);
    // Drops what is not committed (its targets stay as they were), after the writes
    // under way have ended; tells nobody.
    ~TSavesBehind();
    TSavesBehind(const TSavesBehind&) = delete;
    TSavesBehind& operator=(const TSavesBehind&) = delete;

    void Add(std::unique_ptr<TDetachedSave> save, const QString& fileName, TOutcome outcome);
    // True when a save not yet committed goes to fileName.
    bool Targets(const QString& fileName) const;
    bool Empty() const;

    // Commits the written saves in order. The first that fails drops those behind it
    // and is then told; false then. Otherwise true, also when some are still written.
    bool Settle(TWait wait);

private:
    struct TJob;
    void writerLoop();
    void dropAll(bool tell);

    const size_t depth_;
    mutable std::mutex mutex_;
    std::condition_variable work_, done_;
    std::deque<std::shared_ptr<TJob>> queue_;    // not yet taken by a writer
    std::deque<std::shared_ptr<TJob>> pending_;  // not yet committed, in order
    bool stopping_ = false;
    std::vector<std::thread> writers_;
};
