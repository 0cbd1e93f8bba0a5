// The image window: layout, rulers and status line in step with the view, closing.
#include "app/image_window/image_window.h"

#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/number_format.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QStatusBar>

uint8_t ShapeKind = 0;

namespace {
constexpr int RulerThickness = 30;
}

Tchild::Tchild(Tform1* mainWindow, QWidget* parent) : QWidget(parent), main_(mainWindow)
{
    setObjectName(QLatin1String(ObjectName::ImageWindow::Form));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    ImageKit1 = new TImageKit(this);
    ImageKit1->setObjectName(QLatin1String(ObjectName::ImageWindow::ImageKit1));
    ImageKit1->SetScrollBars(ssBoth);
    RulerBox1 = new TRulerBox(this);
    RulerBox1->setObjectName(QLatin1String(ObjectName::ImageWindow::RulerBox1));
    RulerBox1->SetGripsDir(gdDown);
    RulerBox1->setFixedHeight(RulerThickness);
    RulerBox1->SetGripKind(0, 0);
    RulerBox1->SetGripColor(0, clRed);
    RulerBox2 = new TRulerBox(this);
    RulerBox2->setObjectName(QLatin1String(ObjectName::ImageWindow::RulerBox2));
    RulerBox2->SetRulerDir(rdVertical);
    RulerBox2->SetGripsDir(gdDown);
    RulerBox2->setFixedWidth(RulerThickness);
    RulerBox2->SetGripColor(0, clRed);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QLatin1String(ObjectName::ImageWindow::StatusBar1));
    StatusBar1->setSizeGripEnabled(false);
    grid->addWidget(ImageKit1, 0, 0);
    grid->addWidget(RulerBox2, 0, 1);
    grid->addWidget(RulerBox1, 1, 0, 1, 2);
    grid->addWidget(StatusBar1, 2, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);

    ImageKit1->OnViewChange = [this](TObject* s, int change) { viewChanged(s, change); };
    ImageKit1->SetOnProgress([this](TObject* s, int p) { ImageKit1Progress(s, p); });
    ImageKit1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        imageMouseDown(s, b, sh, x, y);
    };
    ImageKit1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { imageMouseMove(s, sh, x, y); };
    ImageKit1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        imageMouseUp(s, b, sh, x, y);
    };
    ImageKit1->OnImageChange = [this](TObject*) { refreshStatusSize(); };
    const bool rulers = main_->Item(QStringLiteral("Lineal1"))->isChecked();
    RulerBox1->setVisible(rulers);
    RulerBox2->setVisible(rulers);
    StatusBar1->setVisible(main_->Item(QStringLiteral("Statusleiste1"))->isChecked());
    FormCreate();
}

Tchild::~Tchild()
{
    // The view may call back while it is taken apart.
    ImageKit1->OnViewChange = nullptr;
    ImageKit1->OnMouseDown = nullptr;
    ImageKit1->OnMouseMove = nullptr;
    ImageKit1->OnMouseUp = nullptr;
    ImageKit1->OnImageChange = nullptr;
    ImageKit1->SetOnProgress(nullptr);
}

void Tchild::FormCreate()
{
    Modified = false;
    CloneSource = TPoint(-1, -1);
}

void Tchild::FormActivate()
{
    main_->checkbuttonsenabled(false);
    viewChanged(ImageKit1, -1);
    const bool rulers = main_->Item(QStringLiteral("Lineal1"))->isChecked();
    RulerBox1->setVisible(rulers);
    RulerBox2->setVisible(rulers);
    StatusBar1->setVisible(main_->Item(QStringLiteral("Statusleiste1"))->isChecked());
    ShapeDragging = false;
    BrushStroke = false;
}

void Tchild::viewChanged(QObject*, int)
{
    const int zoom = ImageKit1->Zoom();
    main_->zoombox->setEditText(QString::number(zoom) + QStringLiteral(" %"));
    const double R = main_->options.RulerResolution > 0 ? main_->options.RulerResolution : 600.0;
    const int unit = main_->options.RulerUnit;
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
    for (TRulerBox* r : {RulerBox1, RulerBox2}) {
        r->SetDotPerUnit(D);
        r->SetFrequency(freq);
        r->SetLabelFreq(label);
    }
    double vx = ImageKit1->ViewX() / D, vy = ImageKit1->ViewY() / D;
    if (unit == 0) {
        vx = Round(vx);
        vy = Round(vy);
    }
    RulerBox1->SetViewPos(vx);
    RulerBox2->SetViewPos(vy);
    refreshStatusSize();
}

void Tchild::ImageKit1Progress(QObject* sender, int percent)
{
    main_->onprogressany(sender, percent);
}

void Tchild::statusLine(int x, int y)
{
    const double R = main_->options.RulerResolution > 0 ? main_->options.RulerResolution : 600.0;
    const int unit = main_->options.RulerUnit;
    const double per = unit == 1 ? R : unit == 2 ? R * 2.54 : 1.0;
    RulerBox1->SetGripPos(0, x / per);
    RulerBox2->SetGripPos(0, y / per);
    LastX = RulerBox1->GetGripPos(0);
    LastY = RulerBox2->GetGripPos(0);
    const TBitmap* bmp = ImageKit1->Bitmap();
    statusPos_ = TPoint(x, y);
    statusWidth_ = bmp->Width();
    statusHeight_ = bmp->Height();
    QString text;
    if (unit == 0) {
        text = QString::number(bmp->Width()) + QStringLiteral(" x ") + QString::number(bmp->Height()) +
               QStringLiteral("    X:") + FloatToStrF(LastX, ffFixed, 15, 0) + QStringLiteral("  Y:") +
               FloatToStrF(LastY, ffFixed, 15, 0);
    } else {
        auto f4 = [](double v) { return FloatToStrF(v, ffFixed, 15, 4); };
        text = f4(bmp->Width() / per) + QStringLiteral(" x ") + f4(bmp->Height() / per) + QStringLiteral("    X:") +
               f4(LastX) + QStringLiteral("  Y:") + f4(LastY);
    }
    StatusBar1->showMessage(text);
}

void Tchild::refreshStatusSize()
{
    const TBitmap* bmp = ImageKit1->Bitmap();
    if (bmp->Width() != statusWidth_ || bmp->Height() != statusHeight_)
        statusLine(statusPos_.X, statusPos_.Y);
}

void Tchild::closeEvent(QCloseEvent* event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool Tchild::FormClose()
{
    if (Modified) {
        const int answer = AskToSaveChanges(windowTitle());
        if (answer != mrYes && answer != mrNo)
            return false;  // Cancel, or the box closed without an answer
        if (answer == mrYes) {
            // Save this window, whichever is active; a save that did not happen keeps it open.
            main_->ActivateChild(this);
            if (!main_->Speichern1Click() || Modified)
                return false;
        }
    }
    tautomatitem closing;
    closing.SetCode(cmdClose);
    main_->runautomatitem(this, closing);
    // This window still counts until it is gone.
    main_->checkbuttonsenabled(true);
    return true;
}
