// A Video4Linux2 capture driver (TV4L2Source).
#pragma once
#include "platform/video/capture_driver.h"
#include "platform/video/frame_convert.h"

#include <QElapsedTimer>

struct v4l2_buffer;
class QTimer;

class QSocketNotifier;

// A Video4Linux2 device read through the device library with memory-mapped streaming.
// Frames are taken when the device's descriptor becomes readable (a socket notifier on
// the user-interface thread), so no thread polls.
class TV4L2Source : public TCaptureDriver {
    Q_OBJECT
public:
    TV4L2Source(QString device, QString name, QString version, QObject* owner = nullptr);
    ~TV4L2Source() override;

    QString Name() const override { return name_; }
    QString Version() const override { return version_; }
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool StartStreaming(int intervalMs) override;
    void StopStreaming() override;
    bool Streaming() const override { return streaming_; }
    bool GrabFrame(TBitmap& frame) override;
    void GrabFrameAsync(TGrabDone done) override;
    void CancelGrab() override;
    TVideoFormat Format() const override { return format_; }
    std::vector<TVideoFormat> Formats() const override;
    bool SetFormat(const TVideoFormat& format) override;
    std::vector<TVideoControl> Controls() const override;
    bool SetControl(uint32_t id, int value) override;

    // The device's name and driver version, or false when it does not capture video.
    static bool Describe(const QString& device, QString& name, QString& version);

private:
    struct Buffer {
        void* start = nullptr;
        size_t length = 0;
    };
    int ioctl(unsigned long request, void* arg) const;
    bool readFormat();
    bool mapBuffers();
    void unmapBuffers();
    bool startDevice();
    void stopDevice();
    // Dequeues one filled buffer and converts it; false when none was ready or it was bad.
    bool takeFrame(TBitmap& frame);
    // A dequeued buffer converted (false for a bad one); the buffer is queued again.
    bool convertAndRequeue(v4l2_buffer& b, TBitmap& frame);
    void frameReady();
    void finishGrab(bool ok, const TBitmap& frame);

    QString device_, name_, version_;
    int fd_ = -1;
    TVideoFormat format_;
    int bytesPerLine_ = 0;
    std::vector<Buffer> buffers_;
    bool streaming_ = false;  // frames go to OnFrame
    bool deviceOn_ = false;   // the device streams (also for a single grab)
    int intervalMs_ = 0;
    QElapsedTimer sinceLast_;
    QSocketNotifier* notifier_ = nullptr;
    // An asynchronous grab waiting for the device's next frame.
    TGrabDone grabDone_;
    bool grabTemporary_ = false;
    int grabAttempts_ = 0;
    int grabSerial_ = 0;
    QTimer* grabTimeout_ = nullptr;
    TFrameConverter converter_;
};
