#include "app/commands/command_seams.h"
#include "app/forms/video_form.h"
#include "app/forms/zeichen_form.h"
#include "forms_test_util.h"
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

// A BMP whose pixel (x, y) is (x * 40, y * 60, 200) in R, G, B.
QString writeBmp(const QString& name, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(x * 40, y * 60, 200));
    const QString path = TempDir() + QLatin1Char('/') + name;
    img.save(path, "BMP");
    return path;
}

class StylePicker : public MainWindowTest {
protected:
    void TearDown() override
    {
        TOpenDialog::ExecuteHook = nullptr;
        MainWindowTest::TearDown();
    }
};

} // namespace

TEST_F(StylePicker, PagesAndClicksSetTheOptions)
{
    toptions o;
    Tzeichenform picker;
    picker.Options = &o;
    for (int page = 0; page < 3; ++page) {
        picker.PageNumber = page;
        picker.show();
        EXPECT_EQ(picker.Panel2->isVisible(), page == 0);
        EXPECT_EQ(picker.Panel1->isVisible(), page == 1);
        EXPECT_EQ(picker.Panel3->isVisible(), page == 2);
        picker.hide();
    }
    // Each picture by its name, as the user clicks it, and the option it sets.
    struct Case { const char* image; int32_t toptions::*field; int value; };
    const Case cases[] = {
        {"Image10", &toptions::linestyle, 0}, {"Image13", &toptions::linestyle, 3}, {"Image15", &toptions::linestyle, 5},
        {"Image1", &toptions::fillstyle, 0},  {"Image5", &toptions::fillstyle, 4},  {"Image8", &toptions::fillstyle, 7},
        {"Image16", &toptions::brushsize, 0}, {"Image18", &toptions::brushsize, 2}, {"Image20", &toptions::brushsize, 3},
        {"Image19", &toptions::brushsize, 4},
    };
    for (const Case& c : cases) {
        o.*c.field = -1;
        picker.setResult(0);
        picker.show();
        auto* img = picker.findChild<TImage*>(QString::fromLatin1(c.image));
        ASSERT_TRUE(img) << c.image;
        QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_EQ(o.*c.field, c.value) << c.image;
        EXPECT_FALSE(picker.isVisible()) << c.image;
        EXPECT_EQ(picker.result(), QDialog::Accepted);
    }
}

// The user bitmap counts only once loaded; the dialog's file becomes the setting, a
// cancelled or unreadable choice keeps the old one.
TEST_F(StylePicker, UserBitmapNeedsAFile)
{
    toptions o;
    o.fillstyle = 2;
    o.fillpattern = QStringLiteral("before.bmp");
    Tzeichenform picker;
    picker.Options = &o;
    picker.PageNumber = Tzeichenform::FillPage;
    picker.show();
    picker.FillClick(8);
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(o.fillstyle, 2);
    const QString good = writeBmp(QStringLiteral("pattern5x3.bmp"), 5, 3);
    const QString junk = TempDir() + QStringLiteral("/junk.bmp");
    { QFile f(junk); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); f.write("BMjunkjunk"); }
    struct Step { bool ok; QString file; QString setting; int messages; };
    const Step steps[] = {{false, QString(), QStringLiteral("before.bmp"), 0}, {true, junk, QStringLiteral("before.bmp"), 1},
                          {true, good, good, 1}};
    for (const Step& s : steps) {
        TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
            EXPECT_EQ(d.Title, QStringLiteral("8 x 8 Bitmap laden"));
            d.FileName = s.file;
            d.Files = QStringList{s.file};
            return s.ok;
        };
        picker.OpenBtnClick();
        EXPECT_EQ(o.fillpattern, s.setting);
        EXPECT_EQ(int(messages.size()), s.messages);
    }
    EXPECT_EQ(picker.FillImages[8]->PictureBitmap()->Width(), 5);
    picker.FillClick(8);
    EXPECT_EQ(o.fillstyle, 8);
    EXPECT_FALSE(picker.isVisible());
}

// The drawing bar's pictures open the picker at their page; the fill pattern is the
// file's own picture, which the brush repeats at its own size.
TEST_F(StylePicker, DrawingBarOpensThePickerAndUsesThePattern)
{
    Tform1& f = make();
    struct Case { const char* picture; int page; const char* choice; int32_t toptions::*field; int value; };
    const Case cases[] = {{"clearpen", 0, "Image14", &toptions::linestyle, 4},
                          {"Image2", 1, "Image7", &toptions::fillstyle, 6},
                          {"pinselartn", 2, "Image17", &toptions::brushsize, 1}};
    for (const Case& c : cases) {
        auto* bar = f.findChild<TImage*>(QString::fromLatin1(c.picture));
        ASSERT_TRUE(bar);
        const int changes = bar->ChangeCount();
        int page = -1;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<Tzeichenform*>(QApplication::activeModalWidget());
            ASSERT_TRUE(picker);
            page = picker->PageNumber;
            QTest::mouseClick(picker->findChild<TImage*>(QString::fromLatin1(c.choice)), Qt::LeftButton, {}, QPoint(2, 2));
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(page, c.page) << c.picture;
        EXPECT_EQ(f.options.*c.field, c.value) << c.picture;
        EXPECT_GT(bar->ChangeCount() + f.findChild<TImage*>(QStringLiteral("Image2"))->ChangeCount(), changes);
    }
    f.options.fillstyle = 8;
    f.options.fillpattern = writeBmp(QStringLiteral("tex3x2.bmp"), 3, 2);
    f.updatebrushpen();
    const TBitmap* pattern = f.FillPatternBitmap();
    ASSERT_EQ(pattern->Width(), 3);
    ASSERT_EQ(pattern->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pattern->PixelColor(x, y), RGB(x * 40, y * 60, 200));
}

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

} // namespace

// The size label and the view follow the capture size; without a driver nothing is shown.
TEST_F(VideoForm, SizeDisplayFitsTheViewTo320)
{
    Tform1& f = make();
    struct Case { const char* spec; const char* label; int w, h; };
    const Case cases[] = {{"synthetic:640x480", "640 x 480", 320, 240}, {"synthetic:240x320", "240 x 320", 240, 320},
                          {"synthetic:300x300", "300 x 300", 320, 320}, {"synthetic:1000x100", "1000 x 100", 320, 32}};
    for (const Case& c : cases) {
        qputenv(SyntheticSourceVariable, c.spec);
        Tvideoform form(f);
        form.show();
        EXPECT_EQ(form.Label6->text(), QString::fromLatin1(c.label));
        EXPECT_EQ(form.ImageKitVideoView2->width(), c.w) << c.spec;
        EXPECT_EQ(form.ImageKitVideoView2->height(), c.h) << c.spec;
        EXPECT_EQ(form.ImageKitVideoView2->Bitmap()->Width(), form.ImageKitVideoView2->ClientWidth());
        EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("Kandrivel test pattern 1.0"));
    }
    qunsetenv(SyntheticSourceVariable);
    Tvideoform none(f);
    none.ImageKitVideoView2->SetVideoSource(20);
    none.show();
    EXPECT_TRUE(none.Label6->text().isEmpty());
    QTest::mouseClick(none.SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(none.SpeedButton2->isChecked());
    EXPECT_FALSE(none.ImageKitVideoView2->ShowVideo());
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
    QTest::mouseClick(form.SpeedButton2, Qt::LeftButton);
    ASSERT_TRUE(form.ImageKitVideoView2->ShowVideo());
    auto* source = dynamic_cast<TSyntheticSource*>(form.ImageKitVideoView2->Driver());
    ASSERT_TRUE(source);
    // Last, a device that gives the frame to freeze later: the import waits for it.
    const std::pair<bool, bool> cases[] = {{false, false}, {true, false}, {false, true}};
    for (const auto& [frozenBefore, later] : cases) {
        source->GrabOnNextTick = later;
        if (frozenBefore != form.ImageKitVideoView2->Frozen())
            QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        const int windows = int(f.MDIChildren().size());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        ASSERT_EQ(int(f.MDIChildren().size()), windows + 1);
        Tchild* c = Tform1::getchild(f.ActiveMDIChild());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->ImageKit1->Bitmap()->Width(), form.ImageKitVideoView2->ClientWidth());
        EXPECT_EQ(c->ImageKit1->Bitmap()->Height(), form.ImageKitVideoView2->ClientHeight());
        // The view keeps the imported frame in its bitmap also once live again.
        EXPECT_EQ(c->ImageKit1->Bitmap()->Image(), form.ImageKitVideoView2->Bitmap()->Image());
        EXPECT_EQ(form.ImageKitVideoView2->Frozen(), frozenBefore);
        EXPECT_TRUE(form.isVisible());
        c->Modified = false;
    }
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_FALSE(form.ImageKitVideoView2->ShowVideo());
}

// The form closed and freed while an import waits for the device's frame.
TEST_F(VideoForm, ImportSurvivesTheFormGoingWhileItWaits)
{
    qputenv(SyntheticSourceVariable, "synthetic:160x120@50");
    Tform1& f = make();
    QPointer<Tvideoform> form = new Tvideoform(f);
    form->show();
    QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
    auto* source = dynamic_cast<TSyntheticSource*>(form->ImageKitVideoView2->Driver());
    ASSERT_TRUE(source);
    source->GrabOnNextTick = true;
    source->StopStreaming();  // no frame comes until the form has gone
    const int windows = int(f.MDIChildren().size());
    QTimer::singleShot(0, [&] { delete form.data(); });
    form->Button1Click();
    EXPECT_FALSE(form);
    EXPECT_EQ(int(f.MDIChildren().size()), windows);
}

// Code 34, from the menu item and from its button, opens the video form modally.
TEST_F(VideoForm, MenuAndButtonOpenTheForm)
{
    qputenv(SyntheticSourceVariable, "synthetic:64x48");
    Tform1& f = make();
    ASSERT_TRUE(TCommandSeams::VideoImport);
    ASSERT_TRUE(TCommandSeams::CommentForm);
    ASSERT_TRUE(TCommandSeams::ChooseWavFile);
    const std::function<void()> triggers[] = {[&] { f.Item(QStringLiteral("Videobildimportieren1"))->trigger(); },
                                              [&] { f.Control<QToolButton>(QStringLiteral("SpeedButton57"))->click(); }};
    for (const auto& trigger : triggers) {
        QString seen;
        QTimer::singleShot(0, [&] {
            if (auto* form = qobject_cast<Tvideoform*>(QApplication::activeModalWidget())) {
                seen = form->Label6->text();
                form->Button2->click();
            }
        });
        trigger();
        EXPECT_EQ(seen, QStringLiteral("64 x 48"));
    }
}
