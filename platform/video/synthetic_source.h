// A capture driver without a device (TSyntheticSource).
#pragma once
#include "platform/video/capture_driver.h"

class QTimer;

// A driver without a device: a test pattern (colour bars with a moving block) whose
// position advances one step with every frame, so that consecutive frames differ and
// frame n is the same on every run.
class TSyntheticSource : public TCaptureDriver {
    Q_OBJECT
public:
    // spec: "synthetic" or "synthetic:WIDTHxHEIGHT@FPS"; bad parts keep 320 × 240 at 25.
    explicit TSyntheticSource(const QString& spec = QStringLiteral("synthetic"), QObject* owner = nullptr);
    ~TSyntheticSource() override;

    static bool ParseSpec(const QString& spec, int& width, int& height, int& fps);

    QString Name() const override { return QStringLiteral("Kandrivel test pattern"); }
    QString Version() const override { return QStringLiteral("1.0"); }
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool StartStreaming(int intervalMs) override;
    void StopStreaming() override;
    bool Streaming() const override;
    bool GrabFrame(TBitmap& frame) override;
    // With GrabOnNextTick the grab waits for the next frame, as a device's does.
    void GrabFrameAsync(TGrabDone done) override;
    void CancelGrab() override { pendingGrab_ = nullptr; }
    bool GrabOnNextTick = false;
    bool GrabPending() const { return bool(pendingGrab_); }
    TVideoFormat Format() const override { return format_; }
    std::vector<TVideoFormat> Formats() const override;
    bool SetFormat(const TVideoFormat& format) override;
    std::vector<TVideoControl> Controls() const override;
    bool SetControl(uint32_t id, int value) override;

    // The pattern of frame number n at the current size and brightness.
    void RenderFrame(int n, TBitmap& frame) const;
    int FrameNumber() const { return frameNumber_; }
    // The streaming timer's interval, or -1 while not streaming.
    int TimerInterval() const;
    // Delivers the next frame at once, as the timer would.
    void Tick();

    static constexpr uint32_t BrightnessControl = 1;

private:
    TVideoFormat format_;
    int brightness_ = 0;
    int frameNumber_ = 0;
    bool open_ = false;
    QTimer* timer_ = nullptr;
    TGrabDone pendingGrab_;
};
