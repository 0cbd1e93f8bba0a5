// The synthetic capture driver and the driver list.
#include "platform/video/capture_driver.h"
#include "platform/video/synthetic_source.h"

#include <gtest/gtest.h>

TEST(SyntheticSource, SpecificationsChooseSizeAndRate)
{
    struct Case {
        const char* spec;
        bool ok;
        int w, h, fps;
    };
    const Case cases[] = {
        {"synthetic", true, 320, 240, 25},          {"synthetic:640x480@30", true, 640, 480, 30},
        {"synthetic:17x9", true, 17, 9, 25},        {" synthetic:8x8@1 ", true, 8, 8, 1},
        {"synthetic:0x480", false, 320, 240, 25},   {"synthetic:640x480@0", false, 320, 240, 25},
        {"synthetic:640x", false, 320, 240, 25},    {"camera", false, 320, 240, 25},
        {"synthetic:99999x2", false, 320, 240, 25},
    };
    for (const Case& c : cases) {
        int w = 320, h = 240, fps = 25;
        EXPECT_EQ(TSyntheticSource::ParseSpec(QString::fromLatin1(c.spec), w, h, fps), c.ok) << c.spec;
        TSyntheticSource s(QString::fromLatin1(c.spec));
        EXPECT_EQ(s.Format().Width, c.w) << c.spec;
        EXPECT_EQ(s.Format().Height, c.h) << c.spec;
        EXPECT_EQ(s.Format().IntervalMs, 1000 / c.fps) << c.spec;
    }
}

// Frames move (consecutive frames differ), repeat exactly for the same number, follow
// the brightness setting, and come only while open.
TEST(SyntheticSource, FramesAreDeterministicAndMove)
{
    TSyntheticSource s(QStringLiteral("synthetic:64x32"));
    TBitmap grabbed;
    EXPECT_FALSE(s.GrabFrame(grabbed));
    ASSERT_TRUE(s.Open());
    TBitmap a, b, again;
    ASSERT_TRUE(s.GrabFrame(a));
    ASSERT_TRUE(s.GrabFrame(b));
    s.RenderFrame(0, again);
    EXPECT_EQ(a.Image(), again.Image());
    EXPECT_NE(a.Image(), b.Image());
    EXPECT_EQ(a.PixelFormat(), pf24bit);
    EXPECT_EQ(a.Width(), 64);
    EXPECT_EQ(a.Height(), 32);
    for (int level : {-40, 30}) {
        ASSERT_TRUE(s.SetControl(TSyntheticSource::BrightnessControl, level));
        TBitmap lit;
        s.RenderFrame(0, lit);
        // Column 40 lies in a bar (magenta) with channels 255, 0, 255 before the change.
        const uint8_t* before = again.ScanLine(0) + 40 * 3;
        const uint8_t* after = lit.ScanLine(0) + 40 * 3;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(after[k], std::clamp(before[k] + level, 0, 255)) << level << " channel " << k;
    }
    EXPECT_FALSE(s.SetControl(TSyntheticSource::BrightnessControl, 500));
    EXPECT_FALSE(s.SetControl(99, 0));
    ASSERT_TRUE(s.SetFormat({160, 120, s.Format().PixelFormat, 100}));
    EXPECT_EQ(s.Format(), (TVideoFormat{160, 120, s.Format().PixelFormat, 100}));
    EXPECT_FALSE(s.SetFormat({160, 120, FourCC('Y', 'U', 'Y', 'V'), 100}));
}

// The synthetic source is listed first, and only when the variable asks for it.
TEST(CaptureDrivers, SyntheticSourceListedByTheEnvironment)
{
    const QByteArray old = qgetenv(SyntheticSourceVariable);
    qputenv(SyntheticSourceVariable, "synthetic:32x16@10");
    const auto with = ListCaptureDrivers();
    qunsetenv(SyntheticSourceVariable);
    const auto without = ListCaptureDrivers();
    if (!old.isEmpty())
        qputenv(SyntheticSourceVariable, old);
    ASSERT_FALSE(with.empty());
    EXPECT_EQ(with[0].Name, QStringLiteral("Kandrivel test pattern"));
    EXPECT_EQ(with.size(), without.size() + 1);
    EXPECT_LE(with.size(), 10u);
    for (const auto& d : without)
        EXPECT_TRUE(d.Device.startsWith(QLatin1String("/dev/video")));
    auto driver = CreateCaptureDriver(with[0]);
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->Format().Width, 32);
    EXPECT_EQ(CreateCaptureDriver({QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("nowhere")}), nullptr);
    EXPECT_EQ(FourCCText(FourCC('Y', 'U', 'Y', 'V')), QStringLiteral("YUYV"));
}
