// The video view: live video, display modes, freezing and frame events.
#include "imaging/proc/geometry.h"
#include "imaging/view/video_view.h"
#include "platform/video/synthetic_source.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Views made here see the synthetic source as driver 0.
class VideoViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_ = qgetenv(SyntheticSourceVariable);
        qputenv(SyntheticSourceVariable, "synthetic:160x120@50");
    }
    void TearDown() override
    {
        if (old_.isEmpty())
            qunsetenv(SyntheticSourceVariable);
        else
            qputenv(SyntheticSourceVariable, old_);
    }
    static std::unique_ptr<TImageKitVideoView> shownView(int w, int h)
    {
        auto v = std::make_unique<TImageKitVideoView>();
        v->SetBorderStyle(bsNone);
        v->resize(w, h);
        v->show();
        v->GetVideoSize();  // makes the capture window without waiting for a paint
        return v;
    }
    static TSyntheticSource* source(TImageKitVideoView& v) { return dynamic_cast<TSyntheticSource*>(v.Driver()); }
    QByteArray old_;
};

}  // namespace

TEST_F(VideoViewTest, NoDriverRaisesAndReportsAnEmptySize)
{
    auto v = shownView(100, 80);
    v->SetVideoSource(5);  // beyond every installed driver
    EXPECT_EQ(v->GetVideoSize(), TRect(0, 0, -1, -1));
    EXPECT_THROW(v->SetShowVideo(true), TVideoCapException);
    EXPECT_FALSE(v->ShowVideo());
    EXPECT_FALSE(v->ShowVideoSourceDialog());
    EXPECT_FALSE(v->ShowVideoFormatDialog());
    EXPECT_FALSE(v->ShowVideoDisplayDialog());
    try {
        v->SetShowVideo(true);
    } catch (const TVideoCapException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to open video capture driver"));
    }
}

// Video wanted before the view has painted is switched on with the capture window; the
// size asked meanwhile never raises, and a failed switch-on gives the scroll bars back.
TEST_F(VideoViewTest, AFailedSwitchOnKeepsTheScrollBarsAndTheSizeNeverRaises)
{
    auto v = std::make_unique<TImageKitVideoView>();
    v->SetBorderStyle(bsNone);
    v->resize(100, 80);
    v->SetScrollBars(ssBoth);
    v->SetVideoSource(5);
    v->SetShowVideo(true);  // no capture window yet: only wanted
    TRect size;
    EXPECT_NO_THROW(size = v->GetVideoSize());
    EXPECT_EQ(size, TRect(0, 0, -1, -1));
    EXPECT_FALSE(v->ShowVideo());
    EXPECT_EQ(v->TImageKitView::ScrollBars(), ssBoth);
    EXPECT_THROW(v->SetShowVideo(true), TVideoCapException);
    EXPECT_EQ(v->TImageKitView::ScrollBars(), ssBoth);
}

TEST_F(VideoViewTest, LiveVideoShowsFramesAndSwitchesOff)
{
    auto v = shownView(200, 150);
    ASSERT_FALSE(v->VideoSourceList().isEmpty());
    EXPECT_EQ(v->VideoSourceList()[0], QStringLiteral("Kandrivel test pattern 1.0"));
    EXPECT_EQ(v->GetVideoSize(), TRect(0, 0, 159, 119));
    v->SetScrollBars(ssBoth);
    v->SetShowVideo(true);
    EXPECT_EQ(v->TImageKitView::ScrollBars(), ssNone);
    ASSERT_TRUE(v->Connected());
    EXPECT_TRUE(v->CaptureWindow()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return v->FramesShown() >= 2; }, 10000));
    v->SetShowVideo(false);
    EXPECT_FALSE(v->Connected());
    EXPECT_FALSE(v->CaptureWindow()->isVisible());
    EXPECT_EQ(v->TImageKitView::ScrollBars(), ssBoth);
}

// Preview delivers at the preview rate (never faster than the source), overlay at the
// source's own rate, a frozen frame stops the stream, and a mode change while frozen
// waits for the release.
TEST_F(VideoViewTest, PreviewRateAndDisplayModes)
{
    auto v = shownView(160, 120);
    v->SetShowVideo(true);
    ASSERT_TRUE(source(*v));
    struct Step {
        int rate;
        TVCDisplayMode mode;
        bool frozen;
        int interval;
    };
    const Step steps[] = {{60, dmPreview, false, 60},  {200, dmPreview, false, 200}, {5, dmPreview, false, 20},
                          {200, dmOverlay, false, 20}, {200, dmOverlay, true, -1},   {100, dmPreview, true, -1},
                          {100, dmPreview, false, 100}};
    for (const Step& s : steps) {
        v->SetPreviewRate(s.rate);
        v->SetDisplayMode(s.mode);
        v->SetFreeze(s.frozen);
        EXPECT_EQ(source(*v)->TimerInterval(), s.interval) << s.rate << " " << s.mode << " " << s.frozen;
        EXPECT_EQ(v->CaptureWindow()->isVisible(), !s.frozen);
    }
}

// With FitFreeze the frozen frame is resampled to the view, enlarged with the
// triangle filter and reduced by plain stretching; without it the frame is kept.
TEST_F(VideoViewTest, FreezingPutsTheFrameIntoTheBitmap)
{
    struct Case {
        int viewW, viewH;
        bool fit;
        TResampleFilter filter;
    };
    const Case cases[] = {{200, 150, true, rfTriangle},
                          {100, 75, true, rfNone},
                          {200, 100, true, rfTriangle},
                          {160, 120, true, rfNone},
                          {200, 150, false, rfNone}};
    for (const Case& c : cases) {
        auto v = shownView(c.viewW, c.viewH);
        v->SetFitFreeze(c.fit);
        TBitmap grabbed;
        v->SetOnVideoFrame([&](TObject*, TBitmap* b) { grabbed.Assign(*b); });
        v->SetShowVideo(true);
        v->FreezeFrame();
        ASSERT_TRUE(v->Frozen());
        ASSERT_EQ(grabbed.Width(), 160);
        TBitmap expected(grabbed);
        if (c.fit)
            Resample(expected, c.viewW, c.viewH, c.filter);
        EXPECT_EQ(v->Bitmap()->Width(), expected.Width()) << c.viewW;
        EXPECT_EQ(v->Bitmap()->Height(), expected.Height()) << c.viewW;
        EXPECT_EQ(v->Bitmap()->Image(), expected.Image()) << c.viewW << "x" << c.viewH;
        EXPECT_FALSE(v->CaptureWindow()->isVisible()) << "the live surface would hide the frozen frame";
        v->SetFreeze(false);
        EXPECT_TRUE(v->CaptureWindow()->isVisible());
    }
}

// A device hands over its next frame when it comes: freezing does not wait for it. The
// frame then freezes; unfreezing first drops the grab; a view freed meanwhile is safe.
TEST_F(VideoViewTest, FreezingTakesTheNextFrameWithoutWaitingForIt)
{
    enum Then { Arrives, Unfrozen, Freed };
    for (const Then then : {Arrives, Unfrozen, Freed}) {
        auto v = shownView(160, 120);
        v->SetShowVideo(true);
        TSyntheticSource* s = source(*v);
        ASSERT_TRUE(s);
        s->GrabOnNextTick = true;
        const QImage before = v->Bitmap()->Image();
        v->FreezeFrame();
        EXPECT_TRUE(s->GrabPending()) << then;
        EXPECT_EQ(v->Bitmap()->Image(), before) << "nothing is frozen before the frame comes";
        EXPECT_TRUE(v->CaptureWindow()->isVisible());
        if (then == Freed) {
            v.reset();
            continue;
        }
        if (then == Unfrozen)
            v->SetFreeze(false);
        EXPECT_FALSE(s->GrabPending() && then == Unfrozen);
        const int next = s->FrameNumber();
        s->Tick();
        if (then == Unfrozen) {
            EXPECT_EQ(v->Bitmap()->Image(), before);
            EXPECT_TRUE(v->CaptureWindow()->isVisible());
            EXPECT_TRUE(s->Streaming());
            continue;
        }
        TBitmap expected;
        s->RenderFrame(next, expected);
        EXPECT_EQ(v->Bitmap()->Image(), expected.Image());
        EXPECT_FALSE(v->CaptureWindow()->isVisible());
        EXPECT_FALSE(s->Streaming());
    }
}

// Frames go to each view's own handlers as 24-bit bitmaps; freeing one view while
// frames flow leaves the other running, and nothing reaches the freed one.
TEST_F(VideoViewTest, FrameEventsArePerView)
{
    auto a = shownView(160, 120);
    auto b = shownView(160, 120);
    int framesA = 0, framesB = 0, rawB = 0;
    bool all24 = true;
    a->SetOnVideoFrame([&](TObject* s, TBitmap* bmp) {
        EXPECT_EQ(s, a.get());
        all24 = all24 && bmp->PixelFormat() == pf24bit && bmp->Width() == 160;
        ++framesA;
    });
    b->SetOnVideoFrame([&](TObject* s, TBitmap*) {
        EXPECT_EQ(s, b.get());
        ++framesB;
    });
    b->SetOnVideoFrameRaw([&](TObject*, const QByteArray& header, const uint8_t* bits) {
        ASSERT_EQ(header.size(), 40);
        EXPECT_EQ(uint8_t(header[14]), 24);  // bits per pixel
        EXPECT_NE(bits, nullptr);
        ++rawB;
    });
    a->SetShowVideo(true);
    b->SetShowVideo(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return framesA >= 2 && framesB >= 2; }, 10000));
    EXPECT_TRUE(all24);
    EXPECT_EQ(rawB, framesB);
    a.reset();
    const int before = framesB;
    ASSERT_TRUE(QTest::qWaitFor([&] { return framesB >= before + 3; }, 10000));
}

TEST_F(VideoViewTest, SelectionsOnlyOnAFrozenFrameOrWithoutVideo)
{
    auto v = shownView(160, 120);
    v->SetSelectionBase(iksbBitmap);
    v->Bitmap()->SetSize(160, 120);
    v->SetShowVideo(true);
    v->SelectRect(10, 10, 50, 50);
    EXPECT_FALSE(v->HasSelection());
    v->FreezeFrame();
    v->SelectRect(10, 10, 50, 50);
    EXPECT_TRUE(v->HasSelection());
}
