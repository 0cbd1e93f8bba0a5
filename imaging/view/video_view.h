// The video view (TImageKitVideoView) and its frame events.
#pragma once
#include "imaging/view/image_kit_view.h"
#include "platform/core/exceptions.h"
#include "platform/video/capture_driver.h"

#include <QByteArray>
#include <QStringList>
#include <memory>

KANDRIVEL_EXCEPTION(TVideoCapException, Exception)

enum TVCDisplayMode { dmPreview, dmOverlay };

// A frame as a 24-bit BGR bitmap; the handler must not keep the bitmap.
using TVideoFrameEvent = std::function<void(TObject* Sender, TBitmap* Bitmap)>;
// The frame's format block (a 40-byte device-independent bitmap header, 24 bits) and
// its pixel rows, bottom-up, each padded to four bytes; valid during the call only.
using TVideoFrameRawEvent = std::function<void(TObject* Sender, const QByteArray& hDib, const uint8_t* pData)>;

class TVideoSurface;

// An image view that shows live video from a capture driver over itself and can
// freeze one frame into its own bitmap. The live picture is a child surface that
// covers the client area while video runs and is hidden while a frame is frozen, so
// the frozen bitmap is what shows.
class TImageKitVideoView : public TImageKitView {
    Q_OBJECT
public:
    explicit TImageKitVideoView(QWidget* owner = nullptr);
    ~TImageKitVideoView() override;

    bool ShowVideo() const { return showVideo_; }
    void SetShowVideo(bool on);
    TVCDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TVCDisplayMode mode);
    int VideoSource() const { return videoSource_; }
    void SetVideoSource(int index);
    int PreviewRate() const { return previewRate_; }
    void SetPreviewRate(int ms);
    bool FitFreeze() const { return fitFreeze_; }
    void SetFitFreeze(bool on) { fitFreeze_ = on; }

    const TVideoFrameEvent& OnVideoFrame() const { return onVideoFrame_; }
    void SetOnVideoFrame(TVideoFrameEvent handler);
    const TVideoFrameRawEvent& OnVideoFrameRaw() const { return onVideoFrameRaw_; }
    void SetOnVideoFrameRaw(TVideoFrameRawEvent handler);

    // "Name Version" of each installed driver, in driver index order.
    const QStringList& VideoSourceList() const { return videoSourceList_; }
    void RefreshDriverList();

    bool Frozen() const { return frozen_; }
    // True while a freeze waits for the device's next frame.
    bool FreezePending() const { return freezePending_; }
    void SetFreeze(bool freeze);
    void FreezeFrame() { SetFreeze(true); }
    // (0, 0, width − 1, height − 1) of the driver's format; (0, 0, −1, −1) without one.
    TRect GetVideoSize();
    bool ShowVideoSourceDialog();
    bool ShowVideoFormatDialog();
    bool ShowVideoDisplayDialog();

    void SetScrollBars(TScrollStyle style) override;
    void SelectRect(int x1, int y1, int x2, int y2) override;
    void Paint() override;

    bool Connected() const { return connected_; }
    // The live surface (null before the first paint) and the driver while connected.
    QWidget* CaptureWindow() const;
    TCaptureDriver* Driver() const { return connected_ ? driver_.get() : nullptr; }
    // Frames the live surface has received.
    int FramesShown() const;

protected:
    void Resize() override;

private:
    void createCaptureWindow();
    void connectDriver();
    bool tryConnectDriver();
    void disconnectDriver();
    void applyDisplayMode();
    void setFrameCallback(bool wanted);
    void readVideoFormat();
    void frameArrived(const TBitmap& frame);
    void fireFrameEvents(const TBitmap& frame);
    void frozenFrameArrived(bool ok, const TBitmap& frame);
    template <class Dialog> bool showDriverDialog();

    bool showVideo_ = false;
    bool frozen_ = false;
    bool freezePending_ = false;
    TVCDisplayMode displayMode_ = dmPreview;
    TVideoSurface* surface_ = nullptr;
    QStringList videoSourceList_;
    std::vector<TCaptureDriverInfo> drivers_;
    int videoSource_ = 0;
    TScrollStyle userScrollBars_ = ssNone;
    int previewRate_ = 60;
    bool frameCallback_ = false;
    TVideoFrameEvent onVideoFrame_;
    TVideoFrameRawEvent onVideoFrameRaw_;
    TVideoFormat format_;
    bool formatKnown_ = false;
    bool connected_ = false;
    bool fitFreeze_ = true;
    bool destroying_ = false;
    std::unique_ptr<TCaptureDriver> driver_;
};
