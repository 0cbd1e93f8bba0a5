// The image window: layout, rulers and status line in step with the view, closing.
#include "app/image_window/image_window.h"

#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/util/cancellable_work.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/number_format.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"

#include <QCloseEvent>
#include <QPointer>
#include <QGridLayout>
#include <QStatusBar>

TShapeKind ShapeKind = skLine;

namespace {
constexpr int RulerThickness = 30;
}

Tchild::Tchild(TImageWindowHost* mainWindow, QWidget* parent) : QWidget(parent), main_(mainWindow)
{
    setObjectName(QLatin1String(ObjectName::ImageWindow::Form));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    imageKit = new TImageKit(this);
    imageKit->setObjectName(QLatin1String(ObjectName::ImageWindow::ImageKit1));
    imageKit->SetScrollBars(ssBoth);
    document_ = std::make_unique<TImageDocument>(*imageKit);
    document_->OnModifiedChanged = [this] {
        setWindowModified(document_->Modified());
        if (main_)
            main_->UpdateAvailability(false);
    };
    horizontalRuler = new TRulerBox(this);
    horizontalRuler->setObjectName(QLatin1String(ObjectName::ImageWindow::RulerBox1));
    horizontalRuler->SetGripsDir(gdDown);
    horizontalRuler->setFixedHeight(RulerThickness);
    horizontalRuler->SetGripKind(0, 0);
    horizontalRuler->SetGripColor(0, clRed);
    verticalRuler = new TRulerBox(this);
    verticalRuler->setObjectName(QLatin1String(ObjectName::ImageWindow::RulerBox2));
    verticalRuler->SetRulerDir(rdVertical);
    verticalRuler->SetGripsDir(gdDown);
    verticalRuler->setFixedWidth(RulerThickness);
    verticalRuler->SetGripColor(0, clRed);
    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QLatin1String(ObjectName::ImageWindow::StatusBar1));
    statusBar->setSizeGripEnabled(false);
    grid->addWidget(imageKit, 0, 0);
    grid->addWidget(verticalRuler, 0, 1);
    grid->addWidget(horizontalRuler, 1, 0, 1, 2);
    grid->addWidget(statusBar, 2, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);

    imageKit->OnViewChange = [this](TObject* s, int change) { viewChanged(s, change); };
    imageKit->SetOnProgress([this](TObject* s, int p) { ImageKit1Progress(s, p); });
    imageKit->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        imageMouseDown(s, b, sh, x, y);
    };
    imageKit->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { imageMouseMove(s, sh, x, y); };
    imageKit->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        imageMouseUp(s, b, sh, x, y);
    };
    imageKit->OnImageChange = [this](TObject*) { imageChanged(); };
    const bool rulers = main_->RulersShown();
    horizontalRuler->setVisible(rulers);
    verticalRuler->setVisible(rulers);
    statusBar->setVisible(main_->StatusLineShown());
    FormCreate();
}

Tchild::~Tchild()
{
    // The view may call back while it is taken apart.
    document_->OnModifiedChanged = nullptr;
    imageKit->OnViewChange = nullptr;
    imageKit->OnMouseDown = nullptr;
    imageKit->OnMouseMove = nullptr;
    imageKit->OnMouseUp = nullptr;
    imageKit->OnImageChange = nullptr;
    imageKit->SetOnProgress(nullptr);
}

void Tchild::FormCreate()
{
    SetModified(false);
    CloneSource = TPoint(-1, -1);
}

void Tchild::FormActivate()
{
    main_->UpdateAvailability(false);
    viewChanged(imageKit, -1);
    const bool rulers = main_->RulersShown();
    horizontalRuler->setVisible(rulers);
    verticalRuler->setVisible(rulers);
    statusBar->setVisible(main_->StatusLineShown());
    ShapeDragging = false;
    BrushStroke = false;
}

void Tchild::viewChanged(QObject*, int)
{
    const int zoom = imageKit->Zoom();
    main_->ShowZoomText(QString::number(zoom) + QStringLiteral(" %"));
    const double R = main_->Options().RulerResolution > 0 ? main_->Options().RulerResolution : 600.0;
    const int unit = main_->Options().RulerUnit;
    double D = zoom / 100.0;
    if (unit == 1)
        D = zoom * R / 100.0;
    else if (unit == 2)
        D = zoom * R * 2.54 / 100.0;
    double t;
    if (unit == 0)
        t = (Round(10.0 / D) / 5) * 5;
    else
        t = ((Round64(10.0 / D * 10000) / 5) * 5) / 10000.0;
    double freq = t, label = 10 * t;
    if (!(t > 0)) {
        freq = 1;
        label = 10;
    }
    for (TRulerBox* r : {horizontalRuler, verticalRuler}) {
        r->SetDotPerUnit(D);
        r->SetFrequency(freq);
        r->SetLabelFreq(label);
    }
    double vx = imageKit->ViewX() / D, vy = imageKit->ViewY() / D;
    if (unit == 0) {
        vx = Round(vx);
        vy = Round(vy);
    }
    horizontalRuler->SetViewPos(vx);
    verticalRuler->SetViewPos(vy);
    refreshStatusSize();
}

void Tchild::ImageKit1Progress(QObject* sender, int percent) { main_->ShowProgress(sender, percent); }

double Tchild::pixelsPerUnit() const
{
    const double R = main_->Options().RulerResolution > 0 ? main_->Options().RulerResolution : 600.0;
    const int unit = main_->Options().RulerUnit;
    return unit == 1 ? R : unit == 2 ? R * 2.54 : 1.0;
}

QString Tchild::statusText(double x, double y) const
{
    const TBitmap* bmp = imageKit->Bitmap();
    if (main_->Options().RulerUnit == 0)
        return QString::number(bmp->Width()) + QStringLiteral(" x ") + QString::number(bmp->Height()) +
               QStringLiteral("    X:") + FloatToStrF(x, ffFixed, 15, 0) + QStringLiteral("  Y:") +
               FloatToStrF(y, ffFixed, 15, 0);
    const double per = pixelsPerUnit();
    auto f4 = [](double v) { return FloatToStrF(v, ffFixed, 15, 4); };
    return f4(bmp->Width() / per) + QStringLiteral(" x ") + f4(bmp->Height() / per) + QStringLiteral("    X:") + f4(x) +
           QStringLiteral("  Y:") + f4(y);
}

int Tchild::StatusLineWidth() const
{
    if (!statusBar->isVisibleTo(const_cast<Tchild*>(this)))
        return 0;
    // The longest line the pointer gives: at the far corner. The status bar keeps a
    // margin of 6 pixels before its message and 12 after it.
    const TBitmap* bmp = imageKit->Bitmap();
    const double per = pixelsPerUnit();
    return statusBar->fontMetrics().horizontalAdvance(statusText(bmp->Width() / per, bmp->Height() / per)) + 18 + 4;
}

void Tchild::statusLine(int x, int y)
{
    const double per = pixelsPerUnit();
    horizontalRuler->SetGripPos(0, x / per);
    verticalRuler->SetGripPos(0, y / per);
    LastX = horizontalRuler->GetGripPos(0);
    LastY = verticalRuler->GetGripPos(0);
    const TBitmap* bmp = imageKit->Bitmap();
    statusPos_ = TPoint(x, y);
    statusWidth_ = bmp->Width();
    statusHeight_ = bmp->Height();
    statusBar->showMessage(statusText(LastX, LastY));
}

void Tchild::imageChanged()
{
    refreshStatusSize();
    // A new size (crop, resample, rotation, paste, undo, a batch step) takes the window,
    // its scroll range and the rulers with it. The first image a window gets is sized
    // by whoever gave it (open, new, duplicate).
    const TBitmap* bmp = imageKit->Bitmap();
    const QSize now(bmp->Width(), bmp->Height());
    if (now == imageSize_)
        return;
    const bool had = !imageSize_.isEmpty();
    imageSize_ = now;
    if (had && !now.isEmpty())
        main_->FitWindowToImageTwice(imageKit, this);
}

void Tchild::LaidOutForImage()
{
    const TBitmap* bmp = imageKit->Bitmap();
    imageSize_ = QSize(bmp->Width(), bmp->Height());
}

void Tchild::refreshStatusSize()
{
    const TBitmap* bmp = imageKit->Bitmap();
    if (bmp->Width() != statusWidth_ || bmp->Height() != statusHeight_)
        statusLine(statusPos_.X, statusPos_.Y);
}

void Tchild::closeEvent(QCloseEvent* event)
{
    // Long work may be using this window: its work on it stops, and the window closes
    // (asking as usual) once the work has ended.
    QPointer<Tchild> self(this);
    if (HoldCloseWhileWorkRuns(this, [self] {
            if (!self)
                return;
            if (QWidget* frame = self->parentWidget(); frame && frame->inherits("QMdiSubWindow"))
                frame->close();
            else
                self->close();
        })) {
        TCancellableWork::CancelWorkOn(this);
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool Tchild::FormClose()
{
    if (Modified()) {
        const int answer = AskToSaveChanges(windowTitle());
        if (answer != mrYes && answer != mrNo)
            return false;  // Cancel, or the box closed without an answer
        if (answer == mrYes) {
            // Only a save that really happened lets the window go; cancelled, refused or
            // failed, it stays open and modified.
            main_->ActivateChild(this);
            if (main_->SaveImage(this) != TSaveOutcome::Saved || Modified())
                return false;
        }
    }
    main_->RecordClose(this);
    // This window still counts until it is gone.
    main_->UpdateAvailability(true);
    return true;
}
