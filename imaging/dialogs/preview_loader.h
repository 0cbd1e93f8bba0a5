// Loading one file for the open dialog's preview on a worker thread.
#pragma once
#include "imaging/dialogs/superseding_worker.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;
class TIOParamsVals;

// Loads one file for a preview on a worker thread, so that a large, slow or hostile file
// never freezes the dialog. A newer request abandons the older one (its reader stops at
// the next row) and the older result is dropped. Results and progress arrive on the
// loader's own thread through the event loop.
class TPreviewLoader : public TSupersedingWorker {
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

    std::function<void(int percent)> OnProgress;
    std::function<void(const TResult& result)> OnFinished;

private:
    std::shared_ptr<TResult> load(const QString& fileName, const JobRef& job);
};
