// The synthetic capture driver: a moving test pattern.
#include "platform/video/synthetic_source.h"

#include <utility>

#include <QRegularExpression>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int DefaultWidth = 320, DefaultHeight = 240, DefaultFps = 25;

// Colour bars left to right (B, G, R): white, yellow, cyan, green, magenta, red, blue, black.
constexpr uint8_t Bars[8][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0}, {0, 255, 0},
                                {255, 0, 255},   {0, 0, 255},   {255, 0, 0},   {0, 0, 0}};

}  // namespace

TSyntheticSource::TSyntheticSource(const QString& spec, QObject* owner) : TCaptureDriver(owner)
{
    int w = DefaultWidth, h = DefaultHeight, fps = DefaultFps;
    if (!ParseSpec(spec, w, h, fps)) {
        w = DefaultWidth;
        h = DefaultHeight;
        fps = DefaultFps;
    }
    format_ = {w, h, FourCC('B', 'G', 'R', '3'), 1000 / fps};
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &TSyntheticSource::Tick);
}

TSyntheticSource::~TSyntheticSource() = default;

bool TSyntheticSource::ParseSpec(const QString& spec, int& width, int& height, int& fps)
{
    static const QRegularExpression full(QStringLiteral("^synthetic(?::(\\d{1,4})x(\\d{1,4})(?:@(\\d{1,3}))?)?$"));
    const QRegularExpressionMatch m = full.match(spec.trimmed());
    if (!m.hasMatch())
        return false;
    if (m.hasCaptured(1)) {
        const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
        if (w < 1 || h < 1 || w > 4096 || h > 4096)
            return false;
        width = w;
        height = h;
    }
    if (m.hasCaptured(3)) {
        const int f = m.captured(3).toInt();
        if (f < 1 || f > 200)
            return false;
        fps = f;
    }
    return true;
}

bool TSyntheticSource::Open()
{
    open_ = true;
    return true;
}

void TSyntheticSource::Close()
{
    pendingGrab_ = nullptr;
    StopStreaming();
    open_ = false;
}

bool TSyntheticSource::StartStreaming(int intervalMs)
{
    if (!open_)
        return false;
    // Never faster than the source's own rate.
    timer_->start(std::max(intervalMs, format_.IntervalMs));
    return true;
}

void TSyntheticSource::StopStreaming() { timer_->stop(); }

bool TSyntheticSource::Streaming() const { return timer_->isActive(); }

int TSyntheticSource::TimerInterval() const { return timer_->isActive() ? timer_->interval() : -1; }

void TSyntheticSource::Tick()
{
    if (!open_)
        return;
    TBitmap frame;
    RenderFrame(frameNumber_++, frame);
    if (TGrabDone done = std::exchange(pendingGrab_, nullptr)) {
        done(true, frame);
        return;
    }
    DeliverFrame(frame);
}

void TSyntheticSource::GrabFrameAsync(TGrabDone done)
{
    if (!GrabOnNextTick || !open_) {
        TCaptureDriver::GrabFrameAsync(std::move(done));
        return;
    }
    pendingGrab_ = std::move(done);
}

bool TSyntheticSource::GrabFrame(TBitmap& frame)
{
    if (!open_)
        return false;
    RenderFrame(frameNumber_++, frame);
    return true;
}

void TSyntheticSource::RenderFrame(int n, TBitmap& frame) const
{
    const int w = format_.Width, h = format_.Height;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(w, h);
    const int side = std::max(1, std::min(w, h) / 4);
    const int span = std::max(1, w - side);
    const int bx = (n * 4) % span, by = (h - side) / 2;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = frame.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const bool block = x >= bx && x < bx + side && y >= by && y < by + side;
            const uint8_t* c = block ? Bars[7] : Bars[std::min(7, x * 8 / w)];
            for (int k = 0; k < 3; ++k)
                row[x * 3 + k] = uint8_t(std::clamp(c[k] + (block ? 128 : 0) + brightness_, 0, 255));
        }
    }
    frame.Changed();
}

std::vector<TVideoFormat> TSyntheticSource::Formats() const
{
    std::vector<TVideoFormat> list;
    for (const auto& [w, h] : {std::pair{160, 120}, {320, 240}, {640, 480}})
        for (int interval : {40, 100})
            list.push_back({w, h, format_.PixelFormat, interval});
    return list;
}

bool TSyntheticSource::SetFormat(const TVideoFormat& format)
{
    if (format.Width < 1 || format.Height < 1 || format.Width > 4096 || format.Height > 4096 ||
        format.PixelFormat != format_.PixelFormat)
        return false;
    format_.Width = format.Width;
    format_.Height = format.Height;
    if (format.IntervalMs > 0)
        format_.IntervalMs = format.IntervalMs;
    return true;
}

std::vector<TVideoControl> TSyntheticSource::Controls() const
{
    return {{BrightnessControl, QStringLiteral("Brightness"), -128, 127, 1, 0, brightness_}};
}

bool TSyntheticSource::SetControl(uint32_t id, int value)
{
    if (id != BrightnessControl || value < -128 || value > 127)
        return false;
    brightness_ = value;
    return true;
}
