// The main window's start-up: command line, stored placement, zoom and damaged options.
#include "app/app_test_util.h"

#include "app/commands/command_host.h"
#include "app/main_window/startup_rules.h"
#include "app/options/option_file.h"
#include "app/main_window/history_list.h"
#include "app/text/language.h"
#include "app/util/decode_ahead.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/rounding.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QImage>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <cstring>
#include <functional>

namespace {

TEST(StartupRules, ArgumentsJoinWithSingleBlanks)
{
    struct Case {
        QStringList args;
        const char* name;
    } cases[] = {{{}, ""},
                 {{"a.jpg"}, "a.jpg"},
                 {{"/home/Eigene", "Bilder/a.jpg"}, "/home/Eigene Bilder/a.jpg"},
                 {{"x", "", "y"}, "x  y"}};
    for (const Case& c : cases)
        EXPECT_EQ(JoinArguments(c.args), QString::fromLatin1(c.name));
}

TEST(StartupRules, StoredRectangleMustFitTheScreen)
{
    struct Case {
        int l, t, r, b;
        bool fits;
    } cases[] = {{0, 0, 1024, 768, true},    {10, 10, 1028, 700, true},  // right = width + 4
                 {10, 10, 1029, 700, false},                             // right = width + 5
                 {10, 10, 900, 772, true},   {10, 10, 900, 773, false},  {-1, 0, 500, 500, false},
                 {0, -1, 500, 500, false},   {100, 100, 121, 300, true}, {100, 100, 120, 300, false},
                 {100, 100, 300, 120, false}};
    for (const Case& c : cases)
        EXPECT_EQ(StoredRectFits(c.l, c.t, c.r, c.b, 1024, 768), c.fits) << c.l << "," << c.r << "," << c.b;
}

TEST(StartupRules, ZoomFromTypedText)
{
    struct Case {
        const char* text;
        int zoom;
    } cases[] = {{"250 %", 250}, {"abc", 0}, {"-20", 100},  {"\u221220 %", 100},
                 {" 75 %", 75},  {"", 0},    {"12ab3", 12}, {"99999999999", 2147483647}};
    for (const Case& c : cases)
        EXPECT_EQ(ZoomFromText(QString::fromUtf8(c.text)), c.zoom) << c.text;
    EXPECT_EQ(ZoomToFit(1000, 500, 0, 0), 0);
    EXPECT_EQ(ZoomToFit(400, 300, 800, 400), 50);
    EXPECT_EQ(ZoomToFit(1005, 1000, 2000, 100), 50);  // 50.25 cut to 50
    EXPECT_EQ(ZoomToFit(697, 528, 4000, 3000), 17);   // 17.4 and 17.6: never rounded up
    EXPECT_EQ(ZoomToFit(99, 99, 100000, 100), 1);     // far too large: the smallest zoom
}

void writeOptions(const std::function<void(toptions&)>& change)
{
    toptions o = DefaultOptions();
    change(o);
    writeOptionFile(o);
}

TEST_F(MainWindowTest, StoredRectangleAndStateAreRestored)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    writeOptions([&](toptions& o) {
        o.winleft = 4;
        o.wintop = 6;
        o.winright = avail.width() + 4;
        o.winbottom = avail.height() - 10;
    });
    make();
    EXPECT_EQ(form->x(), 4);
    EXPECT_EQ(form->width(), avail.width());
    form.reset();

    writeOptions([&](toptions& o) {
        o.winleft = 4;
        o.winright = avail.width() + 5;
        o.winbottom = 400;
    });
    make();
    EXPECT_NE(form->x(), 4);  // centred instead
    form.reset();

    writeOptions([](toptions& o) { o.winstate = 2; });
    make();
    EXPECT_TRUE(form->isMaximized());
}

TEST_F(MainWindowTest, DamagedOptionFileStartsWithDefaults)
{
    QFile f(OptionFileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x01\x02\x03garbage", 10);
    f.close();
    make();
    EXPECT_EQ(form->options.tool, 2);
    EXPECT_EQ(form->options.mousemode, 5);
    EXPECT_TRUE(form->Drawing().ToolButton(2)->isChecked());
    EXPECT_TRUE(form->Drawing().MouseModeButton(5)->isChecked());
}

TEST_F(MainWindowTest, CommandLineNamesOneFileAndItsDirectory)
{
    const QString dir = home_ + QStringLiteral("/Eigene Bilder");
    QDir().mkpath(dir);
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir + QStringLiteral("/a b.bmp")));
    make({home_ + QStringLiteral("/Eigene"), QStringLiteral("Bilder/a"), QStringLiteral("b.bmp")});
    const QString name = dir + QStringLiteral("/a b.bmp");
    ASSERT_EQ(form->MDIChildCount(), 1);
    Tchild* c = form->ActiveImageWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->windowTitle(), name);
    EXPECT_EQ(c->imageKit->Bitmap()->Width(), 30);
    EXPECT_EQ(form->options.lastdir, dir + QLatin1Char('/'));
    EXPECT_EQ(form->History()->Strings(0), name);
    EXPECT_TRUE(messages.empty());
}

// "kandrivel photo.jpg" typed in a shell: the name counts from the shell's folder, not
// from the program's own, where the program moves to as it starts.
TEST_F(MainWindowTest, ARelativeNameOnTheCommandLineCountsFromTheStartFolder)
{
    const QString dir = home_ + QStringLiteral("/shell");
    QDir().mkpath(dir + QStringLiteral("/sub"));
    QImage img(12, 7, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir + QStringLiteral("/sub/photo one.bmp")));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir));
    make({QStringLiteral("sub/photo"), QStringLiteral("one.bmp")});
    QDir::setCurrent(before);
    ASSERT_EQ(form->MDIChildCount(), 1);
    EXPECT_EQ(form->ActiveMDIChild()->windowTitle(), dir + QStringLiteral("/sub/photo one.bmp"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, UndecodableOrMissingFileIsReportedAndItsWindowClosed)
{
    const QString bad = home_ + QStringLiteral("/bad.bmp");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BMnot really a bitmap");
    f.close();
    for (const QString& name : {bad, home_ + QStringLiteral("/gone.jpg")}) {
        SCOPED_TRACE(name.toStdString());
        messages.clear();
        make({name});
        EXPECT_EQ(form->MDIChildCount(), 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(name));
        form.reset();
    }
}

// A JPEG named on the command line decodes while the window is built: the window shows
// what an ordinary load gives, and a file the decoder refuses is still reported.
TEST_F(MainWindowTest, CommandLineJpegOpensAsAnOrdinaryLoadWould)
{
    QImage img(401, 263, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 255 / 400, (x ^ y) & 255, y * 255 / 262));
    const QString good = home_ + QStringLiteral("/photo.jpg");
    ASSERT_TRUE(img.save(good, "JPEG", 85));
    TBitmap expected;
    TImageKitIO io;
    io.SetAttachedBitmap(&expected);
    io.LoadFromFile(good);

    make({good});
    ASSERT_EQ(form->MDIChildCount(), 1);
    Tchild* c = form->ActiveImageWindow();
    ASSERT_NE(c, nullptr);
    const TBitmap* got = c->imageKit->Bitmap();
    ASSERT_EQ(got->Width(), expected.Width());
    ASSERT_EQ(got->Height(), expected.Height());
    for (int y = 0; y < got->Height(); ++y)
        ASSERT_EQ(std::memcmp(got->ScanLine(y), expected.ScanLine(y), size_t(got->Width()) * 3), 0) << "row " << y;
    const TIOParamsVals& p = c->imageKit->IOParams();
    EXPECT_EQ(p.FileName, good);
    EXPECT_EQ(p.FileType, ioJPEG);
    EXPECT_EQ(p.Width, 401);
    EXPECT_EQ(p.DpiX, io.Params().DpiX);
    EXPECT_TRUE(messages.empty());
    form.reset();

    const QString cut = home_ + QStringLiteral("/cut.jpg");
    QFile f(cut);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xFF\xD8\xFF\xE0 not a picture");
    f.close();
    make({cut});
    EXPECT_EQ(form->MDIChildCount(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(cut));
}

// A relative name is decoded at start under the name the window opens, not decoded a
// second time (nor looked up in the program's folder, where the working folder moves).
TEST_F(MainWindowTest, RelativeCommandLineJpegIsDecodedAtStartOnce)
{
    const QString dir = home_ + QStringLiteral("/shell");
    QDir().mkpath(dir);
    QImage img(33, 21, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(dir + QStringLiteral("/photo one.jpg"), "JPEG", 85));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir));
    form = std::make_unique<Tform1>(QStringList{QStringLiteral("photo"), QStringLiteral("one.jpg")});
    QDir::setCurrent(before);
    const std::unique_ptr<TDecodedPicture> picture =
        static_cast<TCommandHost&>(*form).TakeStartupPicture(dir + QStringLiteral("/photo one.jpg"), TIOParamsVals());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Bitmap.Width(), 33);
    EXPECT_EQ(picture->Bitmap.Height(), 21);
}

// Availability of representative commands for each kind of active child.
TEST_F(MainWindowTest, CommandAvailabilityFollowsTheActiveChild)
{
    make();
    struct Row {
        const char* kind;
        bool save, edit, window, catalog, zoom, saveButton, cut, slideFromCatalog;
    } rows[] = {
        {"none", false, false, false, false, false, false, false, false},
        {"image", true, true, true, false, true, true, true, false},
        {"kataform", true, false, true, true, false, true, false, true},
        {"infoform", false, false, false, false, false, false, false, false},
    };
    for (const Row& r : rows) {
        QWidget* child = nullptr;
        const QString kind = QString::fromLatin1(r.kind);
        if (kind == QLatin1String("image")) {
            child = imageWindow(10, 10, clWhite);
        } else if (kind != QLatin1String("none")) {
            child = new QWidget;
            child->setObjectName(kind);
            form->ClientArea()->addSubWindow(child)->show();
            form->ActivateChild(child);
        }
        form->UpdateAvailability(false);
        auto avail = [&](const char* n) { return Tform1::Available(form->Item(QString::fromLatin1(n))); };
        auto button = [&](const char* n) { return Tform1::Available(form->Control<QWidget>(QString::fromLatin1(n))); };
        EXPECT_EQ(avail("Speichern1"), r.save) << r.kind;
        EXPECT_EQ(avail("AlleSchliessen1"), r.save) << r.kind;
        EXPECT_EQ(avail("Ausschneiden1"), r.edit) << r.kind;
        EXPECT_EQ(avail("Negativ1"), r.edit) << r.kind;
        EXPECT_EQ(avail("Nebeneinander1"), r.window) << r.kind;
        EXPECT_EQ(avail("Katalogspeichern1"), r.catalog) << r.kind;
        EXPECT_EQ(avail("Zoomen1"), r.zoom) << r.kind;
        EXPECT_EQ(Tform1::Available(form->Control<QComboBox>(QStringLiteral("zoombox"))), r.zoom) << r.kind;
        EXPECT_EQ(button("SaveBtn"), r.saveButton) << r.kind;
        EXPECT_EQ(button("CutBtn"), r.cut) << r.kind;
        EXPECT_EQ(avail("DiashowdirektvomKatalog1"), r.slideFromCatalog) << r.kind;
        EXPECT_FALSE(button("SpeedButton3")) << r.kind;
        if (child) {
            child->parentWidget()->close();
            QCoreApplication::processEvents();
        }
    }
    imageWindow(10, 10, clWhite);
    form->UpdateAvailability(false);
    EXPECT_TRUE(form->Item("RckgngigPufferlschen1")->isEnabled());
    EXPECT_TRUE(form->Item("Nebeneinander1")->isEnabled());
}

TEST_F(MainWindowTest, ClosingCountsTheClosingChildAndUndoNeedsAnEntry)
{
    make();
    Tchild* c = imageWindow(10, 10, clWhite);
    form->UpdateAvailability(true);
    EXPECT_FALSE(Tform1::Available(form->Item("Speichern1")));
    c->imageKit->SaveUndo();
    form->UpdateAvailability(false);
    EXPECT_TRUE(Tform1::Available(form->Item("Rckgngig1")));
    EXPECT_TRUE(Tform1::Available(form->Control<QWidget>("SpeedButton3")));
}

TEST_F(MainWindowTest, ChildThatRefusesKeepsTheMainWindowAndTheOptionFile)
{
    make();
    Tchild* c = imageWindow(10, 10, clWhite);
    c->SetModified(true);
    answer = mrCancel;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->MDIChildCount(), 1);
    EXPECT_FALSE(QFile::exists(OptionFileName()));
    ASSERT_EQ(messages.size(), 1u);

    // Yes with a file that cannot be written: the image stays. (A cancelled save as
    // on an untitled image is the file commands' case.)
    answer = mrYes;
    c->imageKit->IOParams().FileName = home_ + QStringLiteral("/missing/dir/x.bmp");
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(c->Modified());
    EXPECT_EQ(form->MDIChildCount(), 1);

    answer = mrNo;
    form->Drawing().SelectTool(6);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFile::exists(OptionFileName()));
    toptions stored;
    readOptionFile(stored);
    EXPECT_EQ(stored.tool, 6);
    EXPECT_EQ(stored.mousemode, 0);
}

TEST_F(MainWindowTest, YesSavesTheClosingWindowUnderItsName)
{
    make();
    Tchild* c = imageWindow(12, 8, clRed);
    const QString name = home_ + QStringLiteral("/saved.bmp");
    c->imageKit->IOParams().FileName = name;
    c->SetModified(true);
    answer = mrYes;
    EXPECT_TRUE(form->close());
    QImage back(name);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(12, 8));
    EXPECT_EQ(back.pixelColor(3, 3), QColor(Qt::red));
}

TEST_F(MainWindowTest, ZoomBoxTakesTypedValuesAndTheWindowSize)
{
    make();
    Tchild* c = imageWindow(400, 200, clWhite);
    c->parentWidget()->resize(500, 400);
    QCoreApplication::processEvents();
    struct Case {
        const char* text;
        int zoom;
    } cases[] = {{"250 %", 250}, {"abc", 250}, {"-20", 100}, {"30", 30}};
    for (const Case& k : cases) {
        form->Control<QComboBox>(QStringLiteral("zoombox"))->setEditText(QString::fromUtf8(k.text));
        QTest::keyClick(form->Control<QComboBox>(QStringLiteral("zoombox"))->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(c->imageKit->Zoom(), k.zoom) << k.text;
    }
    form->Control<QComboBox>(QStringLiteral("zoombox"))->setEditText(QStringLiteral("Fenstergröße"));
    QTest::keyClick(form->Control<QComboBox>(QStringLiteral("zoombox"))->lineEdit(), Qt::Key_Return);
    const int fit = c->imageKit->Zoom();
    EXPECT_EQ(form->Control<QComboBox>(QStringLiteral("zoombox"))->currentText(),
              QString::number(fit) + QStringLiteral(" %"));

    SetLanguage(langEnglish);
    c->imageKit->SetZoom(100);
    form->Control<QComboBox>(QStringLiteral("zoombox"))->setEditText(QStringLiteral("Window size"));
    QTest::keyClick(form->Control<QComboBox>(QStringLiteral("zoombox"))->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(c->imageKit->Zoom(), fit);
    SetLanguage(langGerman);

    c->imageKit->Bitmap()->SetSize(0, 0);
    c->imageKit->Update();
    c->imageKit->SetZoom(80);
    form->Item(QStringLiteral("Fenstergre1"))->trigger();
    EXPECT_EQ(c->imageKit->Zoom(), 80);
}

// Typed keys stay as typed: "50" is not completed to the preset "500 %".
TEST_F(MainWindowTest, ZoomBoxTakesTypedDigitsWithoutCompletingThem)
{
    make();
    Tchild* c = imageWindow(40, 20, clWhite);
    for (const char* typed : {"50", "10", "15", "30 %"}) {
        QLineEdit* edit = form->Control<QComboBox>(QStringLiteral("zoombox"))->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(typed));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(c->imageKit->Zoom(), QString::fromUtf8(typed).section(QLatin1Char(' '), 0, 0).toInt()) << typed;
    }
}

// The fitted zoom is the largest whole percentage at which the image lies wholly inside
// the view, without scroll bars, also when the exact ratio is just below the next percent.
TEST_F(MainWindowTest, WindowSizeShowsTheWholeImage)
{
    make();
    struct Case {
        int bw, bh, ww, wh;
    } cases[] = {{4000, 3000, 760, 640}, {400, 200, 500, 400}, {3000, 4000, 700, 820}, {1003, 997, 613, 587}};
    for (const Case& k : cases) {
        Tchild* c = imageWindow(k.bw, k.bh, clWhite);
        c->parentWidget()->resize(k.ww, k.wh);
        QCoreApplication::processEvents();
        form->Item(QStringLiteral("Fenstergre1"))->trigger();
        TImageKit* v = c->imageKit;
        const int z = v->Zoom();
        EXPECT_FALSE(v->ScrollBarVisible(sbHorizontal)) << k.bw << "x" << k.bh;
        EXPECT_FALSE(v->ScrollBarVisible(sbVertical)) << k.bw << "x" << k.bh;
        EXPECT_EQ(v->DrawnWidth(), v->ZoomedWidth()) << k.bw << "x" << k.bh << " at " << z;
        EXPECT_EQ(v->DrawnHeight(), v->ZoomedHeight()) << k.bw << "x" << k.bh << " at " << z;
        // One percent more would no longer fit on at least one axis.
        EXPECT_TRUE(Round(k.bw * (z + 1) / 100.0) > v->ClientWidth() ||
                    Round(k.bh * (z + 1) / 100.0) > v->ClientHeight())
            << k.bw << "x" << k.bh << " at " << z;
    }
}

TEST_F(MainWindowTest, RulerAndStatusItemsToggleEveryImageWindow)
{
    make();
    Tchild* a = imageWindow(10, 10, clWhite);
    Tchild* b = imageWindow(10, 10, clWhite);
    EXPECT_TRUE(a->horizontalRuler->isVisibleTo(a));
    form->Item("Lineal1")->trigger();
    form->Item("Statusleiste1")->trigger();
    for (Tchild* c : {a, b}) {
        EXPECT_FALSE(c->horizontalRuler->isVisibleTo(c));
        EXPECT_FALSE(c->verticalRuler->isVisibleTo(c));
        EXPECT_FALSE(c->statusBar->isVisibleTo(c));
    }
    EXPECT_EQ(form->options.rulers, 0);
    EXPECT_EQ(form->options.statusbar, 0);
}

TEST_F(MainWindowTest, MouseModesReachEveryImageWindow)
{
    make();
    Tchild* a = imageWindow(10, 10, clWhite);
    struct Case {
        int code;
        TIKMouseInteract interact;
        const char* item;
    } cases[] = {{0, 0, "Zeichenen1"},
                 {1, miSelect, "Bereichauswhlen1"},
                 {2, miSelectPolygon, "Polygonauswahl1"},
                 {3, miSelectCircle, "Kreisauswahl1"},
                 {4, miScroll, "Hand1"},
                 {5, miZoom, "Zoom1"}};
    for (const Case& c : cases) {
        QTest::mouseClick(form->Drawing().MouseModeButton(c.code), Qt::LeftButton);
        EXPECT_EQ(a->imageKit->MouseInteract(), c.interact) << c.code;
        EXPECT_TRUE(form->Item(QString::fromLatin1(c.item))->isChecked()) << c.code;
        EXPECT_EQ(form->Drawing().MouseModeCode(), c.code);
    }
    // A tool button puts the drawing mode down as well.
    QTest::mouseClick(form->Drawing().ToolButton(8), Qt::LeftButton);
    EXPECT_EQ(form->Drawing().ToolCode(), 8);
    EXPECT_TRUE(form->Drawing().DrawingMode());
    EXPECT_TRUE(form->Item("RoteAugenentfernen1")->isChecked());
}

// New, opened and duplicated windows take the mouse mode and tool chosen now, not the
// ones stored at the last exit.
TEST_F(MainWindowTest, NewWindowsTakeTheCurrentModeAndTool)
{
    writeOptions([](toptions& o) {
        o.mousemode = 5;
        o.tool = 0;
    });
    make();
    Tchild* first = imageWindow(10, 10, clWhite);
    QTest::mouseClick(form->Drawing().ToolButton(3), Qt::LeftButton);
    QTest::mouseClick(form->Drawing().MouseModeButton(4), Qt::LeftButton);
    const QString file = home_ + QStringLiteral("/small.bmp");
    ASSERT_TRUE(QImage(6, 4, QImage::Format_RGB888).save(file, "BMP"));
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"new",
         [&] {
             form->automatitem.SetArg(1, 5);
             form->automatitem.SetArg(2, 5);
             form->automatitem.SetArg(3, 1);
             form->runcode(cmdNewImage);
         }},
        {"open",
         [&] {
             form->Files().OpenFileList = QStringList{file};
             form->Files().openChosenFiles();
         }},
        {"duplicate", [&] { form->Item("duplizieren1")->trigger(); }},
    };
    for (const auto& [name, make] : ways) {
        const int before = form->MDIChildCount();
        make();
        ASSERT_EQ(form->MDIChildCount(), before + 1) << name;
        Tchild* made = Tform1::imageWindowOf(form->ActiveMDIChild());
        ASSERT_TRUE(made) << name;
        EXPECT_NE(made, first);
        EXPECT_EQ(form->Drawing().MouseModeCode(), 4) << name;
        EXPECT_EQ(form->Drawing().ToolCode(), 3) << name;
        EXPECT_TRUE(form->Item("Hand1")->isChecked()) << name;
        EXPECT_TRUE(form->Item("Kreis1")->isChecked()) << name;
        for (Tchild* c : {first, made}) {
            EXPECT_EQ(c->imageKit->MouseInteract(), miScroll) << name;
            EXPECT_EQ(c->imageKit->Cursor(), TImageKitView::crHand) << name;
        }
        made->SetModified(false);
    }
}

TEST_F(MainWindowTest, MenusCarryTheirSeparatorsAndEnglishCaptions)
{
    make();
    QMenu* file = form->Menu("Datei1");
    std::vector<int> separators;
    const QList<QAction*> acts = file->actions();
    for (int i = 0; i < acts.size(); ++i)
        if (acts[i]->isSeparator())
            separators.push_back(i);
    EXPECT_EQ(separators, (std::vector<int>{3, 9, 11, 16}));
    EXPECT_EQ(form->Item("Beenden1")->text(), QStringLiteral("&Beenden"));
    form.reset();

    writeOptions([](toptions& o) { o.language = langEnglish; });
    make();
    EXPECT_EQ(form->Item("Beenden1")->text(), QStringLiteral("&Exit"));
    EXPECT_EQ(form->Menu("Datei1")->title(), QStringLiteral("&File"));
    EXPECT_EQ(form->Control<QComboBox>(QStringLiteral("zoombox"))->itemText(9), QStringLiteral("Window size"));
    SetLanguage(langGerman);
}

// The command table's items and buttons land where the menus and the standard bar always
// had them, between the items the main window builds itself.
TEST_F(MainWindowTest, CommandItemsAndButtonsKeepTheirPlaces)
{
    make();
    const struct {
        const char* menu;
        std::vector<const char*> items;
    } menus[] = {
        {"Datei1",
         {"Neu1", "ffnen2", "Erneutladen1", "Speichern1", "Speichernals1", "AlleSpeichern1", "Schliessen1",
          "AlleSchliessen1", "Drucken1", "Scanner1", "Videobildimportieren1", "Diashow1", "Optionen2", "Beenden1"}},
        {"Scanner1", {"Scanne1", "Scannerwhlen1"}},
        {"Bearbeiten1",
         {"Rckgngig1", "RckgngigPufferlschen1", "Ausschneiden1", "Kopieren1", "Einfgen1", "Pastetorect1",
          "ZumBearbeitenausschneiden1", "Allesauswhlen1", "NichtsAuswhlen1"}},
        {"Farben1",
         {"Farbenbearbeiten1", "effects1", "Farbanzahlndern1", "InGraustufenumwandeln1", "SchwarzWeissKonvertierung2",
          "Negativ1", "Histogramm1", "HSVKanle1", "AnzahlderFarbenzeigen1", "Hintergrundfarbesetzen1"}},
        {"Farbanzahlndern1",
         {"I1", "N16Farben1", "N256Farben8BitproPixel1", "N16MillionenFarben772161", "Farbenreduzieren1"}},
        {"Bild1",
         {"REsize1", "Resample1", "DrehenSpiegeln1", "merge1", "duplizieren1", "MitHinterrundfarbelschen1",
          "AlsHintergrund1", "Kommentar1"}},
        {"DrehenSpiegeln1",
         {"N90imUhrzeigersinndrehen1", "N90gegenUhrzeigersinndrehen1", "N180drehen1", "Winkeleingeben1",
          "Vertikalspiegeln1", "Horizontalspiegeln1"}},
        {"AlsHintergrund1", {"Zentriert1", "Kacheln1"}},
        {"Kommentar1",
         {"Kommentaraufnehmen1", "Kommentarabspielen1", "Kommentarlschen1", "Kommentarimportieren1",
          "Aufnahmeeinstellungen1", "Text2"}},
    };
    auto names = [](const QList<QAction*>& actions, const std::function<QString(QAction*)>& name) {
        QStringList out;
        for (QAction* a : actions)
            if (!a->isSeparator())
                out << name(a);
        return out;
    };
    for (const auto& m : menus) {
        QStringList expected;
        for (const char* n : m.items)
            expected << QString::fromLatin1(n);
        EXPECT_EQ(names(form->Menu(QString::fromLatin1(m.menu))->actions(), [](QAction* a) { return a->objectName(); }),
                  expected)
            << m.menu;
    }
    auto* bar = form->Control<QToolBar>(QStringLiteral("ToolBar1"));
    const QStringList buttons =
        names(bar->actions(), [bar](QAction* a) { return bar->widgetForAction(a)->objectName(); });
    EXPECT_EQ(buttons, QStringList({"SpeedButton1",  "OpenBtn",      "SaveBtn",       "printbtn",      "scanbtn",
                                    "SpeedButton57", "SpeedButton9", "CutBtn",        "CopyBtn",       "PasteBtn",
                                    "SpeedButton3",  "zoombox",      "SpeedButton2",  "SpeedButton4",  "SpeedButton35",
                                    "SpeedButton37", "autobox",      "SpeedButton13", "SpeedButton11", "SpeedButton8",
                                    "SpeedButton32", "SpeedButton58"}));
}

}  // namespace
