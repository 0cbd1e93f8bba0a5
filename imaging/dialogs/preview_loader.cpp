// Loading one file for the open dialog's preview on a worker thread.
#include "imaging/dialogs/preview_loader.h"

#include "imaging/common/file_size.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"

TPreviewLoader::TPreviewLoader(QObject* parent) : TSupersedingWorker(parent)
{
    // Readers fall back to the screen's resolution; read it here, on the interface thread.
    ScreenDpiX();
    ScreenDpiY();
}

TPreviewLoader::~TPreviewLoader()
{
    Cancel();
    WaitIdle();
}

void TPreviewLoader::Start(const QString& fileName)
{
    startJob([this, fileName](const JobRef& job) {
        std::shared_ptr<TResult> result = load(fileName, job);
        post(job, [this, job, result] {
            finishJob(job);
            if (OnFinished)
                OnFinished(*result);
        });
    });
}

std::shared_ptr<TPreviewLoader::TResult> TPreviewLoader::load(const QString& fileName, const JobRef& job)
{
    auto result = std::make_shared<TResult>();
    result->FileName = fileName;
    result->FileSize = GetFileSizeByName(fileName);
    try {
        TBitmap bitmap;
        TImageKitIO io;
        io.SetAttachedBitmap(&bitmap);
        io.SetBackground(RGB(255, 255, 255));
        int lastPercent = -1;
        // The abort flag is only touched here, on the worker's own thread.
        io.OnProgress = [&](TObject*, int percent) {
            if (job->cancel) {
                io.Aborting = true;
                return;
            }
            if (percent == lastPercent)
                return;
            lastPercent = percent;
            post(job, [this, percent] {
                if (OnProgress)
                    OnProgress(percent);
            });
        };
        io.LoadFromFile(fileName);
        if (!job->cancel && !io.Aborting && !bitmap.Empty()) {
            result->Bitmap = std::make_shared<TBitmap>(bitmap);
            result->Params = std::make_shared<TIOParamsVals>();
            result->Params->Assign(io.Params());
            result->Loaded = true;
        }
    } catch (...) {
        // Whatever the file did, the preview just stays empty.
        result->Bitmap.reset();
        result->Params.reset();
        result->Loaded = false;
    }
    return result;
}
