// The open dialog's preview of files of several frames: the multi view with playback.

#include "dialog_driver.h"
#include "imaging/io/multi_io.h"
#include "imaging/view/multi_view.h"

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/bitmap.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace dlgtest;

TEST(OpenImageKitDialogMulti, VideosAndMultiPageFilesPreviewFrameByFrameWithPlayback)
{
    REQUIRE_TOOLS(QStringLiteral("ffmpeg"));
    const QString dir = TempDir();
    // Longer than a preview keeps: the label still gives the file's own count.
    ASSERT_EQ(RunTool(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("testsrc=size=40x30:rate=25"), QStringLiteral("-frames:v"),
                       QStringLiteral("310"), QStringLiteral("-c:v"), QStringLiteral("mjpeg"),
                       dir + QStringLiteral("/film.avi")}),
              0);
    TBitmap page(12, 9);
    TImageKitIO io;
    io.SetAttachedBitmap(&page);
    for (int i = 0; i < 3; ++i) {
        io.Params().TiffImageIndex = i;
        io.InsertToFileTIFF(dir + QStringLiteral("/pages.tif"));
    }
    SaveImage(dir + QStringLiteral("/one.png"), 30, 20, pf24bit, 96, 96);

    struct Row {
        const char* file;
        bool multi;
        int images;
        const char* label;
    };
    const Row rows[] = {{"film.avi", true, 300, "40 x 30 pixel , 310 frames"},
                        {"pages.tif", true, 3, "12 x 9 pixel , 3 frames"},
                        {"one.png", false, 0, "30 x 20 pixel"}};
    TOpenImageKitDialog d;
    d.SetInitialDir(dir);
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        for (const Row& r : rows) {
            SCOPED_TRACE(r.file);
            const int before = changes;
            ASSERT_TRUE(ClickEntry(fd, QLatin1String(r.file)));
            ASSERT_TRUE(QTest::qWaitFor([&] { return changes > before && !d.Busy(); }, kWait));
            EXPECT_EQ(d.ImageKitMView->isVisible(), r.multi);
            EXPECT_EQ(d.ImageKitView->isVisible(), !r.multi);
            EXPECT_EQ(d.PlayButton->isEnabled(), r.multi);
            EXPECT_EQ(d.ZoomCombo->isEnabled(), !r.multi);
            EXPECT_EQ(d.PicLabel1->text(), QLatin1String(r.label));
            if (!r.multi)
                continue;
            EXPECT_EQ(d.ImageKitMView->ImageCount(), r.images);
            EXPECT_EQ(d.MultiIO()->ImageCount(), r.images);
            EXPECT_EQ(d.ImageKitMView->SelectedImage(), 0);
            EXPECT_TRUE(d.PreviewButton->isEnabled());
            // Video frames are kept at thumbnail size.
            const TBitmap* first = d.ImageKitMView->GetBitmap();
            ASSERT_NE(first, nullptr);
            EXPECT_LE(first->Width(), d.ImageKitMView->ThumbWidth());
            // The play button runs the show while it is down.
            QTest::mouseClick(d.PlayButton, Qt::LeftButton);
            EXPECT_TRUE(d.ImageKitMView->Playing());
            EXPECT_FALSE(d.PreviewButton->isEnabled());
            QTest::mouseClick(d.PlayButton, Qt::LeftButton);
            EXPECT_FALSE(d.ImageKitMView->Playing());
            EXPECT_TRUE(d.PreviewButton->isEnabled());
            // Arrow keys reach the view and choose the next frame.
            d.ImageKitMView->setFocus();
            QTest::keyClick(d.ImageKitMView, Qt::Key_Right);
            EXPECT_EQ(d.ImageKitMView->SelectedImage(), 1);
        }
    });
}

// Pages decode off the window's thread at thumbnail size, at most 300 of them (the label
// keeps the file's count); the full-size preview reads its page again. Closing the
// dialog while pages still decode, or choosing another file, abandons the work.
TEST(OpenImageKitDialogMulti, ManyPagesArriveReducedCappedAndSurviveTheDialogClosing)
{
    REQUIRE_TOOLS(QStringLiteral("convert"));
    const QString dir = TempDir();
    ASSERT_EQ(RunTool(QStringLiteral("convert"),
                      {QStringLiteral("-size"), QStringLiteral("240x180"), QStringLiteral("xc:white"),
                       QStringLiteral("-duplicate"), QStringLiteral("309"), QStringLiteral("-depth"),
                       QStringLiteral("8"), QStringLiteral("-type"), QStringLiteral("TrueColor"),
                       QStringLiteral("-compress"), QStringLiteral("RLE"), dir + QStringLiteral("/many.tif")}),
              0);
    SaveImage(dir + QStringLiteral("/one.png"), 30, 20, pf24bit, 96, 96);

    for (const bool closeEarly : {false, true}) {
        SCOPED_TRACE(closeEarly ? "closed early" : "loaded");
        auto d = std::make_unique<TOpenImageKitDialog>();
        d->SetInitialDir(dir);
        int changes = 0;
        d->OnSelectionChange = [&](TObject*) { ++changes; };
        ExecuteWith(*d, [&](TIKFileDialog& fd) {
            ASSERT_TRUE(ClickEntry(fd, QStringLiteral("many.tif")));
            if (closeEarly) {
                // Another file while the pages decode, then away with the dialog.
                ASSERT_TRUE(QTest::qWaitFor([&] { return d->ImageKitMView->ImageCount() > 0; }, kWait));
                ASSERT_TRUE(ClickEntry(fd, QStringLiteral("one.png")));
                fd.reject();
                return;
            }
            ASSERT_TRUE(QTest::qWaitFor([&] { return changes > 0 && !d->Busy(); }, kWait));
            EXPECT_EQ(d->ImageKitMView->ImageCount(), 300);
            EXPECT_EQ(d->PicLabel1->text(), QStringLiteral("240 x 180 pixel , 310 frames"));
            const TBitmap* first = d->ImageKitMView->GetBitmap();
            ASSERT_NE(first, nullptr);
            EXPECT_LE(first->Width(), d->ImageKitMView->ThumbWidth());
            EXPECT_LE(first->Height(), d->ImageKitMView->ThumbHeight());
            EXPECT_EQ(d->MultiIO()->Params(299)->Width, 240);
        });
        d.reset();
    }
}
