#pragma once
// Worker threads for previews where a newer request supersedes the older one: the older
// job is told to stop, and nothing more is delivered for it.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class TSupersedingWorker : public QObject {
    Q_OBJECT
public:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
    };
    using JobRef = std::shared_ptr<Job>;

    explicit TSupersedingWorker(QObject* parent = nullptr);

    // Abandons the running job; nothing more is delivered for it.
    void Cancel();
    // True from the start of a job until its last delivery or its abandonment.
    bool Busy() const { return bool(current_); }
    // Waits until every worker thread has stopped.
    void WaitIdle();

protected:
    // Abandons the current job and runs `work` for a new one on a thread of its own.
    void startJob(std::function<void(const JobRef& job)> work);
    // Runs `deliver` on this object's thread, if `job` is still the current one by then.
    void post(const JobRef& job, std::function<void()> deliver);
    // Ends `job`'s turn as the current one; call it inside its last delivery.
    void finishJob(const JobRef& job);

private:
    struct Worker {
        JobRef job;
        std::thread thread;
    };
    void joinFinished();

    JobRef current_;
    std::vector<Worker> workers_;
};
