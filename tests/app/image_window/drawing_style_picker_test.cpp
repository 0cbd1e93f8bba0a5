// The drawing-style picker: pages, clicks, the user bitmap and the drawing bar.
#include "app/image_window/drawing_style_picker.h"
#include "app/app_test_util.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/image_control.h"

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

}  // namespace

TEST_F(StylePicker, PagesAndClicksSetTheOptions)
{
    toptions o;
    Tzeichenform picker;
    picker.Options = &o;
    for (int page = 0; page < 3; ++page) {
        picker.PageNumber = page;
        picker.show();
        EXPECT_EQ(picker.linePanel->isVisible(), page == 0);
        EXPECT_EQ(picker.fillPanel->isVisible(), page == 1);
        EXPECT_EQ(picker.brushPanel->isVisible(), page == 2);
        picker.hide();
    }
    // Each picture by its name, as the user clicks it, and the option it sets.
    struct Case {
        const char* image;
        int32_t toptions::*field;
        int value;
    };
    const Case cases[] = {
        {"Image10", &toptions::linestyle, 0}, {"Image13", &toptions::linestyle, 3},
        {"Image15", &toptions::linestyle, 5}, {"Image1", &toptions::fillstyle, 0},
        {"Image5", &toptions::fillstyle, 4},  {"Image8", &toptions::fillstyle, 7},
        {"Image16", &toptions::brushsize, 0}, {"Image18", &toptions::brushsize, 2},
        {"Image20", &toptions::brushsize, 3}, {"Image19", &toptions::brushsize, 4},
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
    picker.fillStyleClicked(8);
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(o.fillstyle, 2);
    const QString good = writeBmp(QStringLiteral("pattern5x3.bmp"), 5, 3);
    const QString junk = TempDir() + QStringLiteral("/junk.bmp");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BMjunkjunk");
    }
    struct Step {
        bool ok;
        QString file;
        QString setting;
        int messages;
    };
    const Step steps[] = {{false, QString(), QStringLiteral("before.bmp"), 0},
                          {true, junk, QStringLiteral("before.bmp"), 1},
                          {true, good, good, 1}};
    for (const Step& s : steps) {
        TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
            EXPECT_EQ(d.Title, QStringLiteral("8 x 8 Bitmap laden"));
            d.FileName = s.file;
            d.Files = QStringList{s.file};
            return s.ok;
        };
        picker.openBitmapClicked();
        EXPECT_EQ(o.fillpattern, s.setting);
        EXPECT_EQ(int(messages.size()), s.messages);
    }
    EXPECT_EQ(picker.FillImages[8]->PictureBitmap()->Width(), 5);
    picker.fillStyleClicked(8);
    EXPECT_EQ(o.fillstyle, 8);
    EXPECT_FALSE(picker.isVisible());
}

// The drawing bar's pictures open the picker at their page; the fill pattern is the
// file's own picture, which the brush repeats at its own size.
TEST_F(StylePicker, DrawingBarOpensThePickerAndUsesThePattern)
{
    Tform1& f = make();
    struct Case {
        const char* picture;
        int page;
        const char* choice;
        int32_t toptions::*field;
        int value;
    };
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
            QTest::mouseClick(picker->findChild<TImage*>(QString::fromLatin1(c.choice)), Qt::LeftButton, {},
                              QPoint(2, 2));
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(page, c.page) << c.picture;
        EXPECT_EQ(f.options.*c.field, c.value) << c.picture;
        EXPECT_GT(bar->ChangeCount() + f.findChild<TImage*>(QStringLiteral("Image2"))->ChangeCount(), changes);
    }
    f.options.fillstyle = 8;
    f.options.fillpattern = writeBmp(QStringLiteral("tex3x2.bmp"), 3, 2);
    f.Drawing().UpdateBrushAndPen();
    const TBitmap* pattern = f.Drawing().FillPatternBitmap();
    ASSERT_EQ(pattern->Width(), 3);
    ASSERT_EQ(pattern->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pattern->PixelColor(x, y), RGB(x * 40, y * 60, 200));
}
