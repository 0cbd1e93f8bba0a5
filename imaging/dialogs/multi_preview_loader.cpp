// Decoding the frames of a multi-image file for the open dialog's preview on a worker thread.
#include "imaging/dialogs/multi_preview_loader.h"

#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>

TMultiPreviewLoader::TMultiPreviewLoader(QObject* parent) : TSupersedingWorker(parent)
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

void TMultiPreviewLoader::Start(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit)
{
    startJob([this, fileName, fileType, boxWidth, boxHeight, limit](const JobRef& job) {
        run(fileName, fileType, boxWidth, boxHeight, limit, job);
    });
}

namespace {

// A frame larger than the box shrinks to fit it, keeping its aspect, by averaging the
// block of pixels behind each new one, row by row: no full-size copy of another pixel
// layout is made (a page of 1-bit pixels becomes grey on the way, which reads better
// than dropped pixels).
void reduceToBox(TBitmap& bitmap, int boxWidth, int boxHeight)
{
    if (boxWidth <= 0 || boxHeight <= 0 || bitmap.Empty() ||
        (bitmap.Width() <= boxWidth && bitmap.Height() <= boxHeight))
        return;
    if (bitmap.PixelFormat() != pf24bit && bitmap.PixelFormat() != pf1bit)
        bitmap.SetImage(ConvertToPixelFormat(bitmap.Image(), pf24bit));
    const int sw = bitmap.Width(), sh = bitmap.Height();
    const double scale = std::min(double(boxWidth) / sw, double(boxHeight) / sh);
    const int dw = std::max(1, int(sw * scale)), dh = std::max(1, int(sh * scale));
    const bool mono = bitmap.PixelFormat() == pf1bit;
    TBitmap small(dw, dh, pf24bit);
    std::vector<uint64_t> sum(size_t(dw) * 3);
    std::vector<int> columnAt(static_cast<size_t>(sw));
    for (int x = 0; x < sw; ++x)
        columnAt[size_t(x)] = std::min(dw - 1, int(int64_t(x) * dw / sw));
    int y = 0;
    for (int dy = 0; dy < dh; ++dy) {
        const int yEnd = dy == dh - 1 ? sh : int(int64_t(dy + 1) * sh / dh);
        std::fill(sum.begin(), sum.end(), 0);
        std::vector<uint32_t> count(size_t(dw), 0);
        for (; y < yEnd; ++y) {
            const uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < sw; ++x) {
                uint64_t* s = &sum[size_t(columnAt[size_t(x)]) * 3];
                if (mono) {
                    const uint64_t v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    s[0] += v;
                    s[1] += v;
                    s[2] += v;
                } else {
                    s[0] += row[3 * x];
                    s[1] += row[3 * x + 1];
                    s[2] += row[3 * x + 2];
                }
                ++count[size_t(columnAt[size_t(x)])];
            }
        }
        uint8_t* out = small.ScanLine(dy);
        for (int dx = 0; dx < dw; ++dx) {
            const uint64_t n = std::max<uint32_t>(count[size_t(dx)], 1);
            for (int c = 0; c < 3; ++c)
                out[3 * dx + c] = uint8_t((sum[size_t(dx) * 3 + c] + n / 2) / n);
        }
    }
    bitmap = small;
}

}  // namespace

void TMultiPreviewLoader::run(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit,
                              const JobRef& job)
{
    bool ok = false;
    try {
        TFileStream stream(fileName, fmOpenRead);
        TMultiFrameReader reader(stream, stream.Position(), fileType);
        TMultiFrame carried;
        int count = 1;
        for (int i = 0; i < count && i < limit && !job->cancel; ++i) {
            auto bitmap = std::make_shared<TBitmap>();
            auto record = std::make_shared<TIOParamsVals>();
            const int fileFrames = reader.Read(i, *bitmap, *record, carried);
            if (fileFrames <= 0)
                break;
            count = fileFrames;
            reduceToBox(*bitmap, boxWidth, boxHeight);
            ok = true;
            TFrame frame{i, fileFrames, std::min(fileFrames, limit), bitmap, record, carried};
            post(job, [this, frame] {
                if (OnFrame)
                    OnFrame(frame);
            });
        }
    } catch (...) {
        // A frame that fails ends the preview; the frames before it stay.
    }
    post(job, [this, job, ok] {
        finishJob(job);
        if (OnFinished)
            OnFinished(ok);
    });
}
