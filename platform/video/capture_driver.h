// Capture drivers: formats, controls and the driver base (TCaptureDriver).
#pragma once
#include "platform/graphics/bitmap.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One frame size and pixel format a driver can deliver; the interval is the time
// between frames in milliseconds (0 when the driver does not say).
struct TVideoFormat {
    int Width = 0;
    int Height = 0;
    uint32_t PixelFormat = 0;  // four-character code, e.g. 'YUYV'
    int IntervalMs = 0;
    bool operator==(const TVideoFormat&) const = default;
};

// The four-character code as text ("YUYV"); unprintable bytes become '?'.
QString FourCCText(uint32_t code);
constexpr uint32_t FourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

// A setting of the source (brightness, contrast, …), integer valued.
struct TVideoControl {
    uint32_t Id = 0;
    QString Name;
    int Minimum = 0;
    int Maximum = 0;
    int Step = 1;
    int Default = 0;
    int Value = 0;
};

// A capture driver: opened, it delivers 24-bit BGR frames through OnFrame on the
// user-interface thread while streaming. Every frame reaches only the driver's own
// handler, so each view owns its driver and no frame outlives it.
class TCaptureDriver : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TCaptureDriver() override = default;

    virtual QString Name() const = 0;
    virtual QString Version() const = 0;

    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Starts delivering frames, one every intervalMs at most (0: as fast as the device).
    virtual bool StartStreaming(int intervalMs) = 0;
    virtual void StopStreaming() = 0;
    virtual bool Streaming() const = 0;
    // Takes one frame now (waiting for the device a bounded time); false on failure.
    virtual bool GrabFrame(TBitmap& frame) = 0;
    // Takes the next frame without waiting on this thread: done runs once, later, with
    // the frame, or with false when none came in time. Drivers that have a frame at
    // once run it before returning. A new request or CancelGrab drops the old one.
    using TGrabDone = std::function<void(bool ok, const TBitmap& frame)>;
    virtual void GrabFrameAsync(TGrabDone done)
    {
        TBitmap frame;
        const bool ok = GrabFrame(frame);
        done(ok, frame);
    }
    virtual void CancelGrab() {}

    virtual TVideoFormat Format() const = 0;
    virtual std::vector<TVideoFormat> Formats() const = 0;
    virtual bool SetFormat(const TVideoFormat& format) = 0;

    virtual std::vector<TVideoControl> Controls() const = 0;
    virtual bool SetControl(uint32_t id, int value) = 0;

    std::function<void(const TBitmap& frame)> OnFrame;

protected:
    void DeliverFrame(const TBitmap& frame)
    {
        if (OnFrame)
            OnFrame(frame);
    }
};

// Descriptions of the installed drivers, in driver index order, at most ten: the
// synthetic source first when KANDRIVEL_VIDEO_SOURCE asks for it, then every
// /dev/video* that captures video.
struct TCaptureDriverInfo {
    QString Name;
    QString Version;
    QString Device;  // the device path, or the synthetic source's size and rate text
};
std::vector<TCaptureDriverInfo> ListCaptureDrivers();
// A driver for the entry, not yet opened; nullptr for an unusable entry.
std::unique_ptr<TCaptureDriver> CreateCaptureDriver(const TCaptureDriverInfo& info);

// The environment variable that adds the synthetic source: "synthetic" or
// "synthetic:WIDTHxHEIGHT@FPS".
inline constexpr const char* SyntheticSourceVariable = "KANDRIVEL_VIDEO_SOURCE";
