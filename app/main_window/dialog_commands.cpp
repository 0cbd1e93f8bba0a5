// Commands that ask through a dialog first: new image, resize and resample, rotation,
// colours, black and white, typed colour reduction, merge, histogram, options and
// the welcome window.
#include "app/image_window/image_window.h"
#include "app/dialogs/black_white_dialog.h"
#include "app/dialogs/color_reduce_dialog.h"
#include "app/forms/color_select_dialog.h"
#include "app/dialogs/welcome_window.h"
#include "app/dialogs/new_image_dialog.h"
#include "app/options/options_dialog.h"
#include "app/dialogs/rotate_dialog.h"
#include "app/dialogs/size_units.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/cancellable_work.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>

namespace {

QString programPath() { return QCoreApplication::applicationFilePath(); }

}  // namespace

bool Tform1::ShowWelcomeAtStart = true;

void Tform1::newImageClicked()
{
    TNeuGrafik d(this);
    TranslateForm(QLatin1String(ObjectName::NewImageDialog::Form), &d);
    d.Record = options.neudialog;
    d.Record.mode = 0;
    d.exec();
    if (!d.Accepted)
        return;
    options.neudialog = d.Record;
    automatitem.SetArg(1, d.PixelWidth);
    automatitem.SetArg(2, d.PixelHeight);
    automatitem.SetArg(3, d.BackgroundIndex);
    runcode(cmdNewImage);
}

void Tform1::resizeDialog(bool resample)
{
    Tchild* image = ActiveImageWindow();
    if (!image)
        return;
    TNeuGrafik d(this);
    TranslateForm(QLatin1String(ObjectName::NewImageDialog::Form), &d);
    tneudialog& r = d.Record;
    r = options.neudialog;
    r.mode = 1;
    r.showfilter = resample ? 1 : 0;
    if (resample && r.filter < 0)
        r.filter = 0;
    // The record holds lengths in its own units: the image's pixels are converted, and
    // without a resolution to convert by, the size is given in pixels.
    const TBitmap* bmp = image->imageKit->Bitmap();
    auto known = [](int32_t unit) { return unit >= suPixel && unit <= suInch; };
    if (!(r.resolution > 0) || !known(r.widthunit) || !known(r.heightunit)) {
        r.widthunit = suPixel;
        r.heightunit = suPixel;
    }
    r.width = PixelsToLength(bmp->Width(), r.widthunit, r.resolution);
    r.height = PixelsToLength(bmp->Height(), r.heightunit, r.resolution);
    d.exec();
    if (!d.Accepted)
        return;
    // The command marks the image once it runs; a size it refused changes nothing.
    automatitem.SetArg(1, d.PixelWidth);
    automatitem.SetArg(2, d.PixelHeight);
    if (resample)
        automatitem.SetArg(3, d.FilterIndex);
    runcode(resample ? cmdResample : cmdResizeCanvas);
    options.neudialog = d.Record;
}

void Tform1::resizeClicked() { resizeDialog(false); }
void Tform1::resampleClicked() { resizeDialog(true); }

void Tform1::setBackgroundColorClicked()
{
    Tchild* image = ActiveImageWindow();
    TColor chosen;
    if (!image || !ChooseColor(this, image->imageKit->Background(), chosen))
        return;
    automatitem.SetArg(1, int32_t(ColorToRGB(chosen)));
    runcode(cmdBackground);
}

void Tform1::enterAngleClicked()
{
    Tchild* image = ActiveImageWindow();
    if (!image)
        return;
    TfRotate d(this);
    TranslateForm(QLatin1String(ObjectName::RotateDialog::Form), &d);
    d.AutoPreview = options.rotatepreview != 0;
    d.Antialias = options.rotateantialias != 0;
    d.Angle = options.rotateangle;
    d.SetSource(image->imageKit->Bitmap());
    d.exec();
    if (!d.Accepted)
        return;
    options.rotatepreview = d.AutoPreview ? 1 : 0;
    options.rotateantialias = d.Antialias ? 1 : 0;
    options.rotateangle = d.Angle;
    automatitem.SetArg(1, d.Angle);
    automatitem.SetArgLowByte(2, d.Antialias ? 1 : 0);
    runcode(cmdRotate);
}

void Tform1::blackWhiteClicked()
{
    Tchild* image = ActiveImageWindow();
    if (!image)
        return;
    Tblackwhiteform d(this);
    TranslateForm(QLatin1String(ObjectName::BlackWhiteDialog::Form), &d);
    d.Mode = uint8_t(options.bwmode == 1 ? 1 : 0);
    d.Threshold = options.bwthreshold;
    d.AutoPreview = options.bwoption != 0;
    d.SetSource(image->imageKit->Bitmap());
    d.exec();
    if (d.Accepted) {
        image->SetModified(true);
        options.bwmode = d.Mode;
        options.bwthreshold = d.Threshold;
        options.bwoption = d.AutoPreview ? 1 : 0;
        if (d.Mode == 1) {
            automatitem.SetArg(1, d.Threshold);
            runcode(cmdBWThreshold);
        } else {
            runcode(cmdBWOrdered);
        }
    }
    ResetProgress();
}

void Tform1::reduceColorsDialogClicked()
{
    Tchild* image = ActiveImageWindow();
    if (!image)
        return;
    Tfarbredform d(this);
    TranslateForm(QLatin1String(ObjectName::ColorReduceDialog::Form), &d);
    d.ColorCount = options.colorcount;
    d.AutoPreview = options.colorautopreview != 0;
    d.SetSource(image->imageKit->Bitmap());
    d.exec();
    if (d.Accepted) {
        options.colorcount = d.ColorCount;
        options.colorautopreview = d.AutoPreview ? 1 : 0;
        // Not a command record: it acts on the image at once, and the image is changed.
        // Thousands of colours take a while: the user may stop it, and nothing changes then.
        QPointer<Tchild> target(image);
        const int undoBefore = image->imageKit->Proc()->UndoCount();
        bool done = false;
        try {
            TCancellableWork work(this,
                                  LangText(QStringLiteral("Farben werden reduziert ..."),
                                           QStringLiteral("Reducing colours ...")),
                                  LangText(QStringLiteral("Abbrechen"), QStringLiteral("Cancel")), image);
            image->imageKit->Proc()->ReduceColors(d.ColorCount);
            done = true;
        } catch (const EAbort&) {
            // The pixels are as they were; an entry the stopped work left on the undo
            // stack goes again.
            if (target && target->imageKit->Proc()->UndoCount() > undoBefore)
                target->imageKit->Proc()->Undo();
        }
        if (done && target) {
            target->SetModified(true);
            tellColorsReached(target, d.ColorCount);
        }
    }
    ResetProgress();
    UpdateAvailability(false);
}

void Tform1::tellColorsReached(Tchild* image, int wanted)
{
    // Above 256 colours the network may settle on fewer distinct colours than asked.
    if (wanted <= 256)
        return;
    const int has = image->imageKit->Proc()->CountColors();
    if (has < wanted)
        LangMessageDlg(QStringLiteral("Das Bild hat jetzt %1 Farben (%2 gewünscht).").arg(has).arg(wanted),
                       mtInformation, mbOK,
                       QStringLiteral("The image now has %1 colours (%2 asked for).").arg(has).arg(wanted));
}

void Tform1::optionsClicked()
{
    Toptionform d(options, programPath(), this);
    TranslateForm(QLatin1String(ObjectName::OptionsDialog::Form), &d);
    d.exec();
}

void Tform1::welcomeClicked()
{
    auto* info = new Tinfoform(options, programPath());
    TranslateForm(QLatin1String(ObjectName::WelcomeWindow::Form), info);
    info->OnActivate = [this] { UpdateAvailability(false); };
    QMdiSubWindow* sub = ClientArea()->addSubWindow(info, Qt::Dialog);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->adjustSize();
    const QSize area = ClientArea()->viewport()->size();
    sub->move(std::max(0, (area.width() - sub->width()) / 2), std::max(0, (area.height() - sub->height()) / 2));
    sub->show();
    UpdateAvailability(false);
}

void Tform1::wireDialogCommands()
{
    const std::pair<const char*, void (Tform1::*)()> items[] = {
        {ObjectName::MainWindow::ffnen1, &Tform1::newImageClicked},
        {ObjectName::MainWindow::REsize1, &Tform1::resizeClicked},
        {ObjectName::MainWindow::Resample1, &Tform1::resampleClicked},
        {ObjectName::MainWindow::Hintergrundfarbesetzen1, &Tform1::setBackgroundColorClicked},
        {ObjectName::MainWindow::Winkeleingeben1, &Tform1::enterAngleClicked},
        {ObjectName::MainWindow::SchwarzWeissKonvertierung2, &Tform1::blackWhiteClicked},
        {ObjectName::MainWindow::Farbenreduzieren1, &Tform1::reduceColorsDialogClicked},
        {ObjectName::MainWindow::Optionen2, &Tform1::optionsClicked},
        {ObjectName::MainWindow::Willkommen1, &Tform1::welcomeClicked},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), [this, h = handler] { (this->*h)(); });
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton1)),
               [this] { newImageClicked(); });
}
