// Reading one scanned image on a helper thread, with progress.
#include "imaging/io/acquire/scan_transfer.h"

#include "imaging/io/acquire/scan_image.h"

#include <QMetaObject>
#include <algorithm>
#include <vector>

TScanTransfer::TScanTransfer(TSaneManager& manager, SANE_Handle source) : manager_(manager), source_(source) {}

TScanTransfer::~TScanTransfer()
{
    if (thread_.joinable()) {
        Cancel();
        thread_.join();
    }
}

void TScanTransfer::Begin()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

void TScanTransfer::Cancel()
{
    if (result_.load() != Running || cancel_.exchange(true))
        return;
    manager_.Cancel(source_);
}

void TScanTransfer::setPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    percent_.store(percent);
    // The bar is told at most once a display frame, and always of the end: repainting it
    // for every percent held the window's thread longer than the device's reads took,
    // and the image arrived behind those paints.
    const auto now = std::chrono::steady_clock::now();
    if (percent == told_ || (percent < 100 && now - toldAt_ < kTellEvery))
        return;
    told_ = percent;
    toldAt_ = now;
    // Posted to this object: a transfer freed meanwhile takes its pending calls with it.
    QMetaObject::invokeMethod(
        this, [this, percent] { emit Progress(percent); }, Qt::QueuedConnection);
}

TScanTransfer::TResult TScanTransfer::readFrames(TScanImage& img)
{
    std::vector<SANE_Byte> buffer(size_t(1) << 18);
    // Separate colour frames come one after another: each is a third of the work.
    int frame = 0, frames = 1;
    for (bool first = true;; first = false) {
        if (!first) {
            if (cancel_.load())
                return Cancelled;
            if (manager_.Start(source_) != SANE_STATUS_GOOD) {
                why_ = QStringLiteral("the next frame did not start");
                return Failed;
            }
        }
        SANE_Parameters p{};
        if (manager_.GetParameters(source_, &p) != SANE_STATUS_GOOD || !img.BeginFrame(p, why_))
            return Failed;
        if (p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE)
            frames = 3;
        const int64_t frameBytes = p.lines > 0 ? int64_t(p.lines) * p.bytes_per_line : 0;
        int64_t got = 0;
        for (;;) {
            SANE_Int n = 0;
            const SANE_Status st = manager_.Read(source_, buffer.data(), SANE_Int(buffer.size()), &n);
            if (st == SANE_STATUS_EOF)
                break;
            if (st == SANE_STATUS_CANCELLED || cancel_.load())
                return Cancelled;
            if (st != SANE_STATUS_GOOD) {
                why_ = manager_.StatusText(st);
                return Failed;
            }
            if (!img.Feed(buffer.data(), size_t(n), why_))
                return Failed;
            got += n;
            if (frameBytes > 0)
                setPercent(int((frame + std::min(1.0, double(got) / double(frameBytes))) * 100.0 / frames));
        }
        if (img.EndFrame())
            return Done;
        ++frame;
        frames = std::max(frames, frame + 1);
    }
}

void TScanTransfer::run()
{
    TScanImage img;
    TResult result = readFrames(img);
    if (result == Done) {
        dib_ = img.TakeDIB(why_);
        if (dib_.isEmpty()) {
            result = Failed;
        } else {
            width_ = img.Width();
            height_ = img.Height();
            samples_ = img.SamplesPerPixel();
            depth_ = img.BitsPerSample();
            bits_ = img.BitsPerPixel();
        }
    }
    result_.store(result);
    QMetaObject::invokeMethod(
        this, [this] { emit Finished(); }, Qt::QueuedConnection);
}
