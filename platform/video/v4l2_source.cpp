// The Video4Linux2 driver: formats, controls, buffers and frames.
#include "platform/video/v4l2_source.h"
#include "platform/video/v4l_libraries.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int BufferCount = 4;
constexpr int GrabWaitMs = 3000;
// Bounds for what the device enumerates, so that a misbehaving driver cannot loop us.
constexpr int MaxEnumerated = 64;

QString text(const uint8_t* field, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(field),
                             int(strnlen(reinterpret_cast<const char*>(field), size)));
}

}  // namespace

TV4L2Source::TV4L2Source(QString device, QString name, QString version, QObject* owner)
    : TCaptureDriver(owner), device_(std::move(device)), name_(std::move(name)), version_(std::move(version))
{}

TV4L2Source::~TV4L2Source() { Close(); }

int TV4L2Source::ioctl(unsigned long request, void* arg) const
{
    int r;
    do
        r = V4L().v4l2_ioctl(fd_, request, arg);
    while (r == -1 && errno == EINTR);
    return r;
}

bool TV4L2Source::Describe(const QString& device, QString& name, QString& version)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    v4l2_capability cap{};
    const bool ok = ::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0;
    ::close(fd);
    if (!ok)
        return false;
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING))
        return false;
    name = text(cap.card, sizeof cap.card);
    version = QStringLiteral("%1.%2.%3").arg(cap.version >> 16).arg((cap.version >> 8) & 0xFF).arg(cap.version & 0xFF);
    return true;
}

bool TV4L2Source::Open()
{
    if (fd_ >= 0)
        return true;
    if (!V4L().Loaded)
        return false;
    fd_ = V4L().v4l2_open(device_.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    // Ask for RGB24: the device library converts the camera's own format to it.
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (ioctl(VIDIOC_G_FMT, &f) == 0) {
        f.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
        ioctl(VIDIOC_S_FMT, &f);
    }
    if (!readFormat()) {
        Close();
        return false;
    }
    return true;
}

void TV4L2Source::Close()
{
    CancelGrab();
    stopDevice();
    streaming_ = false;
    if (fd_ >= 0)
        V4L().v4l2_close(fd_);
    fd_ = -1;
}

bool TV4L2Source::readFormat()
{
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (ioctl(VIDIOC_G_FMT, &f) != 0)
        return false;
    format_.Width = int(f.fmt.pix.width);
    format_.Height = int(f.fmt.pix.height);
    format_.PixelFormat = f.fmt.pix.pixelformat;
    bytesPerLine_ = int(f.fmt.pix.bytesperline);
    v4l2_streamparm p{};
    p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format_.IntervalMs = 0;
    if (ioctl(VIDIOC_G_PARM, &p) == 0 && p.parm.capture.timeperframe.denominator)
        format_.IntervalMs =
            int(1000ull * p.parm.capture.timeperframe.numerator / p.parm.capture.timeperframe.denominator);
    return format_.Width > 0 && format_.Height > 0;
}

bool TV4L2Source::mapBuffers()
{
    v4l2_requestbuffers req{};
    req.count = BufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (ioctl(VIDIOC_REQBUFS, &req) != 0 || req.count < 1)
        return false;
    for (uint32_t i = 0; i < std::min<uint32_t>(req.count, BufferCount); ++i) {
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        b.index = i;
        if (ioctl(VIDIOC_QUERYBUF, &b) != 0)
            return false;
        void* start = V4L().v4l2_mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, b.m.offset);
        if (start == MAP_FAILED)
            return false;
        buffers_.push_back({start, b.length});
        if (ioctl(VIDIOC_QBUF, &b) != 0)
            return false;
    }
    return true;
}

void TV4L2Source::unmapBuffers()
{
    for (const Buffer& b : buffers_)
        V4L().v4l2_munmap(b.start, b.length);
    buffers_.clear();
    if (fd_ >= 0) {
        v4l2_requestbuffers req{};
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        ioctl(VIDIOC_REQBUFS, &req);
    }
}

bool TV4L2Source::startDevice()
{
    if (deviceOn_)
        return true;
    if (fd_ < 0 || !readFormat() || !mapBuffers()) {
        unmapBuffers();
        return false;
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (ioctl(VIDIOC_STREAMON, &type) != 0) {
        unmapBuffers();
        return false;
    }
    deviceOn_ = true;
    notifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TV4L2Source::frameReady);
    notifier_->setEnabled(streaming_);
    return true;
}

void TV4L2Source::stopDevice()
{
    if (!deviceOn_)
        return;
    delete notifier_;
    notifier_ = nullptr;
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    ioctl(VIDIOC_STREAMOFF, &type);
    unmapBuffers();
    deviceOn_ = false;
}

bool TV4L2Source::StartStreaming(int intervalMs)
{
    intervalMs_ = std::max(0, intervalMs);
    if (intervalMs_ > 0) {
        // Ask the device for the rate; frames that still come sooner are dropped.
        v4l2_streamparm p{};
        p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (ioctl(VIDIOC_G_PARM, &p) == 0 && (p.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) {
            p.parm.capture.timeperframe = {uint32_t(intervalMs_), 1000};
            ioctl(VIDIOC_S_PARM, &p);
        }
    }
    streaming_ = true;
    if (!startDevice()) {
        streaming_ = false;
        return false;
    }
    notifier_->setEnabled(true);
    sinceLast_.invalidate();
    return true;
}

void TV4L2Source::StopStreaming()
{
    streaming_ = false;
    // A grab still waiting keeps the device until its frame has come.
    if (grabDone_) {
        grabTemporary_ = true;
        if (notifier_)
            notifier_->setEnabled(true);
        return;
    }
    stopDevice();
}

bool TV4L2Source::takeFrame(TBitmap& frame)
{
    v4l2_buffer b{};
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    if (ioctl(VIDIOC_DQBUF, &b) != 0)
        return false;
    return convertAndRequeue(b, frame);
}

bool TV4L2Source::convertAndRequeue(v4l2_buffer& b, TBitmap& frame)
{
    bool ok = false;
    if (b.index < buffers_.size() && !(b.flags & V4L2_BUF_FLAG_ERROR)) {
        const Buffer& buf = buffers_[b.index];
        const size_t used = std::min<size_t>(b.bytesused ? b.bytesused : buf.length, buf.length);
        ok = converter_.Convert(format_.PixelFormat, format_.Width, format_.Height, bytesPerLine_,
                                static_cast<const uint8_t*>(buf.start), used, frame);
    }
    ioctl(VIDIOC_QBUF, &b);
    return ok;
}

void TV4L2Source::frameReady()
{
    v4l2_buffer b{};
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    if (ioctl(VIDIOC_DQBUF, &b) != 0)
        return;
    if (grabDone_) {
        TBitmap frame;
        const bool ok = convertAndRequeue(b, frame);
        // The first buffers of some cameras are empty or marked bad: a few more tries.
        if (!ok && ++grabAttempts_ < 5)
            return;
        // Finished outside this notifier's signal: finishing may stop the device and
        // free the notifier.
        notifier_->setEnabled(false);
        QTimer::singleShot(0, this, [this, serial = grabSerial_, ok, frame] {
            if (serial == grabSerial_ && grabDone_)
                finishGrab(ok, frame);
        });
        return;
    }
    // A frame the preview rate drops is given back unconverted.
    if (!streaming_ || (intervalMs_ > 0 && sinceLast_.isValid() && sinceLast_.elapsed() < intervalMs_)) {
        ioctl(VIDIOC_QBUF, &b);
        return;
    }
    TBitmap frame;
    if (!convertAndRequeue(b, frame))
        return;
    sinceLast_.start();
    DeliverFrame(frame);
}

void TV4L2Source::GrabFrameAsync(TGrabDone done)
{
    CancelGrab();
    const bool temporary = !deviceOn_;
    if (fd_ < 0 || !startDevice()) {
        done(false, TBitmap());
        return;
    }
    grabDone_ = std::move(done);
    ++grabSerial_;
    grabTemporary_ = temporary;
    grabAttempts_ = 0;
    if (!grabTimeout_) {
        grabTimeout_ = new QTimer(this);
        grabTimeout_->setSingleShot(true);
        connect(grabTimeout_, &QTimer::timeout, this, [this] {
            if (grabDone_)
                finishGrab(false, TBitmap());
        });
    }
    grabTimeout_->start(GrabWaitMs);
    notifier_->setEnabled(true);
}

void TV4L2Source::CancelGrab()
{
    if (!grabDone_)
        return;
    grabDone_ = nullptr;
    if (grabTimeout_)
        grabTimeout_->stop();
    if (grabTemporary_)
        stopDevice();
    else if (notifier_)
        notifier_->setEnabled(streaming_);
}

void TV4L2Source::finishGrab(bool ok, const TBitmap& frame)
{
    TGrabDone done = std::move(grabDone_);
    grabDone_ = nullptr;
    grabTimeout_->stop();
    if (grabTemporary_)
        stopDevice();
    else if (notifier_)
        notifier_->setEnabled(streaming_);
    if (done)
        done(ok, frame);
}

bool TV4L2Source::GrabFrame(TBitmap& frame)
{
    if (fd_ < 0)
        return false;
    const bool temporary = !deviceOn_;
    if (!startDevice())
        return false;
    if (notifier_)
        notifier_->setEnabled(false);
    bool ok = false;
    // A few tries: the first buffers of some cameras are empty or marked bad.
    for (int attempt = 0; attempt < 5 && !ok; ++attempt) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, GrabWaitMs) <= 0)
            break;
        ok = takeFrame(frame);
    }
    if (temporary)
        stopDevice();
    else if (notifier_)
        notifier_->setEnabled(streaming_);
    return ok;
}

std::vector<TVideoFormat> TV4L2Source::Formats() const
{
    std::vector<TVideoFormat> list;
    if (fd_ < 0)
        return list;
    for (uint32_t fi = 0; fi < MaxEnumerated; ++fi) {
        v4l2_fmtdesc d{};
        d.index = fi;
        d.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (ioctl(VIDIOC_ENUM_FMT, &d) != 0)
            break;
        for (uint32_t si = 0; si < MaxEnumerated; ++si) {
            v4l2_frmsizeenum s{};
            s.index = si;
            s.pixel_format = d.pixelformat;
            if (ioctl(VIDIOC_ENUM_FRAMESIZES, &s) != 0 || s.type != V4L2_FRMSIZE_TYPE_DISCRETE)
                break;
            const int w = int(s.discrete.width), h = int(s.discrete.height);
            bool anyInterval = false;
            for (uint32_t ii = 0; ii < MaxEnumerated; ++ii) {
                v4l2_frmivalenum iv{};
                iv.index = ii;
                iv.pixel_format = d.pixelformat;
                iv.width = uint32_t(w);
                iv.height = uint32_t(h);
                if (ioctl(VIDIOC_ENUM_FRAMEINTERVALS, &iv) != 0 || iv.type != V4L2_FRMIVAL_TYPE_DISCRETE ||
                    !iv.discrete.denominator)
                    break;
                list.push_back({w, h, d.pixelformat, int(1000ull * iv.discrete.numerator / iv.discrete.denominator)});
                anyInterval = true;
            }
            if (!anyInterval)
                list.push_back({w, h, d.pixelformat, 0});
        }
    }
    return list;
}

bool TV4L2Source::SetFormat(const TVideoFormat& format)
{
    if (fd_ < 0 || format.Width < 1 || format.Height < 1)
        return false;
    const bool wasStreaming = streaming_;
    stopDevice();
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    bool ok = ioctl(VIDIOC_G_FMT, &f) == 0;
    if (ok) {
        f.fmt.pix.width = uint32_t(format.Width);
        f.fmt.pix.height = uint32_t(format.Height);
        f.fmt.pix.pixelformat = format.PixelFormat;
        ok = ioctl(VIDIOC_S_FMT, &f) == 0;
    }
    if (ok && format.IntervalMs > 0) {
        v4l2_streamparm p{};
        p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        p.parm.capture.timeperframe = {uint32_t(format.IntervalMs), 1000};
        ioctl(VIDIOC_S_PARM, &p);
    }
    readFormat();
    if (wasStreaming)
        StartStreaming(intervalMs_);
    return ok;
}

std::vector<TVideoControl> TV4L2Source::Controls() const
{
    std::vector<TVideoControl> list;
    if (fd_ < 0)
        return list;
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    for (int n = 0; n < MaxEnumerated * 2 && ioctl(VIDIOC_QUERYCTRL, &q) == 0; ++n) {
        const bool usable = !(q.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY)) &&
                            (q.type == V4L2_CTRL_TYPE_INTEGER || q.type == V4L2_CTRL_TYPE_BOOLEAN);
        if (usable) {
            v4l2_control c{q.id, 0};
            ioctl(VIDIOC_G_CTRL, &c);
            list.push_back({q.id, text(q.name, sizeof q.name), q.minimum, q.maximum, std::max(1, q.step),
                            q.default_value, c.value});
        }
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return list;
}

bool TV4L2Source::SetControl(uint32_t id, int value)
{
    v4l2_control c{id, value};
    return fd_ >= 0 && ioctl(VIDIOC_S_CTRL, &c) == 0;
}
