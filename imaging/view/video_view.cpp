// The video view: capture drivers, the live picture and grabbed frames.
#include "imaging/view/video_view.h"

#include "imaging/proc/dib.h"
#include "imaging/proc/geometry.h"
#include "platform/video/video_dialogs.h"

#include <QPainter>

// The live picture: the latest frame scaled to the surface.
class TVideoSurface : public QWidget {
public:
    explicit TVideoSurface(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Mouse input belongs to the view underneath.
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void Show(const TBitmap& frame)
    {
        frame_ = frame.Image().copy();
        ++frames_;
        update();
    }
    int Frames() const { return frames_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (frame_.isNull())
            p.fillRect(rect(), Qt::black);
        else
            p.drawImage(rect(), frame_);
    }

private:
    QImage frame_;
    int frames_ = 0;
};

namespace {
const char* const NoDriver = "Unable to open video capture driver";
}

TImageKitVideoView::TImageKitVideoView(QWidget* owner) : TImageKitView(owner) { RefreshDriverList(); }

TImageKitVideoView::~TImageKitVideoView()
{
    destroying_ = true;
    if (surface_)
        SetShowVideo(false);
    if (driver_)
        driver_->OnFrame = nullptr;
}

void TImageKitVideoView::RefreshDriverList()
{
    drivers_ = ListCaptureDrivers();
    videoSourceList_.clear();
    for (const TCaptureDriverInfo& d : drivers_)
        videoSourceList_ << d.Name + QLatin1Char(' ') + d.Version;
}

QWidget* TImageKitVideoView::CaptureWindow() const { return surface_; }

int TImageKitVideoView::FramesShown() const { return surface_ ? surface_->Frames() : 0; }

void TImageKitVideoView::createCaptureWindow()
{
    if (surface_)
        return;
    surface_ = new TVideoSurface(this);
    surface_->setGeometry(QRect(ClientOrigin(), QSize(ClientWidth(), ClientHeight())));
    surface_->hide();
    if (showVideo_)
        SetShowVideo(true);
}

void TImageKitVideoView::Paint()
{
    if (!surface_)
        createCaptureWindow();
    // While live, the surface covers the view; a frozen frame is the bitmap.
    if (!showVideo_ || frozen_)
        TImageKitView::Paint();
}

void TImageKitVideoView::Resize()
{
    TImageKitView::Resize();
    if (surface_) {
        surface_->setGeometry(QRect(ClientOrigin(), QSize(ClientWidth(), ClientHeight())));
        surface_->update();
    }
}

bool TImageKitVideoView::tryConnectDriver()
{
    if (connected_)
        return true;
    if (videoSource_ < 0 || videoSource_ >= int(drivers_.size()))
        return false;
    auto driver = CreateCaptureDriver(drivers_[size_t(videoSource_)]);
    if (!driver || !driver->Open())
        return false;
    driver_ = std::move(driver);
    // The driver belongs to this view, so its frames can reach no other view and none
    // arrives after the view is gone.
    driver_->OnFrame = [this](const TBitmap& frame) { frameArrived(frame); };
    connected_ = true;
    formatKnown_ = false;
    readVideoFormat();
    return true;
}

void TImageKitVideoView::connectDriver()
{
    if (!tryConnectDriver())
        throw TVideoCapException(QString::fromLatin1(NoDriver));
}

void TImageKitVideoView::disconnectDriver()
{
    if (driver_) {
        driver_->OnFrame = nullptr;
        driver_->Close();
        driver_.reset();
    }
    connected_ = false;
    freezePending_ = false;
}

void TImageKitVideoView::SetShowVideo(bool on)
{
    if (on) {
        if (ScrollBars() != ssNone)
            TImageKitView::SetScrollBars(ssNone);
        showVideo_ = true;
        if (!surface_)
            return;
        if (!connected_) {
            try {
                connectDriver();
            } catch (...) {
                // Video stays off, and the scroll bars come back as it would leave them.
                showVideo_ = false;
                if (userScrollBars_ != ssNone && !destroying_)
                    TImageKitView::SetScrollBars(userScrollBars_);
                throw;
            }
        }
        applyDisplayMode();
        surface_->setGeometry(QRect(ClientOrigin(), QSize(ClientWidth(), ClientHeight())));
        surface_->show();
        surface_->raise();
        SetFreeze(frozen_);
    } else {
        disconnectDriver();
        if (surface_)
            surface_->hide();
        showVideo_ = false;
        if (userScrollBars_ != ssNone && !destroying_)
            TImageKitView::SetScrollBars(userScrollBars_);
        Invalidate();
    }
}

void TImageKitVideoView::applyDisplayMode()
{
    if (!connected_ || frozen_)
        return;
    // Preview throttles to the preview rate; overlay shows whatever the device sends.
    driver_->StartStreaming(displayMode_ == dmPreview ? previewRate_ : 0);
}

void TImageKitVideoView::SetDisplayMode(TVCDisplayMode mode)
{
    displayMode_ = mode;
    if (!connected_)
        return;
    Deselect();
    applyDisplayMode();
}

void TImageKitVideoView::SetPreviewRate(int ms)
{
    previewRate_ = ms;
    if (connected_ && !frozen_ && displayMode_ == dmPreview)
        driver_->StartStreaming(previewRate_);
}

void TImageKitVideoView::SetVideoSource(int index)
{
    videoSource_ = index;
    // Another driver has another format.
    formatKnown_ = false;
    if (showVideo_) {
        SetShowVideo(false);
        SetShowVideo(true);
    }
}

void TImageKitVideoView::SetScrollBars(TScrollStyle style)
{
    userScrollBars_ = style;
    TImageKitView::SetScrollBars(showVideo_ ? ssNone : style);
}

void TImageKitVideoView::SelectRect(int x1, int y1, int x2, int y2)
{
    if (showVideo_ && !frozen_)
        return;
    TImageKitView::SelectRect(x1, y1, x2, y2);
}

void TImageKitVideoView::setFrameCallback(bool wanted) { frameCallback_ = wanted; }

void TImageKitVideoView::SetOnVideoFrame(TVideoFrameEvent handler)
{
    onVideoFrame_ = std::move(handler);
    setFrameCallback(onVideoFrame_ || onVideoFrameRaw_);
}

void TImageKitVideoView::SetOnVideoFrameRaw(TVideoFrameRawEvent handler)
{
    onVideoFrameRaw_ = std::move(handler);
    setFrameCallback(onVideoFrame_ || onVideoFrameRaw_);
}

void TImageKitVideoView::fireFrameEvents(const TBitmap& frame)
{
    if (!frameCallback_)
        return;
    if (onVideoFrame_) {
        TBitmap copy(frame);
        onVideoFrame_(this, &copy);
    }
    if (onVideoFrameRaw_) {
        const QByteArray dib = BitmapRectToDIB(&frame, 0, 0, frame.Width(), frame.Height());
        constexpr int HeaderSize = 40;
        if (dib.size() >= HeaderSize)
            onVideoFrameRaw_(this, dib.left(HeaderSize),
                             reinterpret_cast<const uint8_t*>(dib.constData()) + HeaderSize);
    }
}

void TImageKitVideoView::frameArrived(const TBitmap& frame)
{
    if (frozen_ || !showVideo_)
        return;
    if (surface_)
        surface_->Show(frame);
    fireFrameEvents(frame);
}

void TImageKitVideoView::SetFreeze(bool freeze)
{
    frozen_ = freeze;
    if (!showVideo_ || !connected_)
        return;
    if (!freeze) {
        freezePending_ = false;
        driver_->CancelGrab();
        if (surface_) {
            surface_->show();
            surface_->raise();
        }
        applyDisplayMode();
        return;
    }
    // The device's next frame becomes the frozen one; nothing here waits for it, and live
    // frames are ignored meanwhile (frozen_ is set). The driver dies with this view, and
    // its grab with it.
    freezePending_ = true;
    driver_->GrabFrameAsync([this](bool ok, const TBitmap& frame) { frozenFrameArrived(ok, frame); });
}

void TImageKitVideoView::frozenFrameArrived(bool ok, const TBitmap& frame)
{
    freezePending_ = false;
    if (!frozen_ || !connected_)
        return;
    // The grab stops the live picture, as the device gives the frame to us alone.
    driver_->StopStreaming();
    if (ok) {
        fireFrameEvents(frame);
        TBitmap* bmp = Bitmap();
        bmp->Assign(frame);
        const int w = ClientWidth(), h = ClientHeight();
        // A frame of the view's size is kept as it came.
        if (fitFreeze_ && w > 0 && h > 0 && (frame.Width() != w || frame.Height() != h)) {
            const TResampleFilter filter = frame.Width() < w || frame.Height() < h ? rfTriangle : rfNone;
            Resample(*bmp, w, h, filter);
        }
    }
    if (surface_)
        surface_->hide();
    Update();
    Invalidate();
}

void TImageKitVideoView::readVideoFormat()
{
    if (formatKnown_)
        return;
    const bool quiet = !connected_;
    if (quiet)
        tryConnectDriver();
    format_ = connected_ ? driver_->Format() : TVideoFormat{};
    if (quiet && connected_)
        disconnectDriver();
    formatKnown_ = true;
}

TRect TImageKitVideoView::GetVideoSize()
{
    // Making the capture window switches wanted video on, which may fail without a
    // device; the size is asked for all the same and never raises.
    try {
        createCaptureWindow();
    } catch (const TVideoCapException&) {}
    readVideoFormat();
    return TRect(0, 0, format_.Width - 1, format_.Height - 1);
}

template <class Dialog> bool TImageKitVideoView::showDriverDialog()
{
    const bool quiet = !connected_;
    if (quiet && !tryConnectDriver())
        return false;
    bool ok;
    {
        Dialog dialog(*driver_, this);
        ok = dialog.exec() == QDialog::Accepted;
    }
    formatKnown_ = false;
    readVideoFormat();
    if (quiet)
        disconnectDriver();
    else if (showVideo_ && !frozen_)
        applyDisplayMode();
    return ok;
}

bool TImageKitVideoView::ShowVideoSourceDialog() { return showDriverDialog<TVideoSourceDialog>(); }
bool TImageKitVideoView::ShowVideoFormatDialog() { return showDriverDialog<TVideoFormatDialog>(); }

// The devices have no display settings of their own: as with a driver that offers no
// display dialog, nothing is shown.
bool TImageKitVideoView::ShowVideoDisplayDialog() { return false; }
