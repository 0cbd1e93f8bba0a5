// Worker threads where a newer preview request supersedes the older one.
#include "imaging/dialogs/superseding_worker.h"

TSupersedingWorker::TSupersedingWorker(QObject* parent) : QObject(parent) {}

void TSupersedingWorker::Cancel()
{
    if (current_)
        current_->cancel = true;
    current_.reset();
}

void TSupersedingWorker::WaitIdle()
{
    for (Worker& w : workers_)
        if (w.thread.joinable())
            w.thread.join();
    workers_.clear();
}

void TSupersedingWorker::joinFinished()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->job->done) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void TSupersedingWorker::startJob(std::function<void(const JobRef& job)> work)
{
    Cancel();
    joinFinished();
    auto job = std::make_shared<Job>();
    current_ = job;
    workers_.push_back(Worker{job, std::thread([job, work = std::move(work)] {
                                  work(job);
                                  job->done = true;
                              })});
}

void TSupersedingWorker::post(const JobRef& job, std::function<void()> deliver)
{
    QMetaObject::invokeMethod(
        this,
        [this, job, deliver = std::move(deliver)] {
            if (current_ == job)
                deliver();
        },
        Qt::QueuedConnection);
}

void TSupersedingWorker::finishJob(const JobRef& job)
{
    if (current_ == job)
        current_.reset();
}
