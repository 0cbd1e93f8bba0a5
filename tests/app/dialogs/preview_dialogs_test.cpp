// The preview dialogs: black-and-white, colour reduction, colour picker and rotation.
#include "app/dialogs/black_white_dialog.h"
#include "app/dialogs/color_reduce_dialog.h"
#include "app/forms/color_select_dialog.h"
#include "app/dialogs/rotate_dialog.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "controls/slider/kit_slider.h"
#include "app/dialogs/dialog_test_util.h"
#include "imaging/boxes/hsv_box.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

// A 60 × 40 gradient with many colours.
TBitmap gradient()
{
    TBitmap b;
    b.SetSize(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            b.Canvas()->SetPixel(x, y, RGB(x * 4, y * 6, (x * y) % 256));
    return b;
}

TEST(ColorSel, EditsAndPickerFollowEachOther)
{
    TfColorSel::StartColor = RGB(255, 0, 0);
    TfColorSel d;
    d.show();
    EXPECT_EQ(d.Edits[0]->text(), QStringLiteral("255"));
    EXPECT_EQ(d.Edits[3]->text(), QStringLiteral("0"));
    const struct {
        int edit;
        const char* typed;
        int shownAt;
        const char* shown;
    } cases[] = {
        {0, "abc", 0, "0"},                          // letters count as 0
        {1, "128", 1, "128"}, {3, "400", 3, "359"},  // the picker clamps the hue
        {4, "150", 4, "99"},  {2, "-7", 2, "0"},
    };
    for (const auto& c : cases) {
        d.Edits[size_t(c.edit)]->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(d.Edits[size_t(c.shownAt)]->text(), QString::fromLatin1(c.shown)) << c.typed;
        // The sample and the up-downs show the picker's colour.
        EXPECT_EQ(d.colorPanel->property("Color").toInt(), int(d.hsvBox->Color()));
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(d.UpDowns[i]->Position(), d.Edits[i]->text().toInt());
    }
    d.colorCombo->SetColorValue(clNavy);
    EXPECT_EQ(d.Color(), clNavy);
    EXPECT_EQ(d.Edits[2]->text(), QStringLiteral("128"));
}

TEST(ColorReduceForm, PreviewShowsTheTypedCount)
{
    const TBitmap source = gradient();
    Tfarbredform d;
    d.ColorCount = 8;
    d.AutoPreview = true;
    d.SetSource(&source);
    d.show();
    // The source preview is the image at the view's width.
    EXPECT_EQ(d.sourceKit->Bitmap()->Width(), d.sourceKit->width());
    EXPECT_EQ(d.sourceKit->Bitmap()->Height(), d.sourceKit->width() * 40 / 60);
    EXPECT_LE(DistinctColors(d.imageKit->Bitmap()), 8);
    EXPECT_EQ(d.valueSlider->Value(), 8);
    const struct {
        const char* typed;
        int maxColors;  // 0: the preview stays as it was
    } cases[] = {{"3", 3}, {"0", 0}, {"x", 0}, {"16", 16}};
    for (const auto& c : cases) {
        const QImage before = d.imageKit->Bitmap()->Image();
        d.valueEdit->setText(QString::fromLatin1(c.typed));
        if (c.maxColors == 0) {
            EXPECT_TRUE(d.imageKit->Bitmap()->Image() == before) << c.typed;
        } else {
            EXPECT_LE(DistinctColors(d.imageKit->Bitmap()), c.maxColors) << c.typed;
            EXPECT_EQ(d.valueSlider->Value(), c.maxColors);
        }
    }
    // The slider drives the edit; without auto preview only "&Vorschau" previews.
    d.previewLockButton->click();
    d.valueSlider->SetValue(2);
    EXPECT_EQ(d.valueEdit->text(), QStringLiteral("2"));
    EXPECT_GT(DistinctColors(d.imageKit->Bitmap()), 2);
    d.previewButton->click();
    EXPECT_LE(DistinctColors(d.imageKit->Bitmap()), 2);
    // "<<": the next preview starts from the reduced image.
    d.CopyBack->click();
    EXPECT_TRUE(d.sourceKit->Bitmap()->Image() == d.imageKit->Bitmap()->Image());
}

TEST(BlackWhiteForm, ControlsFollowTheChoice)
{
    const TBitmap source = gradient();
    Tblackwhiteform d;
    d.Mode = 1;
    d.Threshold = 90;
    d.AutoPreview = true;
    d.SetSource(&source);
    d.show();
    EXPECT_TRUE(d.Grenzwert->isChecked());
    EXPECT_EQ(d.valueEdit->text(), QStringLiteral("90"));
    EXPECT_EQ(d.imageKit->Bitmap()->PixelFormat(), pf1bit);
    const struct {
        bool ordered, average;
        bool editEnabled, boxEnabled;
        uint8_t mode;
        int32_t threshold;
    } cases[] = {{false, false, true, true, 1, 90},
                 {false, true, false, true, 1, -1},
                 {true, false, false, false, 0, -1}};
    for (const auto& c : cases) {
        d.averageCheck->setChecked(c.average);
        (c.ordered ? d.geordnet : d.Grenzwert)->click();
        EXPECT_EQ(d.valueEdit->isEnabled(), c.editEnabled);
        EXPECT_EQ(d.valueSlider->isEnabled(), c.editEnabled);
        EXPECT_EQ(d.averageCheck->isEnabled(), c.boxEnabled);
        EXPECT_EQ(d.Mode, c.mode);
        EXPECT_EQ(d.Threshold, c.threshold);
    }
    d.CopyBack->click();
    EXPECT_EQ(d.sourceKit->Bitmap()->PixelFormat(), pf24bit);
    d.okClicked();
    EXPECT_TRUE(d.Accepted);
    EXPECT_EQ(d.Mode, 0);
}

TEST(RotateForm, PreviewAndCopyBack)
{
    const TBitmap source = gradient();
    TfRotate d;
    d.Angle = 90;
    d.AutoPreview = true;
    d.SetSource(&source);
    d.show();
    const TBitmap* src = d.sourceKit->Bitmap();
    const TBitmap* res = d.imageKit->Bitmap();
    EXPECT_EQ(res->Width(), src->Height());
    EXPECT_EQ(res->Height(), src->Width());
    // The slider follows the rounded angle.
    d.valueEdit->setText(QStringLiteral("-89.6"));
    EXPECT_EQ(d.valueSlider->Value(), -90);
    EXPECT_EQ(res->Width(), src->Height());
    // "<<": the source shows the rotated preview; the result waits for the next step.
    d.previewLockButton->click();
    const QImage result = res->Image();
    d.CopyBack->click();
    EXPECT_EQ(d.sourceKit->Bitmap()->Width(), d.sourceKit->width());
    EXPECT_GT(d.sourceKit->Bitmap()->Height(), d.sourceKit->Bitmap()->Width());
    EXPECT_TRUE(d.imageKit->Bitmap()->Image() == result);
    d.previewButton->click();
    EXPECT_LT(d.imageKit->Bitmap()->Height(), d.imageKit->Bitmap()->Width());
}

}  // namespace
