// Menu commands that run dialogs: new image, resize, colours, rotation, black and white.
#include "app/dialogs/black_white_dialog.h"
#include "app/dialogs/color_reduce_dialog.h"
#include "app/forms/color_select_dialog.h"
#include "app/dialogs/histogram_dialog.h"
#include "app/dialogs/merge_dialog.h"
#include "app/dialogs/new_image_dialog.h"
#include "app/dialogs/preview_pair.h"
#include "app/dialogs/rotate_dialog.h"
#include "app/dialogs/size_units.h"
#include "app/text/language.h"
#include "controls/edits/num_edit.h"
#include "controls/edits/spin_edit.h"
#include "app/dialogs/dialog_test_util.h"
#include "imaging/boxes/histogram_box.h"
#include "imaging/proc/image_kit_proc.h"
#include "app/text/language.h"
#include "app/util/cancellable_work.h"
#include "platform/ui/application.h"

#include <QAction>
#include <cmath>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QProgressDialog>
#include <QSlider>
#include <QTimer>

namespace {

class DialogCommands : public MainWindowTest {
protected:
    void trigger(const char* name)
    {
        QAction* a = form->Item(QString::fromLatin1(name));
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    // A gradient, so that colour counts and rotations show.
    Tchild* gradient(int w, int h)
    {
        Tchild* c = imageWindow(w, h, clWhite);
        TBitmap* b = c->imageKit->Bitmap();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b->Canvas()->SetPixel(x, y, RGB(x * 255 / w, y * 255 / h, (x + y) % 256));
        c->SetModified(false);
        return c;
    }
    static int undos(Tchild* c) { return c->imageKit->Proc()->UndoCount(); }
};

TEST_F(DialogCommands, NewImageTakesTheDialogsSizeAndBackground)
{
    make();
    WhenModal<TNeuGrafik>([](TNeuGrafik* d) {
        d->widthEdit->setText(QStringLiteral("20"));
        d->heightEdit->setText(QStringLiteral("10"));
        d->Background->button(2)->click();
        d->okButton->click();
    });
    trigger("ffnen1");
    ASSERT_EQ(form->MDIChildCount(), 1);
    Tchild* c = form->ActiveImageWindow();
    EXPECT_EQ(c->imageKit->Bitmap()->Width(), 20);
    EXPECT_EQ(c->imageKit->Bitmap()->Height(), 10);
    EXPECT_EQ(c->imageKit->Bitmap()->PixelColor(5, 5), clBlack);
    EXPECT_EQ(form->options.neudialog.width, 20);
    EXPECT_EQ(form->options.neudialog.background, 2);

    WhenModal<TNeuGrafik>([](TNeuGrafik* d) { d->cancelButton->click(); });
    form->Control<QToolButton>(QStringLiteral("SpeedButton1"))->click();
    EXPECT_EQ(form->MDIChildCount(), 1);
}

TEST_F(DialogCommands, ResizeAndResampleKeepTheRecordInItsUnits)
{
    make();
    form->options.undodepth = 5;
    form->options.neudialog.widthunit = suCm;
    form->options.neudialog.heightunit = suPixel;
    form->options.neudialog.resolution = 100;
    Tchild* c = gradient(300, 200);
    const struct {
        const char* item;
        bool ok;
        int w, h;
    } steps[] = {{"REsize1", true, 400, 267}, {"Resample1", false, 400, 267}, {"Resample1", true, 200, 134}};
    int expectedUndos = 0;
    for (const auto& s : steps) {
        const int w0 = c->imageKit->Bitmap()->Width();
        double shown = -1;
        WhenModal<TNeuGrafik>([&](TNeuGrafik* d) {
            shown = d->widthEdit->Value();
            d->widthEdit->setText(QString::number(s.w / 100.0));
            d->filterCombo->setCurrentIndex(1);
            (s.ok ? d->okButton : d->cancelButton)->click();
        });
        trigger(s.item);
        // The width edit shows the image's width in cm, not its pixel count.
        EXPECT_DOUBLE_EQ(shown, w0 / 100.0) << s.item;
        expectedUndos += s.ok ? 1 : 0;
        EXPECT_EQ(undos(c), expectedUndos) << s.item;
        EXPECT_EQ(c->imageKit->Bitmap()->Width(), s.w) << s.item;
        EXPECT_EQ(c->imageKit->Bitmap()->Height(), s.h) << s.item;
        EXPECT_EQ(form->options.neudialog.widthunit, suCm);
        EXPECT_DOUBLE_EQ(form->options.neudialog.width, s.w / 100.0) << s.item;
    }
    EXPECT_TRUE(c->Modified());
    EXPECT_EQ(form->options.neudialog.filter, 1);

    // Without a resolution (or with a unit no one knows) the size opens in pixels.
    const std::pair<double, int32_t> broken[] = {{0, suCm}, {std::nan(""), suInch}, {100, 7}};
    for (const auto& [resolution, unit] : broken) {
        form->options.neudialog.resolution = resolution;
        form->options.neudialog.widthunit = unit;
        double shown = -1;
        int shownUnit = -1;
        WhenModal<TNeuGrafik>([&](TNeuGrafik* d) {
            shown = d->widthEdit->Value();
            shownUnit = d->widthUnitCombo->currentIndex();
            d->cancelButton->click();
        });
        trigger("REsize1");
        EXPECT_EQ(shown, 200) << unit;
        EXPECT_EQ(shownUnit, suPixel) << unit;
    }
}

// A size the image commands refuse is refused by the dialog itself, in the user's
// language, while it stays open; nothing is made, changed, marked or stored.
TEST_F(DialogCommands, SizeDialogsRefuseWhatTheImageCommandsRefuse)
{
    make();
    form->options.neudialog.widthunit = suPixel;
    form->options.neudialog.heightunit = suPixel;
    form->options.neudialog.proportional = 0;
    Tchild* c = gradient(30, 20);
    const struct {
        const char* item;
        const char *width, *height;
        uint8_t language;
    } cases[] = {{"ffnen1", "40000", "10", langGerman},
                 {"ffnen1", "10000", "10001", langEnglish},
                 {"REsize1", "32768", "20", langGerman},
                 {"Resample1", "20000", "20000", langEnglish},
                 {"REsize1", "999999999999", "999999999999", langGerman}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.item << " " << k.width << " x " << k.height);
        SetLanguage(k.language);
        messages.clear();
        form->ActivateChild(c);
        const tneudialog before = form->options.neudialog;
        const int windows = form->MDIChildCount();
        bool stayed = false;
        WhenModal<TNeuGrafik>([&](TNeuGrafik* d) {
            d->widthEdit->setText(QString::fromLatin1(k.width));
            d->heightEdit->setText(QString::fromLatin1(k.height));
            d->okButton->click();
            stayed = d->isVisible();
            d->cancelButton->click();
        });
        trigger(k.item);
        EXPECT_TRUE(stayed);
        ASSERT_EQ(messages.size(), 1u);
        const QString& m = messages[0];
        EXPECT_TRUE(m.contains(QStringLiteral("32767"))) << m.toStdString();
        EXPECT_TRUE(m.startsWith(k.language == langGerman ? QStringLiteral("Die Grafikgröße")
                                                          : QStringLiteral("The image size")))
            << m.toStdString();
        EXPECT_FALSE(m.contains(QStringLiteral("Batch"), Qt::CaseInsensitive)) << m.toStdString();
        EXPECT_EQ(form->MDIChildCount(), windows);
        EXPECT_EQ(c->imageKit->Bitmap()->Width(), 30);
        EXPECT_FALSE(c->Modified());
        EXPECT_EQ(form->options.neudialog, before);
    }
    SetLanguage(langGerman);
}

TEST_F(DialogCommands, TypedColourReductionActsDirectlyAndMarksTheImage)
{
    make();
    Tchild* c = gradient(40, 30);
    const struct {
        const char* count;
        bool accepted;
        int refusals;
    } cases[] = {{"1", false, 1}, {"10001", false, 1}, {"abc", false, 0}, {"4", true, 0}};
    for (const auto& k : cases) {
        messages.clear();
        bool stayed = false;
        WhenModal<Tfarbredform>([&](Tfarbredform* d) {
            d->valueEdit->setText(QString::fromLatin1(k.count));
            d->okButton->click();
            stayed = d->isVisible();
            if (stayed)
                d->cancelButton->click();
        });
        trigger("Farbenreduzieren1");
        EXPECT_EQ(stayed, !k.accepted) << k.count;
        EXPECT_EQ(int(messages.size()), k.refusals) << k.count;
        EXPECT_EQ(c->Modified(), k.accepted) << k.count;
        EXPECT_EQ(undos(c), k.accepted ? 1 : 0) << k.count;
    }
    EXPECT_LE(DistinctColors(c->imageKit->Bitmap()), 4);
    EXPECT_EQ(form->options.colorcount, 4);
    // Not recorded: the batch list stays empty.
    EXPECT_TRUE(form->RecordingList.empty());
}

// Thousands of colours take a while: Cancel in the progress window stops the work and
// leaves the image and its undo stack as they were; a finished reduction says how many
// colours the image now has where the network settled on fewer than asked.
TEST_F(DialogCommands, ThousandsOfColoursCanBeStoppedAndTellWhatTheyReached)
{
    make();
    SetLanguage(langGerman);
    Tchild* c = gradient(120, 90);
    const TBitmap before(*c->imageKit->Bitmap());
    // Every step may let the events run.
    TApplication::ResponsiveClock = [t = int64_t(0)]() mutable { return t += 1000; };
    for (const bool cancel : {true, false}) {
        messages.clear();
        bool cancelled = false;
        QTimer driver;
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            TCancellableWork* work = TCancellableWork::Current();
            if (!cancel || cancelled || !work)
                return;
            work->Dialog()->show();
            auto* button = work->Dialog()->findChild<QPushButton*>(QStringLiteral("CancelButton"));
            ASSERT_TRUE(button);
            QTest::mouseClick(button, Qt::LeftButton);
            cancelled = true;
        });
        driver.start();
        WhenModal<Tfarbredform>([](Tfarbredform* d) {
            d->valueEdit->setText(QStringLiteral("1000"));
            d->okButton->click();
        });
        trigger("Farbenreduzieren1");
        driver.stop();
        EXPECT_EQ(cancelled, cancel);
        EXPECT_EQ(TCancellableWork::Current(), nullptr);
        if (cancel) {
            EXPECT_TRUE(c->imageKit->Bitmap()->Image() == before.Image());
            EXPECT_EQ(undos(c), 0);
            EXPECT_FALSE(c->Modified());
            EXPECT_TRUE(messages.empty());
            continue;
        }
        EXPECT_TRUE(c->Modified());
        EXPECT_EQ(undos(c), 1);
        const int has = DistinctColors(c->imageKit->Bitmap());
        ASSERT_LT(has, 1000);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], QStringLiteral("Das Bild hat jetzt %1 Farben (1000 gewünscht).").arg(has));
    }
    TApplication::ResponsiveClock = nullptr;
}

// Long work lets the events run, and what they bring (a timer, another program) comes
// while the work still holds its window. A close waits for the work, which stops where
// it can be stopped, and the window goes afterwards; a command is refused with a word in
// the user's language and the work ends as it would have.
TEST_F(DialogCommands, WorkSurvivesClosesAndRefusesCommandsWhileItLetsEventsRun)
{
    enum Meanwhile { CloseWindow, CloseProgram, SameAgain, OtherCommand, EscapeAndClose };
    const struct {
        const char* work;
        Meanwhile meanwhile;
        uint8_t language;
    } cases[] = {{"Farbenreduzieren1", CloseWindow, langGerman},     {"Farbenreduzieren1", CloseProgram, langGerman},
                 {"Farbenreduzieren1", SameAgain, langGerman},       {"Farbenreduzieren1", OtherCommand, langEnglish},
                 {"Farbenreduzieren1", EscapeAndClose, langEnglish}, {"Winkeleingeben1", CloseWindow, langEnglish},
                 {"Winkeleingeben1", CloseProgram, langGerman},      {"Winkeleingeben1", SameAgain, langEnglish},
                 {"Winkeleingeben1", OtherCommand, langGerman}};
    // Every step may let the events run.
    TApplication::ResponsiveClock = [t = int64_t(0)]() mutable { return t += 1000; };
    answer = mrNo;  // a changed image closes without being saved
    for (const auto& k : cases) {
        const bool reduce = k.work == std::string("Farbenreduzieren1");
        SCOPED_TRACE(testing::Message() << k.work << " " << int(k.meanwhile));
        make();
        SetLanguage(k.language);
        messages.clear();
        QPointer<Tchild> c = gradient(120, 90);
        TImageKit rotated;
        rotated.SetBackground(c->imageKit->Background());
        rotated.Assign(c->imageKit->Bitmap());
        rotated.Rotate(30, false);

        bool accepted = false, acted = false;
        int secondDialogs = 0;
        // The driver acts once inside the work; a second dialog means the command started
        // again, and the answerer lets it run as a user would (on a timer of its own: the
        // driver waits in whatever it started).
        QTimer driver, answerer;
        for (QTimer* t : {&driver, &answerer})
            t->setInterval(0);
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            if (auto* d = qobject_cast<TPreviewPairDialog*>(QApplication::activeModalWidget()); d && acted) {
                ++secondDialogs;
                d->okButton->click();
            }
        });
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (!accepted || acted || !TApplication::WorkLetsEventsRun())
                return;
            acted = true;
            QWidget* frame = c->parentWidget();
            switch (k.meanwhile) {
            case CloseWindow: frame->close(); break;
            case CloseProgram: form->close(); break;
            case SameAgain: form->Item(QString::fromLatin1(k.work))->trigger(); break;
            case OtherCommand: form->Item(QStringLiteral("N90imUhrzeigersinndrehen1"))->trigger(); break;
            case EscapeAndClose: {
                QProgressDialog* progress = TCancellableWork::Current()->Dialog();
                progress->show();
                QTest::keyClick(progress, Qt::Key_Escape);
                frame->close();
                break;
            }
            }
        });
        driver.start();
        answerer.start();
        if (reduce)
            WhenModal<Tfarbredform>([&](Tfarbredform* d) {
                d->valueEdit->setText(QStringLiteral("1000"));
                accepted = true;
                d->okButton->click();
            });
        else
            WhenModal<TfRotate>([&](TfRotate* d) {
                d->antialiasCheck->setChecked(false);
                d->valueEdit->setText(QStringLiteral("30"));
                accepted = true;
                d->okButton->click();
            });
        trigger(k.work);
        EXPECT_TRUE(acted);
        EXPECT_EQ(TCancellableWork::Current(), nullptr);
        EXPECT_EQ(secondDialogs, 0);
        if (k.meanwhile == SameAgain || k.meanwhile == OtherCommand) {
            driver.stop();
            ASSERT_TRUE(c);
            ASSERT_FALSE(messages.empty());
            EXPECT_EQ(messages[0], k.language == langGerman
                                       ? QStringLiteral("Eine Arbeit läuft noch. Bitte warten Sie, bis sie beendet "
                                                        "ist, oder brechen Sie sie ab.")
                                       : QStringLiteral("Work is still running. Please wait until it has finished, "
                                                        "or cancel it."));
            // The work itself went through as it would have alone.
            EXPECT_EQ(messages.size(), reduce ? 2u : 1u);
            EXPECT_EQ(undos(c), 1);
            EXPECT_TRUE(c->Modified());
            if (reduce) {
                EXPECT_LT(DistinctColors(c->imageKit->Bitmap()), 1000);
            } else {
                EXPECT_TRUE(c->imageKit->Bitmap()->Image() == rotated.Bitmap()->Image());
            }
            continue;
        }
        // The close waited for the work and goes now. A stopped reduction left nothing to
        // ask about; a rotation cannot be stopped, so its window asks to save as usual.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !c; }, 20000));
        driver.stop();
        EXPECT_TRUE(k.meanwhile != CloseProgram || QTest::qWaitFor([&] { return !form->isVisible(); }, 20000));
        EXPECT_EQ(messages.size(), reduce ? 0u : 1u);
    }
    SetLanguage(langGerman);
    TApplication::ResponsiveClock = nullptr;
}

TEST_F(DialogCommands, RotationTakesTheRoundedAngle)
{
    make();
    Tchild* c = gradient(30, 20);
    TImageKit reference;
    reference.SetBackground(c->imageKit->Background());
    reference.Assign(c->imageKit->Bitmap());
    reference.Rotate(46, false);
    messages.clear();
    WhenModal<TfRotate>([](TfRotate* d) {
        d->antialiasCheck->setChecked(false);
        d->valueEdit->setText(QStringLiteral("361"));
        d->okButton->click();  // refused, still open
        d->valueEdit->setText(QStringLiteral("45.6"));
        d->okButton->click();
    });
    trigger("Winkeleingeben1");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(undos(c), 1);
    EXPECT_EQ(form->options.rotateangle, 46);
    EXPECT_TRUE(c->imageKit->Bitmap()->Image() == reference.Bitmap()->Image());

    WhenModal<TfRotate>([](TfRotate* d) { d->cancelButton->click(); });
    trigger("Winkeleingeben1");
    EXPECT_EQ(undos(c), 1);
}

TEST_F(DialogCommands, BlackAndWhiteIssuesTheChosenConversion)
{
    make();
    const struct {
        bool ordered, average;
        int32_t threshold;
    } cases[] = {{false, true, -1}, {false, false, 100}, {true, false, 100}};
    for (const auto& k : cases) {
        Tchild* c = gradient(16, 16);
        WhenModal<Tblackwhiteform>([&](Tblackwhiteform* d) {
            (k.ordered ? d->geordnet : d->Grenzwert)->click();
            d->averageCheck->setChecked(k.average);
            d->valueEdit->setText(QStringLiteral("100"));
            d->okButton->click();
        });
        trigger("SchwarzWeissKonvertierung2");
        EXPECT_EQ(c->imageKit->Bitmap()->PixelFormat(), pf1bit);
        EXPECT_EQ(undos(c), 1);
        EXPECT_EQ(form->options.bwmode, k.ordered ? 0 : 1);
        if (!k.ordered) {
            EXPECT_EQ(form->options.bwthreshold, k.threshold);
        }
    }
}

// A threshold beyond the grey values is refused with a word, as the other dialogs refuse
// their numbers; the dialog stays open and the image as it was.
TEST_F(DialogCommands, BlackAndWhiteRefusesAThresholdOutOfRange)
{
    make();
    for (const char* typed : {"300", "-7", "256"}) {
        SCOPED_TRACE(typed);
        Tchild* c = gradient(16, 16);
        form->options.bwthreshold = 128;
        messages.clear();
        bool stayed = false;
        WhenModal<Tblackwhiteform>([&](Tblackwhiteform* d) {
            d->Grenzwert->click();
            d->averageCheck->setChecked(false);
            d->valueEdit->setText(QLatin1String(typed));
            d->okButton->click();
            stayed = d->isVisible();
            d->cancelButton->click();
        });
        trigger("SchwarzWeissKonvertierung2");
        EXPECT_TRUE(stayed);
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_EQ(c->imageKit->Bitmap()->PixelFormat(), pf24bit);
        EXPECT_FALSE(c->Modified());
        EXPECT_EQ(form->options.bwthreshold, 128);
        c->parentWidget()->close();
    }
}

TEST_F(DialogCommands, ColourPanelsAndBackgroundTakeThePickedColour)
{
    make();
    Tchild* c = imageWindow(8, 8, clWhite);
    auto pick = [](int r, int g, int b) {
        WhenModal<TfColorSel>([=](TfColorSel* d) {
            d->Edits[0]->setText(QString::number(r));
            d->Edits[1]->setText(QString::number(g));
            d->Edits[2]->setText(QString::number(b));
            d->okButton->click();
        });
    };
    pick(10, 20, 30);
    QTest::mouseClick(form->Control<QFrame>(QStringLiteral("Panel5")), Qt::LeftButton);
    EXPECT_EQ(form->Drawing().PenColor(), RGB(10, 20, 30));
    EXPECT_EQ(form->options.pencolor, uint32_t(RGB(10, 20, 30)));
    pick(200, 100, 0);
    trigger("Fllfarbe1");
    EXPECT_EQ(form->Drawing().FillColor(), RGB(200, 100, 0));
    pick(1, 2, 3);
    trigger("Hintergrundfarbesetzen1");
    EXPECT_EQ(c->imageKit->Background(), RGB(1, 2, 3));
    WhenModal<TfColorSel>([](TfColorSel* d) {
        d->Edits[0]->setText(QStringLiteral("99"));
        d->cancelButton->click();
    });
    QTest::mouseClick(form->Control<QFrame>(QStringLiteral("Panel5")), Qt::LeftButton);
    EXPECT_EQ(form->Drawing().PenColor(), RGB(10, 20, 30));
}

TEST_F(DialogCommands, MergeBlendsTheNamedWindowIntoTheActiveOne)
{
    make();
    Tchild* first = imageWindow(10, 10, RGB(0, 0, 200));
    first->setWindowTitle(QStringLiteral("/a/same.bmp"));
    Tchild* second = imageWindow(10, 10, RGB(100, 0, 0));
    second->setWindowTitle(QStringLiteral("/b/SAME.bmp"));
    Tchild* active = imageWindow(10, 10, RGB(0, 200, 0));
    active->setWindowTitle(QStringLiteral("/c/active.bmp"));
    const struct {
        int track;
        TColor expected;
        const char* label;
    } cases[] = {{0, RGB(0, 200, 0), "100%"}, {50, RGB(50, 100, 0), "50%"}, {100, RGB(100, 0, 0), "0%"}};
    for (const auto& k : cases) {
        TCanvas* canvas = active->imageKit->Bitmap()->Canvas();
        canvas->Brush.Style = bsSolid;
        canvas->Brush.Color = RGB(0, 200, 0);
        canvas->FillRect(TRect(0, 0, 10, 10));
        QString label;
        WhenModal<TfMergeDialog>([&](TfMergeDialog* d) {
            EXPECT_EQ(d->windowList->count(), 3);
            d->windowList->setCurrentRow(0);  // "same.bmp": the later window wins
            d->mixSlider->setValue(k.track);
            label = d->mixLabel->text();
            d->okButton->click();
        });
        form->Item(QStringLiteral("merge1"))->trigger();
        EXPECT_EQ(label, QString::fromLatin1(k.label));
        EXPECT_EQ(active->imageKit->Bitmap()->PixelColor(4, 4), k.expected) << k.track;
        EXPECT_EQ(form->options.mergetrack, k.track);
    }
    EXPECT_TRUE(active->Modified());
}

TEST_F(DialogCommands, CancelledPreviewDialogsLeaveTheImageUnmodified)
{
    make();
    Tchild* other = imageWindow(10, 10, RGB(100, 0, 0));
    other->SetModified(false);
    for (const char* item : {"merge1", "Farbenbearbeiten1", "effects1"}) {
        SCOPED_TRACE(item);
        Tchild* c = gradient(12, 12);
        // The dialogs prepare their previews before they show: wait for the dialog itself.
        QTimer poll;
        int tries = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* d = QApplication::activeModalWidget();
            auto* cancel = d ? d->findChild<QPushButton*>(QStringLiteral("Button2")) : nullptr;
            if (cancel && d->isVisible()) {
                poll.stop();
                cancel->click();
            } else if (++tries > 3000) {
                poll.stop();
                ADD_FAILURE() << "no dialog";
            }
        });
        poll.start(10);
        trigger(item);
        poll.stop();
        EXPECT_FALSE(c->Modified());
        EXPECT_EQ(undos(c), 0);
        c->parentWidget()->close();
    }
}

TEST_F(DialogCommands, HistogramShowsTheActiveImageByChannel)
{
    make();
    Tchild* c = imageWindow(6, 6, RGB(10, 20, 30));
    const THistogramKind kinds[] = {hkGray, hkRed, hkGreen, hkBlue};
    WhenModal<TfHistogram>([&](TfHistogram* d) {
        EXPECT_EQ(d->proc->CurrentBitmap(), c->imageKit->Bitmap());
        for (int i = 0; i < 4; ++i) {
            d->channelCombo->setCurrentIndex(i);
            EXPECT_EQ(d->histogramBox->HistogramKind(), kinds[i]);
        }
        d->modeCombo->setCurrentIndex(1);
        EXPECT_EQ(d->histogramBox->HistogramStyle(), hsLines);
        d->okButton->click();
    });
    trigger("Histogramm1");
}

}  // namespace
