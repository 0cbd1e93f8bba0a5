// Prints through the interpreter into PDF files and reads them back with poppler.
#include "app/text/object_names.h"
#include "app/catalog/catalog_entry.h"
#include "app/catalog/catalog_window.h"
#include "app/app_test_util.h"
#include "app/dialogs/dialog_test_util.h"
#include "app/print/print_dialog.h"
#include "controls/edits/spin_edit.h"
#include "app/print/print_layout.h"
#include "platform/core/streams.h"
#include "platform/print/printer.h"

#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QImage>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QRegularExpression>
#include <array>
#include <cstring>

namespace {

// 9.5 × 12 inches at 254 dpi: a printable area of 2413 × 3048 pixels.
constexpr int kPageW = 2413, kPageH = 3048;
constexpr double kPageWmm = 241.3, kPageHmm = 304.8;

class PrintPdf : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        make();
        dir_ = home_ + QStringLiteral("/out");
        QDir().mkpath(dir_);
        Printer().SetPdfOutput(dir_ + QStringLiteral("/job"), 254, kPageWmm, kPageHmm);
        form->options.printdialog = tprintdialog::Defaults();
    }
    void TearDown() override
    {
        if (form)
            for (QWidget* w : form->MDIChildren())
                if (auto* k = qobject_cast<Tkataform*>(w))
                    k->Modified = false;
        MainWindowTest::TearDown();
    }
    void print(int L, int T, int W, int H, int mode, bool jobPerPage = false)
    {
        tautomatitem& a = form->automatitem;
        for (int i = 1; i <= 5; ++i)
            a.SetArg(i, std::array{L, T, W, H, mode}[size_t(i - 1)]);
        a.SetArg(6, 1);
        a.SetArgByte(jobPerPage ? 1 : 0);
        form->runcode(cmdPrint);
    }
    static int pageCount(const QString& pdf)
    {
        QByteArray out;
        if (RunTool(QStringLiteral("pdfinfo"), {pdf}, &out) != 0)
            return -1;
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(out));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    // Page n (from 1) at the printer's own resolution, without smoothing.
    QImage page(const QString& pdf, int n)
    {
        const QString prefix = dir_ + QStringLiteral("/render");
        QFile::remove(prefix + QStringLiteral(".png"));
        const int rc = RunTool(QStringLiteral("pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-aa"),
                                QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                                QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"), QString::number(n),
                                QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
        EXPECT_EQ(rc, 0);
        return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }
    // Dark pixels inside a rectangle (text, lines).
    static int dark(const QImage& img, const QRect& r)
    {
        int n = 0;
        for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), img.height() - 1); ++y)
            for (int x = std::max(r.left(), 0); x <= std::min(r.right(), img.width() - 1); ++x)
                if (qGray(img.pixel(x, y)) < 100)
                    ++n;
        return n;
    }
    static bool near(QRgb a, QColor b)
    {
        return std::abs(qRed(a) - b.red()) < 40 && std::abs(qGreen(a) - b.green()) < 40 &&
               std::abs(qBlue(a) - b.blue()) < 40;
    }
    QString pdf(int job) const { return Printer().PdfFileName(job); }
    // An image window on a file of its own, so that the information lines find it.
    Tchild* savedImage(int w, int h, TColor color)
    {
        Tchild* c = imageWindow(w, h, color);
        const QString path = home_ + QStringLiteral("/picture.bmp");
        EXPECT_TRUE(c->imageKit->Bitmap()->Image().save(path));
        c->setWindowTitle(path);
        return c;
    }
    QString dir_;
};

TEST_F(PrintPdf, PageIsThePrintableAreaInPrinterPixels)
{
    EXPECT_EQ(Printer().PageWidth(), kPageW);
    EXPECT_EQ(Printer().PageHeight(), kPageH);
    EXPECT_EQ(Printer().XResolution(), 254);
}

TEST_F(PrintPdf, ClippingPlacesTheImageWithCutAndInformationLines)
{
    REQUIRE_TOOLS("pdftoppm", "pdfinfo");
    savedImage(640, 480, clRed);
    form->options.printdialog.cutlines = 1;
    form->options.printdialog.infoflags = 8 | 1;
    form->options.printdialog.fontsize = 12;
    print(300, 400, 640, 480, pmClipping);
    ASSERT_EQ(Printer().JobCount(), 1);
    ASSERT_EQ(pageCount(pdf(1)), 1);
    const QImage img = page(pdf(1), 1);
    ASSERT_GE(img.width(), kPageW);
    const struct {
        QPoint at;
        QColor color;
    } probes[] = {{{303, 403}, Qt::red},   {{936, 876}, Qt::red},   {{620, 640}, Qt::red},
                  {{296, 640}, Qt::white}, {{944, 640}, Qt::white}, {{620, 396}, Qt::white}};
    for (const auto& p : probes)
        EXPECT_TRUE(near(img.pixel(p.at), p.color)) << p.at.x() << "," << p.at.y();
    // Left margin 3 cm: a 2 cm line ending 0.3 cm before the image, on its top and bottom rows.
    for (int y : {400, 879}) {
        EXPECT_EQ(dark(img, QRect(69, y, 200, 1)), 200) << y;
        EXPECT_EQ(dark(img, QRect(20, y, 45, 1)) + dark(img, QRect(275, y, 20, 1)), 0) << y;
    }
    // Top margin 4 cm: x = 300 and x = 939 from 1.7 to 3.7 cm.
    EXPECT_EQ(dark(img, QRect(300, 170, 1, 200)), 200);
    EXPECT_EQ(dark(img, QRect(939, 170, 1, 200)), 200);
    // Two information lines (size, then name) just below the image; nothing beside it.
    EXPECT_GT(dark(img, QRect(310, 881, 500, 40)), 50);
    EXPECT_GT(dark(img, QRect(310, 930, 500, 50)), 50);
    EXPECT_EQ(dark(img, QRect(1300, 881, 500, 100)), 0);
}

TEST_F(PrintPdf, TilesRepeatTheImageWithMarginsBetween)
{
    REQUIRE_TOOLS("pdftoppm");
    savedImage(64, 48, clBlue);
    form->options.printdialog.infoflags = 1;
    form->options.printdialog.fontsize = 12;
    print(100, 100, 698, 500, pmTiles);
    ASSERT_EQ(Printer().JobCount(), 1);
    const QImage img = page(pdf(1), 1);
    const std::vector<TTileCell> cells = TileCells(100, 100, 698, 500, kPageW, kPageH);
    ASSERT_EQ(cells.size(), 15u);  // 3 across, 5 down
    for (const TTileCell& c : cells) {
        EXPECT_TRUE(near(img.pixel(c.Rect.Left + 349, c.Rect.Top + 250), Qt::blue)) << c.Rect.Left << "," << c.Rect.Top;
        // The margin before each tile stays white.
        EXPECT_TRUE(near(img.pixel(c.Rect.Left - 50, c.Rect.Top + 250), Qt::white));
        EXPECT_TRUE(near(img.pixel(c.Rect.Left + 349, c.Rect.Top - 50), Qt::white));
        // Only the first tile of the last row has the name below it.
        const int text = dark(img, QRect(c.Rect.Left, c.Rect.Bottom + 1, 400, 40));
        if (c.Info)
            EXPECT_GT(text, 20);
        else
            EXPECT_EQ(text, 0);
    }
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(), [](const TTileCell& c) { return c.Info; }), 1);
}

TEST_F(PrintPdf, PosterSpreadsOverPagesAsOneJobOrOneJobEach)
{
    REQUIRE_TOOLS("pdftoppm", "pdfinfo");
    // Left half red, right half blue.
    Tchild* c = imageWindow(300, 200, clRed);
    TCanvas* canvas = c->imageKit->Bitmap()->Canvas();
    canvas->Brush.Color = clBlue;
    canvas->FillRect(TRect(150, 0, 300, 200));
    for (bool jobPerPage : {false, true}) {
        SCOPED_TRACE(jobPerPage);
        Printer().SetPdfOutput(dir_ + (jobPerPage ? QStringLiteral("/single") : QStringLiteral("/one")), 254, kPageWmm,
                               kPageHmm);
        // 3000 wide from 100: two pages across, one down.
        print(100, 200, 3000, 2000, pmPoster, jobPerPage);
        std::vector<QImage> pages;
        if (jobPerPage) {
            ASSERT_EQ(Printer().JobCount(), 2);
            for (int j = 1; j <= 2; ++j) {
                ASSERT_EQ(pageCount(pdf(j)), 1);
                pages.push_back(page(pdf(j), 1));
            }
        } else {
            ASSERT_EQ(Printer().JobCount(), 1);
            ASSERT_EQ(pageCount(pdf(1)), 2);
            pages = {page(pdf(1), 1), page(pdf(1), 2)};
        }
        // Page 1 holds image columns 0 … 230 from x = 100: red to x = 1600, blue beyond.
        EXPECT_TRUE(near(pages[0].pixel(50, 1000), Qt::white));
        EXPECT_TRUE(near(pages[0].pixel(1500, 1000), Qt::red));
        EXPECT_TRUE(near(pages[0].pixel(1700, 1000), Qt::blue));
        EXPECT_TRUE(near(pages[0].pixel(2390, 2190), Qt::blue));
        EXPECT_TRUE(near(pages[0].pixel(1000, 2210), Qt::white));
        // Page 2: the rest, blue, up to (100 + 3000) mod (page width + 1) = 686.
        const int right = (100 + 3000) % (kPageW + 1);
        EXPECT_TRUE(near(pages[1].pixel(10, 1000), Qt::blue));
        EXPECT_TRUE(near(pages[1].pixel(right - 6, 1000), Qt::blue));
        EXPECT_TRUE(near(pages[1].pixel(right + 14, 1000), Qt::white));
    }
}

TEST_F(PrintPdf, CatalogThumbnailsFillAsManyPagesAsTheyNeed)
{
    REQUIRE_TOOLS("pdftoppm", "pdfinfo");
    const struct {
        int entries;
        bool jobPerPage;
        int pages;
    } cases[] = {{40, false, 2}, {41, false, 3}, {19, false, 1}, {41, true, 3}, {0, false, 1}};
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        Tkataform* k = CreateCatalogWindow(*form);
        k->setWindowTitle(QStringLiteral("!unbenannt%1").arg(++run));
        for (int i = 0; i < c.entries; ++i) {
            TCatalogItem item;
            item.Text = TCatalogEntry::Missing(QStringLiteral("/nowhere/%1.bmp").arg(i)).Text();
            item.Thumb.SetSize(100, 100);
            item.Thumb.Canvas()->Brush.Color = clGreen;
            item.Thumb.Canvas()->FillRect(TRect(0, 0, 100, 100));
            k->Items.push_back(std::move(item));
        }
        form->ActivateChild(k);
        Printer().SetPdfOutput(dir_ + QStringLiteral("/cat%1").arg(run), 254, kPageWmm, kPageHmm);
        // 4 × 5 cells of 500 × 500: 20 a page.
        print(99, 99, 500, 500, pmTiles, c.jobPerPage);
        std::vector<QImage> pages;
        if (c.jobPerPage) {
            ASSERT_EQ(Printer().JobCount(), c.pages);
            for (int j = 1; j <= c.pages; ++j)
                pages.push_back(page(pdf(j), 1));
        } else {
            ASSERT_EQ(Printer().JobCount(), 1);
            ASSERT_EQ(pageCount(pdf(1)), c.pages);
            for (int p = 1; p <= c.pages; ++p)
                pages.push_back(page(pdf(1), p));
        }
        // Entry i sits in cell i mod 20 of page i div 20; cells past the last stay white.
        for (int p = 0; p < c.pages; ++p)
            for (int cell = 0; cell < 20; ++cell) {
                const int i = p * 20 + cell;
                const QPoint centre(99 + (cell % 4) * 600 + 40, 99 + (cell / 4) * 600 + 40);
                EXPECT_TRUE(near(pages[size_t(p)].pixel(centre), i < c.entries ? QColor(0, 128, 0) : QColor(Qt::white)))
                    << "page " << p << " cell " << cell;
            }
        k->Modified = false;
        k->parentWidget()->close();
    }
}

TEST_F(PrintPdf, ARectangleThatCannotBeLaidOutIsRefusedBeforeAnyJob)
{
    imageWindow(64, 48, clRed);
    const struct {
        int L, T, W, H, mode;
    } cases[] = {{0, 0, 0, 100, pmPoster},
                 {0, 0, 100, 0, pmPoster},
                 {0, 0, -5, 100, pmClipping},
                 {-101, 0, 100, 100, pmTiles},
                 {0, -101, 100, 100, pmTiles},
                 // nothing would land on the page
                 {0, 0, kPageW, 100, pmTiles},
                 {0, kPageH - 50, 100, 50, pmTiles},
                 {kPageW, 0, 100, 100, pmClipping},
                 {0, kPageH + 10, 100, 100, pmClipping}};
    for (const auto& c : cases) {
        messages.clear();
        print(c.L, c.T, c.W, c.H, c.mode);
        EXPECT_EQ(messages.size(), 1u) << c.L << " " << c.W << " " << c.H;
        EXPECT_EQ(Printer().JobCount(), 0);
        EXPECT_FALSE(Printer().Printing());
    }
    EXPECT_FALSE(QFile::exists(pdf(1)));
}

// A new session starts numbering afresh: the prints of earlier ones must survive, and
// the user is told where each print went.
TEST_F(PrintPdf, PrintsNumberOnPastEarlierFilesAndSayWhere)
{
    imageWindow(64, 48, clRed);
    const QString base = dir_ + QStringLiteral("/session");
    QFile old(base + QStringLiteral("-1.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("last session");
    old.close();
    for (int session = 0; session < 2; ++session) {
        SCOPED_TRACE(session);
        Printer().SetPdfOutput(base, 254, kPageWmm, kPageHmm);
        print(0, 0, 640, 480, pmClipping);
        const QString written = base + QStringLiteral("-%1.pdf").arg(session + 2);
        EXPECT_EQ(Printer().LastPdfFile(), written);
        EXPECT_TRUE(QFileInfo::exists(written));
        EXPECT_TRUE(form->statusBar()->currentMessage().contains(QDir::toNativeSeparators(written)))
            << form->statusBar()->currentMessage().toStdString();
    }
    EXPECT_EQ(ReadWholeFile(base + QStringLiteral("-1.pdf")), QByteArray("last session"));
}

// Tiles too small for any sensible grid are refused like posters of too many pages; a
// long print can be cancelled, and stops when its window closes, leaving no file. A close
// while a large image is brought to the tile size (on a worker, the events running) waits
// until the print has ended, and the same print started again meanwhile is refused.
TEST_F(PrintPdf, LongTilePrintsAreBoundedCancellableAndSurviveTheirWindowClosing)
{
    enum Action { None, Cancel, CloseWindow, CloseBeforeTheSteps, PrintAgainBeforeTheSteps };
    const struct {
        const char* name;
        int W, H;
        Action action;
        size_t messages;
        int jobs;
        bool file;
        QSize picture = {64, 48};
    } cases[] = {
        {"1 x 1 tiles", 1, 1, None, 1, 0, false},
        {"cancelled", 30, 30, Cancel, 0, 1, false},
        {"window closed", 30, 30, CloseWindow, 1, 1, false},
        {"300 tiles", 120, 160, None, 0, 1, true},
        {"window closed while the tile is made", 120, 160, CloseBeforeTheSteps, 0, 1, true, {3000, 2000}},
        {"print again while the tile is made", 120, 160, PrintAgainBeforeTheSteps, 1, 1, true, {3000, 2000}},
    };
    for (const auto& c : cases) {
        QPointer<Tchild> image = imageWindow(c.picture.width(), c.picture.height(), clBlue);
        messages.clear();
        const int jobsBefore = Printer().JobCount();
        // Acts on the progress dialog as soon as it steps, inside the print's loop.
        bool acted = false;
        QTimer driver;
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* progress =
                form->findChild<QProgressDialog*>(QLatin1String(ObjectName::ProgressDialogs::PrintProgress));
            const bool beforeTheSteps = c.action == CloseBeforeTheSteps || c.action == PrintAgainBeforeTheSteps;
            if (acted || c.action == None || (!progress && !beforeTheSteps))
                return;
            acted = true;
            if (c.action == PrintAgainBeforeTheSteps)
                form->runcode(cmdPrint);
            else if (c.action == Cancel)
                progress->cancel();
            else if (image)
                image->parentWidget()->close();
        });
        driver.start();
        print(0, 0, c.W, c.H, pmTiles);
        driver.stop();
        EXPECT_EQ(acted, c.action != None) << c.name;
        EXPECT_EQ(messages.size(), c.messages) << c.name;
        EXPECT_EQ(Printer().JobCount() - jobsBefore, c.jobs) << c.name;
        EXPECT_FALSE(Printer().Printing()) << c.name;
        EXPECT_EQ(QFile::exists(pdf(Printer().JobCount())), c.file) << c.name;
        EXPECT_FALSE(form->findChild<QProgressDialog*>(QLatin1String(ObjectName::ProgressDialogs::PrintProgress)))
            << c.name;
        if (c.action == CloseBeforeTheSteps) {
            // The held close comes once the print is over.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_FALSE(image) << c.name;
        }
        if (image)
            image->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The copies of one request are one request: Cancel during any copy ends it, and the
// status line says how many copies were done and which files were written.
TEST_F(PrintPdf, CancelEndsEveryCopyOfTheRequestAndSaysWhatWasWritten)
{
    const struct {
        int cancelAt;  // the copy during which Cancel is pressed; 0: never
        int jobs;
        const char* status;
    } cases[] = {{0, 3, "Gedruckt in die Datei"},
                 {1, 1, "Druck abgebrochen nach 0 von 3 Kopien. Es wurde nichts gedruckt."},
                 {2, 2, "Druck abgebrochen nach 1 von 3 Kopien. Gedruckt in die Datei"}};
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancelAt);
        QPointer<Tchild> image = imageWindow(64, 48, clBlue);
        Printer().SetPdfOutput(dir_ + QStringLiteral("/copies%1").arg(++run), 254, kPageWmm, kPageHmm);
        QTimer driver;
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* progress =
                form->findChild<QProgressDialog*>(QLatin1String(ObjectName::ProgressDialogs::PrintProgress));
            if (progress && Printer().JobCount() == c.cancelAt && !progress->wasCanceled())
                progress->cancel();
        });
        WhenModal<Tprintform>([&](Tprintform* d) {
            d->ModeButtons[pmTiles]->click();
            d->left = d->top = 0;
            d->width = d->height = 30;  // thousands of tiles: time to cancel
            d->copiesEdit->SetValue(3);
            driver.start();
            d->printButton->click();
        });
        form->printClicked();
        driver.stop();
        EXPECT_EQ(Printer().JobCount(), c.jobs);
        const QString status = form->statusBar()->currentMessage();
        EXPECT_TRUE(status.startsWith(QString::fromUtf8(c.status))) << status.toStdString();
        // Every finished copy is a file named in the status; the cancelled one left none.
        const int finished = c.cancelAt ? c.cancelAt - 1 : 3;
        for (int j = 1; j <= c.jobs; ++j) {
            EXPECT_EQ(QFile::exists(pdf(j)), j <= finished) << j;
            if (j <= finished && (j == 1 || j == finished)) {
                EXPECT_TRUE(status.contains(QDir::toNativeSeparators(pdf(j)))) << j;
            }
        }
        if (image)
            image->parentWidget()->close();
    }
}

TEST(PrintRecord, EightyFourBytesAtTheirOffsets)
{
    tprintdialog d;
    d.width = 1.5;
    d.height = -2.25;
    d.resunit = 0x01020304;
    d.pagewidthunit = 5;
    d.pageheightunit = 6;
    d.leftunit = 7;
    d.topunit = 8;
    d.widthunit = 9;
    d.heightunit = 10;
    d.copies = 11;
    d.left = 100.0;
    d.top = 0.5;
    d.placement = 0;
    d.proportional = 1;
    d.autopreview = 2;
    d.jobperpage = 3;
    d.cutlines = 4;
    d.mode = 2;
    d.infoflags = 15;
    d.fontsize = 6;
    TMemoryStream s;
    d.Write(s);
    ASSERT_EQ(s.Size(), 84);
    const uint8_t* b = s.Memory();
    auto f64 = [&](int off) {
        double v;
        uint64_t u = 0;
        for (int i = 7; i >= 0; --i)
            u = u << 8 | b[off + i];
        std::memcpy(&v, &u, 8);
        return v;
    };
    auto i32 = [&](int off) {
        return int32_t(uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 |
                       uint32_t(b[off + 3]) << 24);
    };
    EXPECT_EQ(f64(0), 1.5);
    EXPECT_EQ(f64(8), -2.25);
    const std::pair<int, int32_t> ints[] = {{16, 0x01020304}, {20, 5},  {24, 6}, {28, 7}, {32, 8}, {36, 9},
                                            {40, 10},         {44, 11}, {64, 0}, {72, 2}, {80, 6}};
    for (const auto& [off, v] : ints)
        EXPECT_EQ(i32(off), v) << off;
    EXPECT_EQ(f64(48), 100.0);
    EXPECT_EQ(f64(56), 0.5);
    const std::pair<int, int> bytes[] = {{68, 1}, {69, 2}, {70, 3}, {71, 4}, {76, 15}, {77, 0}, {78, 0}, {79, 0}};
    for (const auto& [off, v] : bytes)
        EXPECT_EQ(b[off], v) << off;
    s.SetPosition(0);
    tprintdialog back;
    back.Read(s);
    EXPECT_EQ(back, d);
}

}  // namespace
