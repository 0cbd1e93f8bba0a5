// Loading a file for a preview off the dialog's thread (TPreviewLoader).
#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class TBitmap;
class TIOParamsVals;

// Loads one file for a preview on a worker thread, so that a large, slow or hostile file
// never freezes the dialog. A newer request abandons the older one (its reader stops at
// the next row) and the older result is dropped. Results and progress arrive on the
// loader's own thread through the event loop.
class TPreviewLoader : public QObject {
    Q_OBJECT
public:
    struct TResult {
        QString FileName;
        bool Loaded = false;  // false for any failure and for a file no reader took
        std::shared_ptr<TBitmap> Bitmap;
        std::shared_ptr<TIOParamsVals> Params;
        int64_t FileSize = 0;
    };

    explicit TPreviewLoader(QObject* parent = nullptr);
    ~TPreviewLoader() override;

    void Start(const QString& fileName);
    // Abandons the running load; nothing is delivered for it.
    void Cancel();
    // True from Start until its result is delivered or abandoned.
    bool Busy() const { return bool(current_); }
    // Waits until every worker has stopped.
    void WaitIdle();

    std::function<void(int percent)> OnProgress;
    std::function<void(const TResult& result)> OnFinished;

private:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
    };
    struct Worker {
        std::shared_ptr<Job> job;
        std::thread thread;
    };
    static std::shared_ptr<TResult> load(const QString& fileName, Job& job, TPreviewLoader* self,
                                         const std::shared_ptr<Job>& jobRef);
    void joinFinished();

    std::shared_ptr<Job> current_;
    std::vector<Worker> workers_;
};
