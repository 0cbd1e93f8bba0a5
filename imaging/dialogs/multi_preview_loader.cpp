#include "imaging/dialogs/multi_preview_loader.h"

#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>

TMultiPreviewLoader::TMultiPreviewLoader(QObject* parent) : QObject(parent)
{
    // Readers fall back to the screen's resolution; read it here, on the interface thread.
    ScreenDpiX();
    ScreenDpiY();
}

TMultiPreviewLoader::~TMultiPreviewLoader()
{
    Cancel();
    WaitIdle();
}

void TMultiPreviewLoader::Cancel()
{
    if (current_)
        current_->cancel = true;
    current_.reset();
}

void TMultiPreviewLoader::WaitIdle()
{
    for (Worker& w : workers_)
        if (w.thread.joinable())
            w.thread.join();
    workers_.clear();
}

void TMultiPreviewLoader::joinFinished()
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

void TMultiPreviewLoader::Start(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit)
{
    Cancel();
    joinFinished();
    auto job = std::make_shared<Job>();
    current_ = job;
    workers_.push_back(Worker{job, std::thread([this, job, fileName, fileType, boxWidth, boxHeight, limit] {
                                  run(fileName, fileType, boxWidth, boxHeight, limit, job);
                                  job->done = true;
                              })});
}

namespace {

// A frame larger than the box shrinks to fit it, keeping its aspect; 1-bit pages become
// grey pictures on the way, which reads better than dropped pixels.
void reduceToBox(TBitmap& bitmap, int boxWidth, int boxHeight)
{
    if (boxWidth <= 0 || boxHeight <= 0 || bitmap.Empty() ||
        (bitmap.Width() <= boxWidth && bitmap.Height() <= boxHeight))
        return;
    const QImage small = bitmap.Image()
                             .convertToFormat(QImage::Format_RGB32)
                             .scaled(boxWidth, boxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_BGR888);
    bitmap.SetImage(small);
}

}  // namespace

void TMultiPreviewLoader::run(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit,
                              const std::shared_ptr<Job>& job)
{
    // Delivered on this object's thread, and only while the job is still the current one.
    auto post = [this, job](std::function<void()> deliver) {
        QMetaObject::invokeMethod(
            this,
            [this, job, deliver = std::move(deliver)] {
                if (current_ == job)
                    deliver();
            },
            Qt::QueuedConnection);
    };
    bool ok = false;
    try {
        TFileStream stream(fileName, fmOpenRead);
        const int64_t start = stream.Position();
        TMultiFrame carried;
        int count = 1;
        for (int i = 0; i < count && i < limit && !job->cancel; ++i) {
            auto bitmap = std::make_shared<TBitmap>();
            auto record = std::make_shared<TIOParamsVals>();
            const int fileFrames = ReadMultiFrame(stream, start, fileType, i, *bitmap, *record, carried);
            if (fileFrames <= 0)
                break;
            count = fileFrames;
            reduceToBox(*bitmap, boxWidth, boxHeight);
            ok = true;
            TFrame frame{i, fileFrames, std::min(fileFrames, limit), bitmap, record, carried};
            post([this, frame] {
                if (OnFrame)
                    OnFrame(frame);
            });
        }
    } catch (...) {
        // A frame that fails ends the preview; the frames before it stay.
    }
    post([this, ok] {
        current_.reset();
        if (OnFinished)
            OnFinished(ok);
    });
}
