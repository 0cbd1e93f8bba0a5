// The command interpreter: image and window commands, recording and untitled numbers.
#include "app/text/language.h"
#include "app/util/paths.h"
#include "app/app_test_util.h"
#include "platform/core/streams.h"
#include "platform/graphics/cursors.h"
#include "platform/ui/application.h"
#include "platform/system/registry.h"
#include "platform/system/wallpaper.h"
#include "imaging/io/image_kit_io.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>
#include <functional>

namespace {

class Interpreter : public MainWindowTest {
protected:
    void TearDown() override
    {
        SetInputQueryHook(nullptr);
        SetLanguage(langGerman);
        MainWindowTest::TearDown();
    }
    void run(uint8_t code, std::initializer_list<int32_t> args = {})
    {
        int i = 1;
        for (int32_t v : args)
            form->automatitem.SetArg(i++, v);
        form->runcode(code);
    }
    QStringList captions() const
    {
        QStringList out;
        for (QWidget* w : form->MDIChildren())
            out << w->windowTitle();
        return out;
    }
    TColor pixel(Tchild* c, int x, int y) { return c->imageKit->Bitmap()->PixelColor(x, y); }
};

TEST_F(Interpreter, ImageCommandsShowTheirEffect)
{
    make();
    struct Case {
        uint8_t code;
        std::vector<int32_t> args;
        bool modified;
        std::function<void(Tchild*)> check;
    };
    const TColor red = RGB(255, 0, 0);
    const Case cases[] = {
        {cmdNegative, {}, true, [&](Tchild* c) { EXPECT_EQ(pixel(c, 0, 0), RGB(255, 255, 0)); }},
        {cmdGray,
         {},
         true,
         [&](Tchild* c) {
             const TColor g = pixel(c, 1, 1);
             EXPECT_EQ(GetRValue(g), GetGValue(g));
             EXPECT_EQ(GetGValue(g), GetBValue(g));
         }},
        {cmdResizeCanvas,
         {7, 3},
         true,
         [](Tchild* c) {
             EXPECT_EQ(c->imageKit->Bitmap()->Width(), 7);
             EXPECT_EQ(c->imageKit->Bitmap()->Height(), 3);
         }},
        {cmdResample,
         {10, 12, 1},
         true,
         [](Tchild* c) {
             EXPECT_EQ(c->imageKit->Bitmap()->Width(), 10);
             EXPECT_EQ(c->imageKit->Bitmap()->Height(), 12);
         }},
        {cmdRotate,
         {-90, 0},
         true,
         [](Tchild* c) {
             EXPECT_EQ(c->imageKit->Bitmap()->Width(), 4);
             EXPECT_EQ(c->imageKit->Bitmap()->Height(), 5);
         }},
        {cmdFlipHorizontal, {}, true, [&](Tchild* c) { EXPECT_EQ(pixel(c, 4, 0), RGB(0, 0, 255)); }},
        {cmdFlipVertical, {}, true, [&](Tchild* c) { EXPECT_EQ(pixel(c, 0, 3), RGB(0, 0, 255)); }},
        {cmdClear, {}, true, [&](Tchild* c) { EXPECT_EQ(pixel(c, 0, 0), c->imageKit->Background()); }},
        {cmdBWThreshold, {-1}, true, [](Tchild* c) { EXPECT_EQ(c->imageKit->Bitmap()->PixelFormat(), pf1bit); }},
        {cmdBWOrdered, {}, true, [](Tchild* c) { EXPECT_EQ(c->imageKit->Bitmap()->PixelFormat(), pf1bit); }},
        {cmdReduceColors, {2}, true, [](Tchild* c) { EXPECT_EQ(c->imageKit->Proc()->CountColors(), 2); }},
        {cmdBackground,
         {int32_t(RGB(1, 2, 3))},
         false,
         [](Tchild* c) { EXPECT_EQ(c->imageKit->Background(), RGB(1, 2, 3)); }},
        {cmdSelectAll,
         {},
         false,
         [](Tchild* c) {
             EXPECT_EQ(c->imageKit->SelectionX1(), 0);
             EXPECT_EQ(c->imageKit->SelectionX2(), 5);
             EXPECT_EQ(c->imageKit->SelectionY2(), 4);
         }},
        {cmdUndo, {}, true, [&](Tchild* c) { EXPECT_EQ(pixel(c, 0, 0), red); }},
    };
    for (const Case& k : cases) {
        Tchild* c = imageWindow(5, 4, red);
        c->imageKit->Bitmap()->Canvas()->SetPixel(0, 0, RGB(0, 0, 255));
        if (k.code == cmdUndo) {
            c->imageKit->SaveUndo();
            c->imageKit->Bitmap()->Canvas()->SetPixel(0, 0, red);
            c->imageKit->Negative();
        }
        if (k.code == cmdSelectAll)
            c->imageKit->SetZoom(300);
        form->automatitem.SetArgLowByte(2, 0);
        for (size_t i = 0; i < k.args.size(); ++i)
            form->automatitem.SetArg(int(i) + 1, k.args[i]);
        form->runcode(k.code);
        SCOPED_TRACE(int(k.code));
        EXPECT_EQ(c->Modified(), k.modified);
        EXPECT_EQ(c->isWindowModified(), k.modified);  // the caption's mark follows
        k.check(c);
    }
}

TEST_F(Interpreter, NewImageFillsWithTheChoiceAndKeepsTheWindowColour)
{
    make();
    form->options.newbackground = RGB(10, 20, 30);
    const struct {
        int fill;
        TColor pixel;
    } cases[] = {{0, RGB(10, 20, 30)}, {1, RGB(255, 255, 255)}, {2, RGB(0, 0, 0)}};
    for (const auto& k : cases) {
        run(cmdNewImage, {6, 3, k.fill});
        Tchild* c = form->ActiveImageWindow();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->imageKit->Bitmap()->Width(), 6);
        EXPECT_EQ(c->imageKit->Bitmap()->Height(), 3);
        EXPECT_EQ(pixel(c, 5, 2), k.pixel);
        EXPECT_EQ(c->imageKit->Background(), RGB(10, 20, 30));
        EXPECT_TRUE(c->Modified());
    }
    EXPECT_EQ(captions(), (QStringList{"!unbenannt1", "!unbenannt2", "!unbenannt3"}));
    EXPECT_TRUE(form->Item("Negativ1")->isEnabled());
}

TEST_F(Interpreter, WindowCommandsMakeNewWindows)
{
    make();
    Tchild* src = imageWindow(4, 3, RGB(0, 200, 0));
    src->setWindowTitle(QStringLiteral("/x/g.png"));
    run(cmdDuplicate);
    ASSERT_EQ(form->MDIChildCount(), 2);
    Tchild* dup = form->ActiveImageWindow();
    EXPECT_NE(dup, src);
    EXPECT_EQ(dup->windowTitle(), QStringLiteral("!unbenannt1"));
    EXPECT_EQ(pixel(dup, 3, 2), RGB(0, 200, 0));
    EXPECT_TRUE(dup->Modified());

    form->ActivateChild(src);
    src->imageKit->Bitmap()->Canvas()->SetPixel(0, 0, RGB(255, 0, 0));
    run(cmdHSVChannels);
    const QStringList names = captions();
    ASSERT_EQ(names.size(), 5);
    EXPECT_EQ(names.mid(2), (QStringList{"/x/g.png Hue", "/x/g.png Saturation", "/x/g.png Value"}));
    auto* value = qobject_cast<Tchild*>(form->MDIChildren()[4]);
    auto* hue = qobject_cast<Tchild*>(form->MDIChildren()[2]);
    // Green 200: hue 120 → 85, value 78 → 200; pure red has hue 0.
    EXPECT_EQ(pixel(hue, 1, 1), RGB(85, 85, 85));
    EXPECT_EQ(pixel(hue, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(pixel(value, 1, 1), RGB(200, 200, 200));
    EXPECT_TRUE(value->Modified());
    EXPECT_FALSE(src->Modified());
}

TEST_F(Interpreter, ImageCommandsWithoutAnImageWindowChangeNothing)
{
    make();
    for (int code = 0; code <= 255; ++code) {
        // Window and device commands, which act without an image window.
        if (code == cmdNewImage || code == cmdOpen || code == cmdScan || code == cmdSelectScanner ||
            code == cmdNewCatalog || code == cmdVideoImport)
            continue;
        form->automatitem.SetArg(1, 4);
        form->automatitem.SetArg(2, 4);
        form->automatitem.SetFileNameLength(0);
        form->runcode(uint8_t(code));
    }
    EXPECT_EQ(form->MDIChildCount(), 0);
    EXPECT_FALSE(form->Item("Negativ1")->isEnabled());
}

TEST_F(Interpreter, RecordingKeepsEveryCommandEvenFailedOnes)
{
    make();
    imageWindow(3, 3, RGB(9, 9, 9));
    form->Recording = true;
    std::vector<QByteArray> expected;
    auto runRecorded = [&](uint8_t code, int32_t arg1) {
        form->automatitem.SetArg(1, arg1);
        form->automatitem.SetCode(code);
        expected.push_back(form->automatitem.ToByteArray());
        form->runautomatitem(form.get(), form->automatitem);
    };
    runRecorded(cmdNegative, 0);
    runRecorded(cmdReduceColors, 100000);  // refused
    runRecorded(99, 0);                    // unknown
    form->automatitem.SetCode(cmdOpen);
    form->automatitem.SetFileName(home_ + QStringLiteral("/missing.bmp"));
    expected.push_back(form->automatitem.ToByteArray());
    EXPECT_FALSE(TApplication::Guard([&] { form->runautomatitem(form.get(), form->automatitem); }));
    EXPECT_EQ(form->RecordingList, expected);
    EXPECT_EQ(messages.size(), 2u);  // the refusal and the missing file
}

TEST_F(Interpreter, UntitledNumbersFollowTheLargestInBothLanguages)
{
    make();
    const struct {
        uint8_t lang;
        QStringList open;
        QString next;
    } cases[] = {
        {langGerman, {}, "!unbenannt1"},
        {langGerman, {"!unbenannt1", "!Unbenannt7"}, "!unbenannt8"},
        {langGerman, {"!unbenannt1", "!unbenannt7", "!unbenannt9x"}, "!unbenannt10"},
        {langGerman, {"!unbenannt", "a.jpg", "x!unbenannt5"}, "!unbenannt1"},
        {langEnglish, {"!noname3", "!unbenannt12"}, "!noname4"},
    };
    for (const auto& k : cases) {
        SetLanguage(k.lang);
        for (const QString& c : k.open)
            form->NewImageWindow()->setWindowTitle(c);
        EXPECT_EQ(form->UntitledCaption(), k.next);
        run(cmdNewImage, {2, 2, 0});
        EXPECT_EQ(form->ActiveMDIChild()->windowTitle(), k.next);
        for (QWidget* w : form->MDIChildren()) {
            qobject_cast<Tchild*>(w)->SetModified(false);
            w->parentWidget()->close();
        }
        TApplication::ProcessMessages();
        ASSERT_EQ(form->MDIChildCount(), 0);
    }
}

TEST_F(Interpreter, OpenShowsTheImageOrTheMessageAndNoWindow)
{
    make();
    const QString good = home_ + QStringLiteral("/g.bmp");
    TBitmap bmp(3, 2);
    bmp.Image().save(good, "BMP");
    const QString bad = home_ + QStringLiteral("/bad.jpg");
    WriteFileSafely(bad, QByteArray("this is no jpeg at all"));
    const QString pca = home_ + QStringLiteral("/k.PCAX");
    bmp.Image().save(pca, "BMP");

    form->automatitem.SetCode(cmdOpen);
    form->automatitem.SetFileName(bad);
    form->runautomatitem(form.get(), form->automatitem);
    TApplication::ProcessMessages();
    EXPECT_EQ(form->MDIChildCount(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Kann Datei") + bad + QStringLiteral(" nicht laden."));

    form->automatitem.SetFileName(good);
    form->runautomatitem(form.get(), form->automatitem);
    ASSERT_EQ(form->MDIChildCount(), 1);
    EXPECT_EQ(form->ActiveMDIChild()->windowTitle(), good);
    EXPECT_EQ(form->ActiveImageWindow()->imageKit->Bitmap()->Width(), 3);
    EXPECT_FALSE(form->ActiveImageWindow()->Modified());

    // ".pcax" is no catalog, and as an image it has no reader: like every open that
    // gives no picture, it is reported and leaves no window.
    form->automatitem.SetFileName(pca);
    form->runautomatitem(form.get(), form->automatitem);
    EXPECT_EQ(form->MDIChildCount(), 1);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].contains(pca));
    // A ".pca" that cannot be opened leaves its empty catalog window and reports the
    // stream's error.
    const QString missing = home_ + QStringLiteral("/k.pca");
    form->automatitem.SetFileName(missing);
    EXPECT_THROW(form->runautomatitem(form.get(), form->automatitem), EFOpenError);
    ASSERT_EQ(form->MDIChildCount(), 2);
    EXPECT_EQ(form->ActiveMDIChild()->objectName(), QStringLiteral("kataform"));
    EXPECT_EQ(form->ActiveMDIChild()->windowTitle(), missing);
}

// Files that decode to no picture at all: a TIFF whose directory lies past its end, a
// video, a name without a reader.
TEST_F(Interpreter, OpenThatGivesNoPictureIsReportedAndLeavesNoWindow)
{
    make();
    const QString tif = home_ + QStringLiteral("/cut.tif");
    {
        TBitmap bmp(40, 30);
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.SaveToFile(tif);
        QByteArray bytes = ReadWholeFile(tif);
        ASSERT_GT(bytes.size(), 200);
        // The directory is written last: without it the header points past the end.
        WriteFileSafely(tif, bytes.left(16 + 40 * 30 * 3 / 2));
    }
    const QString avi = home_ + QStringLiteral("/clip.avi");
    WriteFileSafely(avi, QByteArray("RIFF\x10\0\0\0AVI LIST", 16));
    const QString other = home_ + QStringLiteral("/notes.xyz");
    WriteFileSafely(other, QByteArray("text"));
    for (const QString& name : {tif, avi, other}) {
        SCOPED_TRACE(name.toStdString());
        messages.clear();
        form->automatitem.SetCode(cmdOpen);
        form->automatitem.SetFileName(name);
        form->runautomatitem(form.get(), form->automatitem);
        TApplication::ProcessMessages();
        EXPECT_EQ(form->MDIChildCount(), 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], QStringLiteral("Kann Datei") + name + QStringLiteral(" nicht laden."));
    }
}

TEST_F(Interpreter, MouseModeSetsEveryViewsInteractionAndCursor)
{
    make();
    Tchild* a = imageWindow(2, 2, clWhite);
    Tchild* b = imageWindow(2, 2, clWhite);
    const struct {
        int mode;
        TIKMouseInteract interact;
        int cursor;
        const char* item;
    } cases[] = {
        {1, miSelect, crArrow, "Bereichauswhlen1"},
        {2, miSelectPolygon, crArrow, "Polygonauswahl1"},
        {3, miSelectCircle, crArrow, "Kreisauswahl1"},
        {4, miScroll, 1782, "Hand1"},
        {5, miZoom, 1779, "Zoom1"},
        {0, 0, 1785, "Zeichenen1"},
    };
    for (const auto& k : cases) {
        form->Drawing().MouseModeButton(k.mode)->setChecked(true);
        form->Drawing().ApplyMouseMode();
        for (Tchild* c : {a, b}) {
            EXPECT_EQ(c->imageKit->MouseInteract(), k.interact) << k.mode;
            EXPECT_EQ(c->imageKit->Cursor(), k.cursor) << k.mode;
        }
        EXPECT_TRUE(form->Item(QString::fromLatin1(k.item))->isChecked());
    }
}

TEST_F(Interpreter, CommentFilesSitBesideTheImage)
{
    make();
    Tchild* c = imageWindow(2, 2, clWhite);
    std::vector<std::pair<QString, int>> forms;
    dialogs->commentForm = [&](const QString& wav, const QString&, int mode) { forms.push_back({wav, mode}); };

    run(cmdRecordComment);  // not saved yet
    run(cmdTextComment);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(forms.empty());

    const QString name = home_ + QStringLiteral("/a.jpg");
    c->imageKit->IOParams().FileName = name;
    const QString wav = name + QStringLiteral(".wav");
    messages.clear();
    run(cmdRecordComment);
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0], std::make_pair(wav, 0));
    EXPECT_EQ(messages.size(), 1u);  // only "press OK"

    WriteFileSafely(wav, QByteArray("RIFF"));
    answer = mrCancel;
    messages.clear();
    run(cmdRecordComment);
    EXPECT_EQ(forms.size(), 1u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(wav + QStringLiteral(" existiert bereits.")));
    run(cmdDeleteComment);
    EXPECT_TRUE(QFileInfo::exists(wav));
    answer = mrOk;
    run(cmdPlayComment);
    EXPECT_EQ(forms.back(), std::make_pair(wav, 1));
    run(cmdDeleteComment);
    EXPECT_FALSE(QFileInfo::exists(wav));
    messages.clear();
    run(cmdPlayComment);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Es existiert kein Kommentar zu dieser Datei."));

    const QString txt = name + QStringLiteral(".txt");
    WriteFileSafely(txt, QByteArray("first line\r\nsecond\n"));
    QString shown;
    QString reply = QStringLiteral("neu");
    SetInputQueryHook([&](const QString&, const QString&, QString& value) {
        shown = value;
        value = reply;
        return true;
    });
    run(cmdTextComment);
    EXPECT_EQ(shown, QStringLiteral("first line"));
    EXPECT_EQ(ReadWholeFile(txt), QByteArray("neu\n"));
    reply.clear();
    run(cmdTextComment);
    EXPECT_FALSE(QFileInfo::exists(txt));
}

TEST_F(Interpreter, WallpaperSavesClosesAndSetsTheDesktop)
{
    qputenv("GSETTINGS_BACKEND", "memory");
    make();
    std::vector<int> pagesShown;
    bool parametersOk = false;
    TImageKitIO::SetPreviewsHandler([&](TImageKitIO&, int pages) {
        pagesShown.push_back(pages);
        return parametersOk;
    });
    const struct {
        bool tiled;
        const char* tile;
        const char* option;
    } cases[] = {{true, "1", "wallpaper"}, {false, "0", "centered"}};
    for (const auto& k : cases) {
        imageWindow(4, 4, RGB(1, 2, 3));
        // Cancelled at the question or at the BMP parameters: nothing saved or closed.
        answer = mrCancel;
        form->Item(QLatin1String(k.tiled ? "Kacheln1" : "Zentriert1"))->trigger();
        EXPECT_EQ(form->MDIChildCount(), 1);
        EXPECT_TRUE(pagesShown.empty());
        answer = mrOk;
        parametersOk = false;
        form->Item(QLatin1String(k.tiled ? "Kacheln1" : "Zentriert1"))->trigger();
        EXPECT_EQ(form->MDIChildCount(), 1);
        EXPECT_EQ(pagesShown, std::vector<int>{32});
        pagesShown.clear();
        parametersOk = true;
        form->Recording = true;
        form->RecordingList.clear();
        form->Item(QLatin1String(k.tiled ? "Kacheln1" : "Zentriert1"))->trigger();
        TApplication::ProcessMessages();
        EXPECT_EQ(form->MDIChildCount(), 0);
        const QString file = WindowsDirectory() + QStringLiteral("kandrivel.bmp");
        EXPECT_TRUE(QFileInfo::exists(file));
        ASSERT_EQ(form->RecordingList.size(), 3u);  // wallpaper, its save, the close
        EXPECT_EQ(uint8_t(form->RecordingList[1][0]), cmdSave);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Control Panel\\desktop"), false));
        EXPECT_EQ(reg.ReadString(QStringLiteral("TileWallPaper")), QLatin1String(k.tile));
        EXPECT_EQ(reg.ReadString(QStringLiteral("Wallpaper")), file);
        EXPECT_EQ(DesktopWallpaperSetting(QStringLiteral("picture-options")), QLatin1String(k.option));
        EXPECT_EQ(DesktopWallpaperSetting(QStringLiteral("picture-uri")), QUrl::fromLocalFile(file).toString());
        form->Recording = false;
        pagesShown.clear();
    }
    TImageKitIO::SetPreviewsHandler(nullptr);
}

}  // namespace
