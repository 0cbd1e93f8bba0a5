// The new-image dialog: units, resolution, memory text, presets and proportions.
#include "app/dialogs/new_image_dialog.h"
#include "app/dialogs/size_units.h"
#include "controls/edits/num_edit.h"
#include "app/dialogs/dialog_test_util.h"
#include "platform/core/streams.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace {

TEST(SizeUnits, MemoryTextByMagnitude)
{
    const struct {
        double w, h;
        const char* text;
    } cases[] = {{300, 300, "270 kb"}, {1000, 1000, "3 mb"}, {18, 18, "972 byte"}, {19, 18, "1 kb"},
                 {577, 577, "998 kb"}, {577, 578, "1 mb"},   {0, 500, "0 byte"},   {1e12, 1e12, "3000000000000 mb"}};
    for (const auto& c : cases)
        EXPECT_EQ(MemoryText(c.w, c.h), QString::fromLatin1(c.text)) << c.w << " x " << c.h;
}

TEST(SizeUnits, LengthsConvertAgainstTheResolution)
{
    const double dpi600 = 600 / 2.54;
    const struct {
        double value;
        int unit;
        double perCm;
        double pixels;
    } cases[] = {{2, suCm, dpi600, 472},   {1, suInch, dpi600, 600}, {300.5, suPixel, 0, 300},
                 {301.5, suPixel, 0, 302}, {2, suCm, 0, 0},          {0.5, suInch, 100, 127}};
    for (const auto& c : cases) {
        EXPECT_EQ(LengthToPixels(c.value, c.unit, c.perCm), c.pixels) << c.value << " unit " << c.unit;
        // Back into the unit: the pixel count read again gives the same count.
        const double back = PixelsToLength(c.pixels, c.unit, c.perCm);
        if (c.perCm != 0 || c.unit == suPixel)
            EXPECT_EQ(LengthToPixels(back, c.unit, c.perCm), c.pixels);
        else
            EXPECT_EQ(back, 0);
    }
}

class NeuGrafik : public MainWindowTest {
protected:
    void TearDown() override
    {
        dialog.reset();
        MainWindowTest::TearDown();
    }
    TNeuGrafik& open(const tneudialog& record)
    {
        dialog = std::make_unique<TNeuGrafik>();
        dialog->Record = record;
        dialog->show();
        return *dialog;
    }
    static void type(TKitCalcEdit* edit, const QString& text) { edit->setText(text); }
    std::unique_ptr<TNeuGrafik> dialog;
};

TEST_F(NeuGrafik, DefaultsShowTheWorkedValues)
{
    TNeuGrafik& d = open(tneudialog::Defaults());
    EXPECT_EQ(d.resolutionUnitCombo->currentIndex(), 1);
    EXPECT_EQ(d.resolutionEdit->Value(), 600);
    EXPECT_EQ(d.memoryLabel->text(), QStringLiteral("270 kb"));
    EXPECT_EQ(d.HelpContext(), 411);
    EXPECT_TRUE(d.backgroundGroup->isVisibleTo(&d));
    EXPECT_FALSE(d.proportionalCheck->isVisibleTo(&d));
    EXPECT_FALSE(d.filterCombo->isVisibleTo(&d));
    EXPECT_EQ(d.Presets->checkedId(), -1);

    // 2 cm at 600 dpi.
    d.widthUnitCombo->setCurrentIndex(suCm);
    type(d.widthEdit, QStringLiteral("2"));
    EXPECT_EQ(d.CurrentPixelWidth(), 472);
    d.okClicked();
    EXPECT_TRUE(d.Accepted);
    EXPECT_EQ(d.PixelWidth, 472);
    EXPECT_EQ(d.PixelHeight, 300);
    // Every length goes back in the unit stored beside it.
    EXPECT_EQ(d.Record.widthunit, suCm);
    EXPECT_EQ(d.Record.width, 2);
    EXPECT_EQ(d.Record.heightunit, suPixel);
    EXPECT_EQ(d.Record.height, 300);
    EXPECT_NEAR(d.Record.resolution, 600 / 2.54, 1e-9);
}

TEST_F(NeuGrafik, ResolutionZeroMakesLengthsZero)
{
    tneudialog r = tneudialog::Defaults();
    r.resolution = 0;
    TNeuGrafik& d = open(r);
    d.widthUnitCombo->setCurrentIndex(suCm);
    EXPECT_EQ(d.widthEdit->Value(), 0);
    EXPECT_EQ(d.CurrentPixelWidth(), 0);
    d.heightUnitCombo->setCurrentIndex(suInch);
    EXPECT_EQ(d.heightEdit->Value(), 0);
}

TEST_F(NeuGrafik, SizesOfZeroOrLessAreRefused)
{
    make();
    for (const char* text : {"0", "-5", "0.4"}) {
        dialog.reset();
        messages.clear();
        TNeuGrafik& d = open(tneudialog::Defaults());
        type(d.widthEdit, QString::fromLatin1(text));
        d.okClicked();
        EXPECT_FALSE(d.Accepted) << text;
        EXPECT_TRUE(d.isVisible()) << text;
        ASSERT_EQ(messages.size(), 1u) << text;
        EXPECT_EQ(messages[0], QStringLiteral("Falsche Eingabe für Grafikgröße"));
    }
}

TEST_F(NeuGrafik, PresetsPutPixelSizes)
{
    // A resize record in cm for a 400 x 250 pixel image at 100 pixels per cm.
    tneudialog r = tneudialog::Defaults();
    r.mode = 1;
    r.proportional = 0;
    r.resolution = 100;
    r.widthunit = suCm;
    r.heightunit = suInch;
    r.width = 4;
    r.height = 250 / 254.0;
    const struct {
        int preset;
        double w, h;
    } cases[] = {{0, 1600, 1200}, {1, 1024, 768}, {2, 800, 600}, {3, 640, 480},
                 {4, 800, 500},   {5, 200, 125},  {6, 400, 250}};
    for (const auto& c : cases) {
        TNeuGrafik& d = open(r);
        d.Presets->button(c.preset)->click();
        EXPECT_EQ(d.widthUnitCombo->currentIndex(), suPixel) << c.preset;
        EXPECT_EQ(d.heightUnitCombo->currentIndex(), suPixel) << c.preset;
        EXPECT_EQ(d.widthEdit->Value(), c.w) << c.preset;
        EXPECT_EQ(d.heightEdit->Value(), c.h) << c.preset;
        EXPECT_EQ(d.Presets->checkedId(), c.preset);
        EXPECT_EQ(d.memoryLabel->text(), MemoryText(c.w, c.h));
        // Typing clears the preset.
        type(d.widthEdit, QStringLiteral("10"));
        EXPECT_EQ(d.Presets->checkedId(), -1);
    }
}

TEST_F(NeuGrafik, ProportionalFollowsTheOpeningAspect)
{
    tneudialog r = tneudialog::Defaults();
    r.mode = 1;
    r.showfilter = 1;
    r.width = 400;
    r.height = 200;
    TNeuGrafik& d = open(r);
    EXPECT_EQ(d.HelpContext(), 442);
    EXPECT_TRUE(d.filterCombo->isVisibleTo(&d));
    EXPECT_FALSE(d.backgroundGroup->isVisibleTo(&d));
    const struct {
        int edit;
        const char* text;
        double w, h;
    } steps[] = {{1, "100", 100, 50}, {2, "300", 600, 300}, {1, "3", 3, 1.5}};
    for (const auto& s : steps) {
        type(s.edit == 1 ? d.widthEdit : d.heightEdit, QString::fromLatin1(s.text));
        EXPECT_EQ(d.CurrentPixelWidth(), s.w) << s.text;
        EXPECT_EQ(d.CurrentPixelHeight(), s.h) << s.text;
    }
    d.proportionalCheck->setChecked(false);
    type(d.widthEdit, QStringLiteral("50"));
    EXPECT_EQ(d.CurrentPixelHeight(), 1.5);
}

TEST_F(NeuGrafik, UnchangedRecordRoundTripsByteForByte)
{
    tneudialog r = tneudialog::Defaults();
    r.width = 640;
    r.height = 480;
    r.resunit = 0;
    r.resolution = 40;
    r.filter = 3;
    r.background = 2;
    r.proportional = 0;
    auto bytes = [](const tneudialog& x) {
        TMemoryStream s;
        x.Write(s);
        return s.Bytes();
    };
    TNeuGrafik& d = open(r);
    d.okClicked();
    ASSERT_TRUE(d.Accepted);
    EXPECT_EQ(bytes(d.Record), bytes(r));
}

}  // namespace
