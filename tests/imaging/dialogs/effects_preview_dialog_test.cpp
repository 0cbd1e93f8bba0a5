// The effects dialog driven through its controls.
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/boxes/hsv_box.h"
#include "imaging/kit/image_kit.h"
#include "imaging/boxes/histogram_box.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/rounding.h"
#include "platform/ui/dialogs.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/color_space.h"
#include "../proc/proc_test_util.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace proctest;

namespace {

struct Opened {
    TfPreviews form;
    explicit Opened(int set, bool live = true)
    {
        form.SetLockPreviewDefault(live);
        *form.ImageKit1->Bitmap() = Pattern(40, 30, 9);
        form.ImageKit1->Update();
        form.SetEffectsSet(set);
        form.resize(900, 600);
        form.show();
        QApplication::processEvents();
    }
    const TBitmap& result() { return *form.ImageKit2->Bitmap(); }
};

}  // namespace

TEST(EffectsDialog, EffectsSetChoosesThePages)
{
    struct Case {
        int set;
        int visible;
        int first;
    };
    for (const Case c :
         {Case{94, 5, ppContrast}, Case{928, 4, ppUserFilter}, Case{1, 9, ppContrast}, Case{512, 1, ppWave}}) {
        Opened o(c.set);
        int n = 0;
        for (int i = 0; i < o.form.PageControl1->count(); ++i)
            n += o.form.PageControl1->isTabVisible(i);
        EXPECT_EQ(n, c.visible) << c.set;
        EXPECT_EQ(o.form.ActivePage(), c.first) << c.set;
    }
}

// Each page's main control changes the live preview; setting it back gives the neutral
// preview again (HSV and HSL at zero still round, so neutral is not always the snapshot).
TEST(EffectsDialog, EveryPageControlChangesThePreview)
{
    Opened o(1);
    struct Case {
        int page;
        std::function<void(TfPreviews&, bool)> set;
    };
    const Case cases[] = {
        {ppContrast, [](TfPreviews& f, bool on) { f.ContrastBars[1]->setValue(on ? 50 : 0); }},
        {ppHSV, [](TfPreviews& f, bool on) { f.HSVBars[0]->setValue(on ? 90 : 0); }},
        {ppHSL,
         [](TfPreviews& f, bool on) {
             f.HSLEdits[2]->setText(on ? QStringLiteral("30") : QStringLiteral("x"));
             emit f.HSLEdits[2]->textEdited(f.HSLEdits[2]->text());
         }},
        {ppRGB, [](TfPreviews& f, bool on) { f.RGBBars[2]->setValue(on ? -100 : 0); }},
        {ppUserFilter, [](TfPreviews& f, bool on) { f.PresetList->setCurrentIndex(on ? 2 : 0); }},
        {ppEqualization, [](TfPreviews& f, bool on) { f.LevelsRuler->SetGripPos(1, on ? 128 : 255); }},
        {ppBumpMap, [](TfPreviews& f, bool on) { f.BumpPercent->setValue(on ? 0 : 100); }},
        {ppLens, [](TfPreviews& f, bool on) { f.LensEdits[2]->setValue(on ? 30 : 0); }},
        {ppWave, [](TfPreviews& f, bool on) { f.WaveEdits[0]->setValue(on ? 5 : 0); }},
    };
    for (const Case& c : cases) {
        o.form.ShowPage(c.page);
        QApplication::processEvents();
        c.set(o.form, false);
        const TBitmap neutral = o.result();
        if (c.page != ppHSV && c.page != ppHSL) {
            EXPECT_TRUE(SamePixels(neutral, o.form.ResultSnapshot())) << c.page;
        }
        c.set(o.form, true);
        EXPECT_FALSE(SamePixels(o.result(), neutral)) << c.page;
        c.set(o.form, false);
        EXPECT_TRUE(SamePixels(o.result(), neutral)) << c.page;
    }
}

TEST(EffectsDialog, LockOffWaitsForPreviewAndSameValueTwiceIsIdempotent)
{
    Opened o(94, false);
    EXPECT_TRUE(o.form.Button3->isEnabled());
    const TBitmap before = o.result();
    o.form.ContrastBars[1]->setValue(40);
    EXPECT_TRUE(SamePixels(o.result(), before));
    o.form.Button3->click();
    const TBitmap once = o.result();
    EXPECT_FALSE(SamePixels(once, before));
    o.form.Button3->click();
    EXPECT_TRUE(SamePixels(o.result(), once));
    // Pressing the lock down previews at once and disables "&Preview".
    o.form.ContrastBars[1]->setValue(-40);
    o.form.SpeedButton1->click();
    EXPECT_FALSE(o.form.Button3->isEnabled());
    EXPECT_FALSE(SamePixels(o.result(), once));
}

// "<<" after a brightness of 50: the source is brighter, the page is back at 0, and
// the result equals the (new) source's visible part.
TEST(EffectsDialog, FoldBackBrightensSourceAndResetsThePage)
{
    Opened o(94);
    const TBitmap source = *o.form.ImageKit1->Bitmap();
    o.form.ContrastBars[1]->setValue(50);
    o.form.Button6->click();
    TBitmap want(source);
    AdjustRGB(want, 0, 0, 99, 99, 50, 50, 50);
    EXPECT_TRUE(SamePixels(*o.form.ImageKit1->Bitmap(), want));
    EXPECT_EQ(o.form.Brightness, 0);
    EXPECT_EQ(o.form.ContrastBars[1]->value(), 0);
    EXPECT_TRUE(SamePixels(o.result(), o.form.ResultSnapshot()));
}

TEST(EffectsDialog, ClickOnTheZoomedResultMapsBackToTheSource)
{
    Opened o(1);
    *o.form.ImageKit1->Bitmap() = Pattern(300, 200, 1);
    o.form.ShowPage(ppLens);
    QApplication::processEvents();
    o.form.ImageKit1->SetZoom(300);
    o.form.ImageKit1->SetViewXY(17, 11);
    QApplication::processEvents();
    const int vx = o.form.ImageKit1->ViewX(), vy = o.form.ImageKit1->ViewY();
    ASSERT_GT(vx, 0);
    ASSERT_GT(vy, 0);
    TImageKit* r = o.form.ImageKit2;
    // The first source pixel whose forward image Trunc(x × 3 − view) reaches the result pixel.
    const auto first = [](int s, int view, int want) {
        return Trunc(s * 3.0 - view) >= want && Trunc((s - 1) * 3.0 - view) < want;
    };
    for (auto [bx, by] : {std::pair{0, 0}, {5, 7}, {31, 2}, {100, 60}}) {
        o.form.ImageKit2MouseUp(r->BitmapToScreenX(bx), r->BitmapToScreenY(by));
        EXPECT_TRUE(first(o.form.LensLeft, vx, bx)) << bx << " got " << o.form.LensLeft;
        EXPECT_TRUE(first(o.form.LensTop, vy, by)) << by << " got " << o.form.LensTop;
    }
    // On the HSV page the base colour is the result bitmap's pixel.
    o.form.ShowPage(ppHSV);
    QApplication::processEvents();
    const Px p = Get(o.result(), 4, 4);
    o.form.ImageKit2MouseUp(r->BitmapToScreenX(4), r->BitmapToScreenY(4));
    int h, s, v;
    RGBToHSV(p.r, p.g, p.b, h, s, v);
    EXPECT_EQ((std::array{o.form.BaseColor->Hue(), o.form.BaseColor->Sat(), o.form.BaseColor->Val()}),
              (std::array{h, s, v}));
}

// The HSV offsets stay as set while other pages are visited.
TEST(EffectsDialog, HSVOffsetsSurviveATabVisit)
{
    Opened o(94);
    o.form.ShowPage(ppHSV);
    QApplication::processEvents();
    o.form.HSVBars[0]->setValue(90);
    o.form.HSVBars[2]->setValue(-20);
    o.form.ShowPage(ppContrast);
    QApplication::processEvents();
    o.form.ShowPage(ppHSV);
    QApplication::processEvents();
    EXPECT_EQ(o.form.HSV, (std::array{90, 0, -20}));
    EXPECT_EQ(o.form.HSVBars[0]->value(), 90);
    EXPECT_EQ(o.form.HSVEdits[2]->text(), QStringLiteral("-20"));
}

// Both rulers carry grey grips at 0 and 255 that stand under the histogram's bars of
// their values, with each grip's value in a label under it; a dragged grip sets the
// page's values, pushes the other grip along and never leaves 0 … 255.
TEST(EffectsDialog, EqualizationRulersLineUpWithTheHistogram)
{
    Opened o(94);
    o.form.ShowPage(ppEqualization);
    QApplication::processEvents();
    TfPreviews& f = o.form;
    const auto barX = [&](double v) {
        return f.HistogramBox1
            ->mapTo(&f, QPoint(f.HistogramBox1->BarLeft() + Round(v * f.HistogramBox1->BarWidth() / 256.0), 0))
            .x();
    };
    const auto gripX = [&](TRulerBox* r, int g) { return r->mapTo(&f, QPoint(r->GripPixel(g), 0)).x(); };
    const auto labelX = [&](int k) {
        QLabel* l = f.RulerLabels[size_t(k)];
        return l->mapTo(&f, QPoint(l->width() / 2, 0)).x();
    };
    const auto checkLinedUp = [&](const char* when) {
        for (TRulerBox* r : {f.ThresholdRuler, f.LevelsRuler})
            for (int g = 0; g < 2; ++g) {
                const int k = (r == f.ThresholdRuler ? 0 : 2) + g;
                EXPECT_NEAR(gripX(r, g), barX(r->GetGripPos(g)), 1) << when << " grip " << k;
                EXPECT_NEAR(labelX(k), gripX(r, g), 1) << when << " grip " << k;
                EXPECT_EQ(f.RulerLabels[size_t(k)]->text(), QString::number(Trunc(r->GetGripPos(g)))) << when;
                EXPECT_GT(f.RulerLabels[size_t(k)]->y(), r->y() + r->height() - 1) << when;
            }
    };
    ASSERT_GT(f.HistogramBox1->BarWidth(), 0);
    for (TRulerBox* r : {f.ThresholdRuler, f.LevelsRuler}) {
        ASSERT_EQ(r->GripsCount(), 2);
        EXPECT_EQ(r->GetGripPos(0), 0);
        EXPECT_EQ(r->GetGripPos(1), 255);
        EXPECT_EQ(r->GetGripColor(0), TColor(0x808080));
        EXPECT_EQ(r->GetGripColor(1), TColor(0x808080));
    }
    checkLinedUp("at start");

    // Drag the threshold's upper grip to about 100, then the lower one past it and beyond the end.
    TRulerBox* t = f.ThresholdRuler;
    const auto drag = [&](int g, int toX) {
        const QPoint from(t->GripPixel(g), t->height() - 3);
        QTest::mousePress(t, Qt::LeftButton, {}, from);
        QTest::mouseMove(t, QPoint(toX, from.y()));
        QTest::mouseRelease(t, Qt::LeftButton, {}, QPoint(toX, from.y()));
    };
    drag(1, t->GripPixel(1) - Round(155 * t->DotPerUnit()));
    const int high = Trunc(t->GetGripPos(1));
    EXPECT_NEAR(high, 100, 1);
    EXPECT_EQ(f.HighThreshold.rgbtGreen, high);
    EXPECT_EQ(f.LowThreshold.rgbtGreen, 0);
    checkLinedUp("after the upper grip");
    drag(0, t->width() - 1);
    EXPECT_LE(t->GetGripPos(0), 255);
    EXPECT_EQ(t->GetGripPos(1), t->GetGripPos(0));
    EXPECT_EQ(f.LowThreshold.rgbtRed, Trunc(t->GetGripPos(0)));
    checkLinedUp("after the lower grip");

    // Ticking a channel changes the histogram's labels; the rulers follow its bar area.
    f.ChannelList->item(0)->setCheckState(Qt::Checked);
    QApplication::processEvents();
    checkLinedUp("with red ticked");
}

TEST(EffectsDialog, BadFilterFileKeepsThePageAsItWas)
{
    Opened o(928);
    o.form.PresetList->setCurrentIndex(1);
    const TUserFilter before = o.form.Filter;
    const QString path = QDir::tempPath() + QStringLiteral("/kandrivel_bad.flt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x02\x03\x03", 3);
    f.close();
    o.form.AskFilterFile = [&](bool) { return path; };
    QString shown;
    SetMessageDlgHook([&](const MessageDlgCall& call) {
        shown = call.message;
        return int(mrOk);
    });
    o.form.LoadButton->click();
    SetMessageDlgHook({});
    EXPECT_EQ(shown, QStringLiteral("unrecognized filter"));
    // The message box would activate the form again: the page must survive that.
    o.form.hide();
    o.form.show();
    QApplication::processEvents();
    EXPECT_EQ(o.form.Filter, before);
    EXPECT_EQ(o.form.PresetList->currentIndex(), 1);
    QFile::remove(path);
}

// The default extension depends on the file's own name, not on a dotted folder above it.
TEST(EffectsDialog, SavedFilterGetsItsExtensionInDottedFolders)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/.config/filters");
    ASSERT_TRUE(QDir().mkpath(dir));
    const struct {
        const char* typed;
        const char* written;
    } cases[] = {{"sharpen", "sharpen.flt"}, {"edge.flt", "edge.flt"}, {"soft.FLT", "soft.FLT"}};
    Opened o(928);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        o.form.AskFilterFile = [&](bool) { return dir + u'/' + QLatin1String(c.typed); };
        o.form.SaveButton->click();
        EXPECT_TRUE(QFileInfo::exists(dir + u'/' + QLatin1String(c.written)));
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 3);
}

namespace {

// Answers the dialog that DoProcPreviews opens: a brightness of 30, then OK or Cancel.
void AnswerNextDialog(bool ok)
{
    QTimer::singleShot(0, [ok] {
        auto* form = qobject_cast<TfPreviews*>(QApplication::activeModalWidget());
        if (!form)
            return AnswerNextDialog(ok);
        form->ContrastBars[1]->setValue(30);
        (ok ? form->Button1 : form->Button2)->click();
    });
}

}  // namespace

TEST(EffectsDialog, OkWritesTheAreaBackAsOneUndoStepCancelChangesNothing)
{
    TImageKit kit;
    *kit.Bitmap() = Pattern(30, 20, 4);
    kit.Update();
    const TBitmap original = *kit.Bitmap();
    kit.Proc()->SelectRect(3, 4, 12, 9);
    std::vector<int> progress;
    kit.SetOnProgress([&](TObject*, int p) { progress.push_back(p); });
    AnswerNextDialog(false);
    EXPECT_FALSE(kit.DoProcPreviews(94));
    EXPECT_TRUE(SamePixels(*kit.Bitmap(), original));
    EXPECT_EQ(kit.Proc()->UndoCount(), 0);
    EXPECT_TRUE(progress.empty());
    AnswerNextDialog(true);
    EXPECT_TRUE(kit.DoProcPreviews(94));
    TBitmap want(original);
    AdjustRGB(want, 3, 4, 12, 9, 30, 30, 30);
    EXPECT_TRUE(SamePixels(*kit.Bitmap(), want));
    EXPECT_EQ(kit.Proc()->UndoCount(), 1);
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(*std::max_element(progress.begin(), progress.end()), 100);
    kit.Undo();
    EXPECT_TRUE(SamePixels(*kit.Bitmap(), original));
}

// A close among the events pending as the dialog shows (Escape, the window's close box)
// ends it; the dialog's loop must not start after the close and wait for ever.
TEST(EffectsDialog, ClosedWhileItOpensTheDialogEnds)
{
    for (const bool viaClose : {false, true}) {
        TfPreviews form;
        *form.ImageKit1->Bitmap() = Pattern(20, 10, 3);
        form.ImageKit1->Update();
        form.SetEffectsSet(94);
        if (viaClose)
            QMetaObject::invokeMethod(&form, &QWidget::close, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(&form, &QDialog::reject, Qt::QueuedConnection);
        // Only a dialog left hanging meets this: it is shown again and ended.
        bool hung = false;
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, &form, [&] {
            hung = true;
            form.show();
            form.reject();
        });
        rescue.start(20000);
        EXPECT_EQ(form.exec(), int(QDialog::Rejected)) << viaClose;
        EXPECT_FALSE(hung) << viaClose;
    }
}

// On the lens page each number has its own label in its row, refraction included.
TEST(EffectsDialog, LensNumbersHaveTheirOwnLabels)
{
    Opened o(1);
    o.form.Translate(msEnglish);
    o.form.ShowPage(ppLens);
    QApplication::processEvents();
    const QList<QLabel*> labels = o.form.PageControl1->currentWidget()->findChildren<QLabel*>();
    auto labelOf = [&](const QSpinBox* edit) {
        QStringList texts;
        for (const QLabel* l : labels)
            if (l->geometry().right() < edit->x() &&
                std::abs(l->geometry().center().y() - edit->geometry().center().y()) <= 2)
                texts << l->text();
        return texts.join(QLatin1Char('|'));
    };
    EXPECT_EQ(labelOf(o.form.LensEdits[0]), QStringLiteral("Left:"));
    EXPECT_EQ(labelOf(o.form.LensEdits[3]), QStringLiteral("Height:"));
    EXPECT_EQ(labelOf(o.form.RefractionEdit), QStringLiteral("Refraction:"));
}
