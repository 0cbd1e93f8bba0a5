// The video import dialog: size display, import and the form closing while it waits.
#include "app/video/video_import_dialog.h"
#include "app/app_test_util.h"
#include "imaging/view/video_view.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/image_control.h"
#include "platform/video/capture_driver.h"
#include "platform/video/synthetic_source.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
namespace {

class VideoForm : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        old_ = qgetenv(SyntheticSourceVariable);
    }
    void TearDown() override
    {
        if (old_.isEmpty())
            qunsetenv(SyntheticSourceVariable);
        else
            qputenv(SyntheticSourceVariable, old_);
        MainWindowTest::TearDown();
    }
    QByteArray old_;
};

}  // namespace

// The size label and the view follow the capture size; without a driver nothing is shown.
TEST_F(VideoForm, SizeDisplayFitsTheViewTo320)
{
    Tform1& f = make();
    struct Case {
        const char* spec;
        const char* label;
        int w, h;
    };
    const Case cases[] = {{"synthetic:640x480", "640 x 480", 320, 240},
                          {"synthetic:240x320", "240 x 320", 240, 320},
                          {"synthetic:300x300", "300 x 300", 320, 320},
                          {"synthetic:1000x100", "1000 x 100", 320, 32}};
    for (const Case& c : cases) {
        qputenv(SyntheticSourceVariable, c.spec);
        Tvideoform form(f);
        form.show();
        EXPECT_EQ(form.sizeLabel->text(), QString::fromLatin1(c.label));
        EXPECT_EQ(form.videoView->width(), c.w) << c.spec;
        EXPECT_EQ(form.videoView->height(), c.h) << c.spec;
        EXPECT_EQ(form.videoView->Bitmap()->Width(), form.videoView->ClientWidth());
        EXPECT_EQ(form.driverCombo->currentText(), QStringLiteral("Kandrivel test pattern 1.0"));
    }
    qunsetenv(SyntheticSourceVariable);
    Tvideoform none(f);
    none.videoView->SetVideoSource(20);
    none.show();
    EXPECT_TRUE(none.sizeLabel->text().isEmpty());
    QTest::mouseClick(none.videoOnButton, Qt::LeftButton);
    EXPECT_FALSE(none.videoOnButton->isChecked());
    EXPECT_FALSE(none.videoView->ShowVideo());
    EXPECT_EQ(messages.size(), 1);
}

// Importing copies the view's frame into a new image window through the interpreter;
// a frame frozen before stays frozen, one frozen only for the import is released.
TEST_F(VideoForm, ImportMakesANewImageWindow)
{
    qputenv(SyntheticSourceVariable, "synthetic:160x120@50");
    Tform1& f = make();
    Tvideoform form(f);
    form.show();
    QTest::mouseClick(form.videoOnButton, Qt::LeftButton);
    ASSERT_TRUE(form.videoView->ShowVideo());
    auto* source = dynamic_cast<TSyntheticSource*>(form.videoView->Driver());
    ASSERT_TRUE(source);
    // Last, a device that gives the frame to freeze later: the import waits for it.
    const std::pair<bool, bool> cases[] = {{false, false}, {true, false}, {false, true}};
    for (const auto& [frozenBefore, later] : cases) {
        source->GrabOnNextTick = later;
        if (frozenBefore != form.videoView->Frozen())
            QTest::mouseClick(form.freezeButton, Qt::LeftButton);
        const int windows = int(f.MDIChildren().size());
        QTest::mouseClick(form.importButton, Qt::LeftButton);
        ASSERT_EQ(int(f.MDIChildren().size()), windows + 1);
        Tchild* c = Tform1::imageWindowOf(f.ActiveMDIChild());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->imageKit->Bitmap()->Width(), form.videoView->ClientWidth());
        EXPECT_EQ(c->imageKit->Bitmap()->Height(), form.videoView->ClientHeight());
        // The view keeps the imported frame in its bitmap also once live again.
        EXPECT_EQ(c->imageKit->Bitmap()->Image(), form.videoView->Bitmap()->Image());
        EXPECT_EQ(form.videoView->Frozen(), frozenBefore);
        EXPECT_TRUE(form.isVisible());
        c->SetModified(false);
    }
    QTest::mouseClick(form.closeButton, Qt::LeftButton);
    EXPECT_FALSE(form.videoView->ShowVideo());
}

// A frame of the displayed size is imported as it came: the view's edge takes nothing off.
TEST_F(VideoForm, AFrameOfTheViewsSizeIsImportedAsItCame)
{
    qputenv(SyntheticSourceVariable, "synthetic:320x240@50");
    Tform1& f = make();
    Tvideoform form(f);
    form.show();
    TBitmap grabbed;
    form.videoView->SetOnVideoFrame([&](TObject*, TBitmap* b) { grabbed.Assign(*b); });
    QTest::mouseClick(form.videoOnButton, Qt::LeftButton);
    ASSERT_TRUE(form.videoView->ShowVideo());
    QTest::mouseClick(form.freezeButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.videoView->FreezePending(); }, 10000));
    QTest::mouseClick(form.importButton, Qt::LeftButton);
    Tchild* c = Tform1::imageWindowOf(f.ActiveMDIChild());
    ASSERT_TRUE(c);
    EXPECT_EQ(form.sizeLabel->text(), QStringLiteral("320 x 240"));
    ASSERT_EQ(grabbed.Width(), 320);
    EXPECT_EQ(c->imageKit->Bitmap()->Width(), 320);
    EXPECT_EQ(c->imageKit->Bitmap()->Height(), 240);
    EXPECT_EQ(c->imageKit->Bitmap()->Image(), grabbed.Image());
    c->SetModified(false);
}

// The form closed and freed while an import waits for the device's frame.
TEST_F(VideoForm, ImportSurvivesTheFormGoingWhileItWaits)
{
    qputenv(SyntheticSourceVariable, "synthetic:160x120@50");
    Tform1& f = make();
    QPointer<Tvideoform> form = new Tvideoform(f);
    form->show();
    QTest::mouseClick(form->videoOnButton, Qt::LeftButton);
    auto* source = dynamic_cast<TSyntheticSource*>(form->videoView->Driver());
    ASSERT_TRUE(source);
    source->GrabOnNextTick = true;
    source->StopStreaming();  // no frame comes until the form has gone
    const int windows = int(f.MDIChildren().size());
    QTimer::singleShot(0, [&] { delete form.data(); });
    form->importClicked();
    EXPECT_FALSE(form);
    EXPECT_EQ(int(f.MDIChildren().size()), windows);
}

// Code 34, from the menu item and from its button, opens the video form modally.
TEST_F(VideoForm, MenuAndButtonOpenTheForm)
{
    qputenv(SyntheticSourceVariable, "synthetic:64x48");
    Tform1& f = make();
    const std::function<void()> triggers[] = {[&] { f.Item(QStringLiteral("Videobildimportieren1"))->trigger(); },
                                              [&] {
                                                  f.Control<QToolButton>(QStringLiteral("SpeedButton57"))->click();
                                              }};
    for (const auto& trigger : triggers) {
        QString seen;
        QTimer::singleShot(0, [&] {
            if (auto* form = qobject_cast<Tvideoform*>(QApplication::activeModalWidget())) {
                seen = form->sizeLabel->text();
                form->closeButton->click();
            }
        });
        trigger();
        EXPECT_EQ(seen, QStringLiteral("64 x 48"));
    }
}
