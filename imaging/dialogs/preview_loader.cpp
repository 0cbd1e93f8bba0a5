// Loading one preview on a worker thread, the newest request winning.
#include "imaging/dialogs/preview_loader.h"

#include "imaging/common/file_size.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"

TPreviewLoader::TPreviewLoader(QObject* parent) : QObject(parent)
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

void TPreviewLoader::Cancel()
{
    if (current_)
        current_->cancel = true;
    current_.reset();
}

void TPreviewLoader::WaitIdle()
{
    for (Worker& w : workers_)
        if (w.thread.joinable())
            w.thread.join();
    workers_.clear();
}

void TPreviewLoader::joinFinished()
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

void TPreviewLoader::Start(const QString& fileName)
{
    Cancel();
    joinFinished();
    auto job = std::make_shared<Job>();
    current_ = job;
    TPreviewLoader* self = this;
    workers_.push_back(Worker{job, std::thread([self, job, fileName] {
        std::shared_ptr<TResult> result = load(fileName, *job, self, job);
        QMetaObject::invokeMethod(
            self,
            [self, job, result] {
                if (self->current_ != job)
                    return;
                self->current_.reset();
                if (self->OnFinished)
                    self->OnFinished(*result);
            },
            Qt::QueuedConnection);
        job->done = true;
    })});
}

std::shared_ptr<TPreviewLoader::TResult> TPreviewLoader::load(const QString& fileName, Job& job, TPreviewLoader* self,
                                                              const std::shared_ptr<Job>& jobRef)
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
            if (job.cancel) {
                io.Aborting = true;
                return;
            }
            if (percent == lastPercent)
                return;
            lastPercent = percent;
            QMetaObject::invokeMethod(
                self,
                [self, jobRef, percent] {
                    if (self->current_ == jobRef && self->OnProgress)
                        self->OnProgress(percent);
                },
                Qt::QueuedConnection);
        };
        io.LoadFromFile(fileName);
        if (!job.cancel && !io.Aborting && !bitmap.Empty()) {
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
