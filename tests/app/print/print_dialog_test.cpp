// The print dialog: units, sizes, placement, tiles and the page count.
#include "app/catalog/catalog_window.h"
#include "app/print/print_dialog.h"
#include "app/print/print_layout.h"
#include "app/print/print_units.h"
#include "app/text/language.h"
#include "controls/edits/num_edit.h"
#include "controls/edits/spin_edit.h"
#include "app/app_test_util.h"
#include "app/dialogs/dialog_test_util.h"
#include "platform/print/printer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// 8 × 11 inches at 300 dpi: 2400 × 3300 printer pixels.
class PrintFormTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        make();
        Printer().SetPdfOutput(home_ + QStringLiteral("/print"), 300, 203.2, 279.4);
    }
    void TearDown() override
    {
        dialog.reset();
        SetLanguage(langGerman);
        MainWindowTest::TearDown();
    }
    Tprintform& open(const tprintdialog& record = tprintdialog::Defaults())
    {
        dialog = std::make_unique<Tprintform>(*form);
        dialog->printdialog = record;
        dialog->FormActivate();
        return *dialog;
    }
    // Types a value into one of the four edits in its current unit.
    void type(TKitCalcEdit* edit, double v, bool vertical, bool size)
    {
        edit->SetValue(v);
        if (size)
            dialog->sizeChanged(vertical);
        else
            dialog->leftTopChanged(vertical);
    }
    std::unique_ptr<Tprintform> dialog;
};

TEST(PrintUnits, ConvertBothWaysAtEitherResolution)
{
    std::vector<QString> shown;
    SetMessageDlgHook([&](const MessageDlgCall& c) {
        shown.push_back(c.message);
        return int(mrOk);
    });
    const struct {
        int unit;
        double value, resolution, pixels;
    } cases[] = {{puPixel, 640, 300, 640}, {puCm, 2.54, 300, 300},  {puCm, 1, 254, 100},
                 {puInch, 2, 300, 600},    {puInch, 0.5, 254, 127}, {puCm, 5.4186666666, 300, 640}};
    for (const auto& c : cases) {
        EXPECT_NEAR(calcpixel(c.unit, c.value, c.resolution), c.pixels, 1e-6) << c.unit << " " << c.value;
        EXPECT_NEAR(showin(c.unit, c.pixels, c.resolution), c.value, 1e-6) << c.unit << " " << c.pixels;
    }
    EXPECT_TRUE(shown.empty());
    for (uint8_t lang : {langGerman, langEnglish}) {
        SetLanguage(lang);
        shown.clear();
        EXPECT_EQ(calcpixel(3, 10, 300), 0);
        EXPECT_EQ(showin(-1, 10, 300), 0);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0], lang == langGerman ? QStringLiteral("Error, irjenwas schief") : QStringLiteral("Error"));
        EXPECT_EQ(shown[1], QStringLiteral("Fehler 9334"));
    }
    SetLanguage(langGerman);
    SetMessageDlgHook(nullptr);
}

TEST(PrintUnits, CountTextInBothLanguages)
{
    const struct {
        int cols, rows, entries;
        const char *german, *english;
    } cases[] = {
        {3, 4, -1, "= 12 Bilder", "= 12 images"},
        {1, 1, -1, "= 1 Bilder", "= 1 images"},
        {4, 5, 40, "= 2 Seiten mit je 20 Bildern", "= 2 pages with 20 images each"},
        {4, 5, 41, "= 3 Seiten mit je 20 Bildern", "= 3 pages with 20 images each"},
        {4, 5, 19, "= 19 Bilder", "= 19 images"},
        {0, 5, 30, "= 30 Bilder", "= 30 images"},  // not one tile per page: no division
    };
    for (const auto& c : cases) {
        SetLanguage(langGerman);
        EXPECT_EQ(PrintCountText(c.cols, c.rows, c.entries), QString::fromUtf8(c.german));
        SetLanguage(langEnglish);
        EXPECT_EQ(PrintCountText(c.cols, c.rows, c.entries), QString::fromUtf8(c.english));
    }
    SetLanguage(langGerman);
}

TEST_F(PrintFormTest, OpensAtOneImagePixelPerPrinterPixelShownInTheStoredUnits)
{
    imageWindow(640, 480, clRed);
    tprintdialog r = tprintdialog::Defaults();
    r.width = 5000;  // whatever was printed last
    r.height = 7;
    r.left = 300;
    r.top = 150;
    r.leftunit = 2;
    r.topunit = 0;
    r.mode = pmPoster;
    r.infoflags = 4 | 8;
    Tprintform& d = open(r);
    EXPECT_EQ(d.width, 640);
    EXPECT_EQ(d.height, 480);
    EXPECT_EQ(d.SourceWidth(), 640);
    EXPECT_NEAR(d.widthEdit->Value(), 5.42, 1e-9);  // 640 px at 300 dpi in cm, two decimals
    EXPECT_NEAR(d.heightEdit->Value(), 4.06, 1e-9);
    EXPECT_NEAR(d.leftEdit->Value(), 1.0, 1e-9);  // 300 px in inches
    EXPECT_NEAR(d.topEdit->Value(), 150, 1e-9);
    EXPECT_EQ(d.left, 300);
    EXPECT_TRUE(d.ModeButtons[pmPoster]->isChecked());
    EXPECT_TRUE(d.modeGroup->isEnabled());
    EXPECT_TRUE(d.printDateCheck->isChecked());
    EXPECT_TRUE(d.printSizeCheck->isChecked());
    EXPECT_FALSE(d.printNameCheck->isChecked());
    EXPECT_EQ(d.copiesEdit->Value(), 1);
    // The printer page: resolution per inch, area in cm.
    EXPECT_EQ(d.resolutionLabel->text(), QStringLiteral("300"));
    EXPECT_EQ(d.printableWidthLabel->text(), QStringLiteral("20.32"));
    EXPECT_EQ(d.printableHeightLabel->text(), QStringLiteral("27.94"));
    d.resolutionUnitCombo->setCurrentIndex(0);
    d.printableWidthUnitCombo->setCurrentIndex(2);
    d.printableHeightUnitCombo->setCurrentIndex(0);
    EXPECT_EQ(d.resolutionLabel->text(), QStringLiteral("118"));
    EXPECT_EQ(d.printableWidthLabel->text(), QStringLiteral("8.00"));
    EXPECT_EQ(d.printableHeightLabel->text(), QStringLiteral("3300.00"));
    // Switching a unit changes only the display.
    d.widthUnitCombo->setCurrentIndex(2);
    EXPECT_NEAR(d.widthEdit->Value(), 2.13, 1e-9);
    EXPECT_EQ(d.width, 640);
}

TEST_F(PrintFormTest, TypedSizesKeepTheAspectOnlyWithTheLockAndOnlyWhenPositive)
{
    imageWindow(640, 480, clRed);
    tprintdialog r = tprintdialog::Defaults();
    r.widthunit = r.heightunit = 0;
    Tprintform& d = open(r);
    const struct {
        bool proportional;
        bool vertical;
        int unit;
        double typed;
        double width, height;
    } steps[] = {
        {true, false, 0, 1280, 1280, 960}, {true, true, 0, 240, 320, 240},
        {true, false, 1, 2.54, 300, 225},  // 2.54 cm at 300 dpi
        {false, false, 0, 600, 600, 225},  {false, true, 2, 1, 600, 300},
        {true, false, 0, 0, 600, 300},    // 0 is ignored
        {true, false, 0, -50, 600, 300},  // and so is a negative size
        {true, true, 0, -1, 600, 300},
    };
    for (const auto& s : steps) {
        d.proportionalCheck->setChecked(s.proportional);
        QComboBox* unit = s.vertical ? d.heightUnitCombo : d.widthUnitCombo;
        unit->setCurrentIndex(s.unit);
        type(s.vertical ? d.heightEdit : d.widthEdit, s.typed, s.vertical, true);
        EXPECT_NEAR(d.width, s.width, 1e-9) << s.typed;
        EXPECT_NEAR(d.height, s.height, 1e-9) << s.typed;
    }
}

TEST_F(PrintFormTest, PlacementButtons)
{
    imageWindow(640, 480, clRed);
    Tprintform& d = open();
    d.left = 10;
    d.top = 20;
    const struct {
        int button;
        double left, top, width, height;
    } steps[] = {
        {9, 10, 20, 1280, 960}, {9, 10, 20, 2560, 1920},   {10, 10, 20, 1280, 960}, {10, 10, 20, 640, 480},
        {1, 880, 20, 640, 480}, {2, 880, 1410, 640, 480},  {5, 880, 0, 640, 480},   {6, 0, 0, 640, 480},
        {7, 1760, 0, 640, 480}, {8, 1760, 2820, 640, 480}, {3, 0, 0, 2400, 1800},   {4, 0, 0, 640, 480},
    };
    for (const auto& s : steps) {
        d.RadioButton[size_t(s.button)]->click();
        EXPECT_EQ(d.left, s.left) << s.button;
        EXPECT_EQ(d.top, s.top) << s.button;
        EXPECT_EQ(d.width, s.width) << s.button;
        EXPECT_EQ(d.height, s.height) << s.button;
        // Double and half never stay on; the others are the only one on.
        for (int b = 1; b <= 10; ++b)
            EXPECT_EQ(d.RadioButton[size_t(b)]->isChecked(), b == s.button && b != 9 && b != 10)
                << s.button << " " << b;
    }
    // Typing a margin clears the centre, fit and size buttons.
    d.RadioButton[1]->click();
    type(d.leftEdit, 1, false, false);
    EXPECT_FALSE(d.RadioButton[1]->isChecked());
}

TEST_F(PrintFormTest, ColumnsAndRowsSizeTheTilesAndCountThem)
{
    imageWindow(320, 240, clRed);
    tprintdialog r = tprintdialog::Defaults();
    r.mode = pmTiles;
    r.left = 100;
    r.top = 50;
    Tprintform& d = open(r);
    for (int b : {1, 2, 3, 5, 6, 7, 8})
        EXPECT_FALSE(d.RadioButton[size_t(b)]->isEnabled()) << b;
    EXPECT_EQ(d.pagesLabel->text(), QStringLiteral("= 55 Bilder"));  // 2400 div 421 by 3300 div 291
    d.columnsEdit->setText(QStringLiteral("3"));
    EXPECT_EQ(d.width, 698);  // 2400 / 3 − 102
    EXPECT_EQ(d.height, 698.0 * 240 / 320);
    EXPECT_EQ(d.pagesLabel->text(), QStringLiteral("= 15 Bilder"));  // 2400 div 799 by 3300 div 574
    EXPECT_EQ(d.columnsEdit->text(), QStringLiteral("3"));
    d.rowsEdit->setText(QStringLiteral("4"));
    EXPECT_EQ(d.height, 3300.0 / 4 - 52);
    EXPECT_EQ(d.width, 773.0 * 698 / 523.5);
    // A column count whose margins alone overflow the page changes nothing.
    const double w = d.width;
    d.columnsEdit->setText(QStringLiteral("25"));
    EXPECT_EQ(d.width, w);
    d.columnsEdit->setText(QStringLiteral("x"));
    EXPECT_EQ(d.width, w);
}

TEST_F(PrintFormTest, CatalogPrintsTilesOfThumbnailSize)
{
    Tkataform* k = CreateCatalogWindow(*form);
    k->setWindowTitle(QStringLiteral("!unbenannt1"));
    for (int i = 0; i < 40; ++i) {
        TCatalogItem item;
        item.Thumb.SetSize(100, 100);
        k->Items.push_back(std::move(item));
    }
    tprintdialog r = tprintdialog::Defaults();
    r.mode = pmClipping;
    r.widthunit = r.heightunit = 0;
    Tprintform& d = open(r);
    EXPECT_FALSE(d.modeGroup->isEnabled());
    EXPECT_TRUE(d.ModeButtons[pmTiles]->isChecked());
    EXPECT_EQ(d.width, 100);
    EXPECT_EQ(d.height, 100);
    const struct {
        double left, top;
        const char* text;
    } cases[] = {{379, 560, "= 2 Seiten mit je 20 Bildern"},  // 5 × 4 a page
                 {1000, 1000, "= 10 Seiten mit je 4 Bildern"},
                 {2400, 0, "= 40 Bilder"}};  // not a single tile fits
    for (const auto& c : cases) {
        d.left = c.left;
        d.top = c.top;
        d.updatePreview(true);
        EXPECT_EQ(d.pagesLabel->text(), QString::fromUtf8(c.text)) << c.left;
    }
    k->Modified = false;
}

// A catalog prints as tiles without making tiles the mode of the next image's print,
// and a print that would place nothing on the page is refused while the dialog stays
// open, its preview as empty as the page would be.
TEST_F(PrintFormTest, CatalogTilesStayWithTheCatalogAndAnEmptyPageIsRefused)
{
    Tkataform* k = CreateCatalogWindow(*form);
    k->setWindowTitle(QStringLiteral("!unbenannt1"));
    for (int i = 0; i < 3; ++i) {
        TCatalogItem item;
        item.Thumb.SetSize(100, 100);
        k->Items.push_back(std::move(item));
    }
    form->options.printdialog = tprintdialog::Defaults();
    const int jobs = Printer().JobCount();
    WhenModal<Tprintform>([](Tprintform* d) { d->printButton->click(); });
    form->printClicked();
    EXPECT_EQ(Printer().JobCount(), jobs + 1);
    EXPECT_EQ(form->options.printdialog.mode, pmClipping);
    k->parentWidget()->close();

    imageWindow(3000, 2000, clRed);  // wider than the page: no tile of it fits
    bool openedInClipping = false, stayed = false;
    int inked = -1;
    messages.clear();
    WhenModal<Tprintform>([&](Tprintform* d) {
        openedInClipping = d->ModeButtons[pmClipping]->isChecked();
        d->ModeButtons[pmTiles]->click();
        d->updatePreview(true);
        const QImage& page = d->imageKit->Bitmap()->Image();
        inked = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                inked += page.pixelColor(x, y) != QColor(Qt::white);
        d->printButton->click();
        stayed = d->isVisible();
        d->cancelButton->click();
    });
    form->printClicked();
    EXPECT_TRUE(openedInClipping);
    EXPECT_EQ(inked, 0);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Keine Kachel passt auf die Seite")))
        << messages[0].toStdString();
    EXPECT_EQ(Printer().JobCount(), jobs + 1);
    EXPECT_EQ(form->options.printdialog.mode, pmClipping);
}

TEST_F(PrintFormTest, OkStoresTheRecordAndTheRoundedArguments)
{
    imageWindow(640, 480, clRed);
    Tprintform& d = open();
    d.left = 10.5;
    d.top = 11.5;
    d.width = 99.4;
    d.height = 0.6;
    d.printDateCheck->setChecked(true);
    d.cutMarksCheck->setChecked(true);
    d.copiesEdit->SetValue(3);
    d.fontSizeEdit->SetValue(9);
    d.printClicked();
    EXPECT_EQ(d.printdialog.infoflags, 4);
    EXPECT_EQ(d.printdialog.cutlines, 1);
    EXPECT_EQ(d.printdialog.fontsize, 9);
    EXPECT_EQ(d.printdialog.copies, 3);
    EXPECT_EQ(d.printdialog.left, 10.5);
    EXPECT_EQ(d.printdialog.width, 99.4);
    EXPECT_EQ(d.cmdLeft, 10);  // halves to even
    EXPECT_EQ(d.cmdTop, 12);
    EXPECT_EQ(d.cmdWidth, 99);
    EXPECT_EQ(d.cmdHeight, 1);
}

TEST_F(PrintFormTest, AnEmptyImageNeitherDividesNorPrints)
{
    imageWindow(0, 0, clRed);
    tprintdialog r = tprintdialog::Defaults();
    r.widthunit = 0;
    Tprintform& d = open(r);
    EXPECT_EQ(d.width, 0);
    type(d.widthEdit, 200, false, true);
    EXPECT_EQ(d.width, 200);
    EXPECT_EQ(d.height, 0);
    d.RadioButton[3]->click();
    d.updatePreview(true);
    EXPECT_EQ(d.height, 0);
}

TEST_F(PrintFormTest, EachCopyIsOnePrintCommandAndOneJob)
{
    imageWindow(64, 48, clRed);
    form->options.printdialog = tprintdialog::Defaults();
    form->Recording = true;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<Tprintform*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->copiesEdit->SetValue(3);
        d->printButton->click();
    });
    form->printClicked();
    form->Recording = false;
    EXPECT_EQ(Printer().JobCount(), 3);
    ASSERT_EQ(form->RecordingList.size(), 3u);
    for (const QByteArray& block : form->RecordingList) {
        tautomatitem item;
        ASSERT_TRUE(item.FromBytes(block));
        EXPECT_EQ(item.Code(), cmdPrint);
        EXPECT_EQ(item.Arg(3), 64);
        EXPECT_EQ(item.Arg(4), 48);
        EXPECT_EQ(item.Arg(6), 3);
    }
    EXPECT_EQ(form->options.printdialog.copies, 3);
}

}  // namespace
