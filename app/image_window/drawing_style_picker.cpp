// The drawing-style picker: its sample pictures and the pages that hold them.
#include "app/image_window/drawing_style_picker.h"

#include "app/image_window/brush_dab.h"
#include "app/options/options.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/image_control.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

void blank(TBitmap& b, int w, int h)
{
    b.SetSize(w, h);
    TCanvas& c = *b.Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, w, h));
}

}  // namespace

Tzeichenform::Tzeichenform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QLatin1String(ObjectName::DrawingStylePicker::Form));
    setWindowTitle(QStringLiteral(" "));
    const TPenStyle styles[6] = {psSolid, psDash, psDot, psDashDotDot, psDashDot, psClear};
    for (int i = 0; i < 6; ++i) {
        blank(lines_[size_t(i)], 36, 8);
        TCanvas& c = *lines_[size_t(i)].Canvas();
        c.Brush.Style = bsClear;
        c.Pen.Style = styles[i];
        c.Pen.Color = clBlack;
        c.MoveTo(0, 4);
        c.LineTo(36, 4);
    }
    // Brush sizes drawn three pixels a dot so the small dabs can be told apart.
    for (int s = 0; s < 5; ++s) {
        blank(brushes_[size_t(s)], 15, 15);
        TCanvas& c = *brushes_[size_t(s)].Canvas();
        c.Brush.Color = clBlack;
        for (int i = 0; i < BrushDabCounts[s]; ++i) {
            const int x = 6 + BrushDabOffsets[i][0] * 3, y = 6 + BrushDabOffsets[i][1] * 3;
            c.FillRect(TRect(x, y, x + 3, y + 3));
        }
    }
    const TBrushStyle fills[8] = {bsSolid,     bsClear,     bsHorizontal, bsVertical,
                                  bsFDiagonal, bsBDiagonal, bsCross,      bsDiagCross};
    for (int i = 0; i < 8; ++i) {
        blank(fills_[size_t(i)], 16, 16);
        TCanvas& c = *fills_[size_t(i)].Canvas();
        c.Brush.Style = fills[i];
        c.Brush.Color = clBlack;
        c.Pen.Style = psClear;
        c.Rectangle(0, 0, 17, 17);
    }
    buildPages();
}

Tzeichenform::~Tzeichenform() = default;

const TBitmap& Tzeichenform::LineStyleSample(int style) const
{
    return lines_[size_t(style >= 0 && style < 6 ? style : 0)];
}

const TBitmap& Tzeichenform::BrushSample(int size) const { return brushes_[size_t(size >= 0 && size < 5 ? size : 0)]; }

const TBitmap& Tzeichenform::FillSample(int style) const { return fills_[size_t(style >= 0 && style < 8 ? style : 0)]; }

namespace {

TImage* picture(QWidget* parent, const QString& name, const TBitmap& sample, int w, int h)
{
    auto* img = new TImage(parent);
    img->setObjectName(name);
    img->setFixedSize(w, h);
    TBitmap* bmp = img->PictureBitmap();
    bmp->SetSize(w, h);
    TCanvas* c = bmp->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = clWhite;
    c->FillRect(TRect(0, 0, w, h));
    if (!sample.Empty())
        c->StretchDraw(TRect(0, 0, w, h), sample);
    bmp->Changed();
    return img;
}

QFrame* page(QWidget* parent, const char* name, const char* labelName, const char* caption, QLayout* content)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    auto* v = new QVBoxLayout(panel);
    auto* label = new QLabel(QString::fromUtf8(caption), panel);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setWordWrap(true);
    v->addWidget(label);
    v->addLayout(content);
    return panel;
}

}  // namespace

void Tzeichenform::buildPages()
{
    auto* lines = new QVBoxLayout;
    for (int i = 0; i < 6; ++i) {
        LineImages[size_t(i)] = picture(this, QStringLiteral("Image%1").arg(10 + i), lines_[size_t(i)], 108, 16);
        LineImages[size_t(i)]->OnClick = [this, i](TObject*) { lineStyleClicked(i); };
        lines->addWidget(LineImages[size_t(i)]);
    }
    linePanel = page(this, ObjectName::DrawingStylePicker::Panel2, ObjectName::DrawingStylePicker::Label2,
                     "Wählen Sie die gewünschte Linienart aus:", lines);

    auto* fills = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        FillImages[size_t(i)] = picture(this, QStringLiteral("Image%1").arg(1 + i), fills_[size_t(i)], 32, 32);
        FillImages[size_t(i)]->OnClick = [this, i](TObject*) { fillStyleClicked(i); };
        fills->addWidget(FillImages[size_t(i)], i / 4, i % 4);
    }
    FillImages[8] = new TImage(this);
    FillImages[8]->setObjectName(QLatin1String(ObjectName::DrawingStylePicker::Image9));
    FillImages[8]->setFixedSize(32, 32);
    FillImages[8]->OnClick = [this](TObject*) { fillStyleClicked(8); };
    openBitmapButton = new QToolButton(this);
    openBitmapButton->setObjectName(QLatin1String(ObjectName::DrawingStylePicker::OpenBtn));
    openBitmapButton->setToolTip(QStringLiteral("Öffnen"));
    openBitmapButton->setText(QStringLiteral("..."));
    connect(openBitmapButton, &QToolButton::clicked, this,
            [this] { TApplication::Guard([this] { openBitmapClicked(); }); });
    auto* user = new QHBoxLayout;
    user->addWidget(FillImages[8]);
    auto* userLabel = new QLabel(QStringLiteral("Selbstdefiniertes Bitmap (8 x 8)"), this);
    userLabel->setObjectName(QLatin1String(ObjectName::DrawingStylePicker::Label1));
    user->addWidget(userLabel, 1);
    user->addWidget(openBitmapButton);
    fills->addLayout(user, 2, 0, 1, 4);
    fillPanel =
        page(this, ObjectName::DrawingStylePicker::Panel1, ObjectName::DrawingStylePicker::Label3,
             "Wählen Sie die gewünschte Füllart aus, oder definieren Sie selber die Füllart durch ein Bitmap:", fills);

    auto* brushes = new QHBoxLayout;
    const int numbers[5] = {16, 17, 18, 20, 19};
    for (int s = 0; s < 5; ++s) {
        BrushImages[size_t(s)] = picture(this, QStringLiteral("Image%1").arg(numbers[s]), brushes_[size_t(s)], 30, 30);
        BrushImages[size_t(s)]->OnClick = [this, s](TObject*) { brushSizeClicked(s); };
        brushes->addWidget(BrushImages[size_t(s)]);
    }
    brushPanel = page(this, ObjectName::DrawingStylePicker::Panel3, ObjectName::DrawingStylePicker::Label4,
                      "Wählen Sie die Pinselart", brushes);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(linePanel);
    layout->addWidget(fillPanel);
    layout->addWidget(brushPanel);
    openDialog_ = new TOpenDialog(this);
    openDialog_->Filter = QStringLiteral("Windows Bitmap (BMP)|*.bmp");
}

void Tzeichenform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void Tzeichenform::FormActivate()
{
    linePanel->setVisible(PageNumber == LinePage);
    fillPanel->setVisible(PageNumber == FillPage);
    brushPanel->setVisible(PageNumber == BrushPage);
}

void Tzeichenform::lineStyleClicked(int style)
{
    if (Options)
        Options->linestyle = style;
    accept();
}

void Tzeichenform::fillStyleClicked(int style)
{
    // The user bitmap counts only once there is one.
    if (style == 8 && FillImages[8]->PictureBitmap()->Empty())
        return;
    if (Options)
        Options->fillstyle = style;
    accept();
}

void Tzeichenform::brushSizeClicked(int size)
{
    if (Options)
        Options->brushsize = size;
    accept();
}

bool Tzeichenform::LoadUserBitmap(const QString& fileName, QString* error)
{
    TBitmap loaded;
    try {
        TImageKitIO io;
        io.SetAttachedBitmap(&loaded);
        io.LoadFromFile(fileName);
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    if (loaded.Empty()) {
        if (error)
            *error = fileName;
        return false;
    }
    TImage* img = FillImages[8];
    img->PictureBitmap()->Assign(loaded);
    img->PictureBitmap()->Changed();
    img->setFixedSize(std::clamp(loaded.Width(), 8, 64), std::clamp(loaded.Height(), 8, 64));
    return true;
}

void Tzeichenform::openBitmapClicked()
{
    openDialog_->Title = TranslatedCaption(QStringLiteral("8 x 8 Bitmap laden"));
    if (!openDialog_->Execute())
        return;
    QString why;
    if (!LoadUserBitmap(openDialog_->FileName, &why)) {
        MessageDlg(why, mtError, mbOK, 0);
        return;
    }
    if (Options && !openDialog_->Files.isEmpty())
        Options->fillpattern = openDialog_->Files.first();
    else if (Options)
        Options->fillpattern = openDialog_->FileName;
}
