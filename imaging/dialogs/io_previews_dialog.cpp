// The format parameter dialog's controls and captions.
#include "imaging/dialogs/io_previews_dialog.h"

#include "imaging/common/msg_tables.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QComboBox* NewList(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    for (const char* i : items)
        c->addItem(QString::fromLatin1(i));
    return c;
}

QLineEdit* NewEdit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QSpinBox* NewSpin(QWidget* parent, const char* name, int max)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(0, max);
    return s;
}

// The lock button's glyph: a padlock, its shackle closed or lifted open.
QIcon PadlockGlyph()
{
    QIcon icon;
    for (bool closed : {false, true}) {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QPen(Qt::black, 2));
        p.drawArc(QRect(4, closed ? 2 : 0, 8, 10), 0, 180 * 16);
        p.drawLine(12, closed ? 7 : 5, 12, 8);
        if (closed)
            p.drawLine(4, 7, 4, 8);
        p.fillRect(QRect(2, 8, 12, 7), closed ? QColor(160, 120, 0) : QColor(120, 120, 120));
        icon.addPixmap(pm, QIcon::Normal, closed ? QIcon::On : QIcon::Off);
    }
    return icon;
}

QCheckBox* NewCheck(QWidget* parent, const char* name)
{
    auto* c = new QCheckBox(parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

}  // namespace

TfIOPreviews::TfIOPreviews(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
{
    setObjectName(QStringLiteral("TfIOPreviews"));
    setModal(true);
    // The dialog's own writer and reader: no stream headers, progress to the bar.
    io_ = std::make_unique<TImageKitIO>();
    io_->StreamHeaders = false;
    io_->OnProgress = [this](TObject*, int percent) { ProgressHandler(percent); };

    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    ImageKit1 = new TImageKit(this);
    ImageKit1->setObjectName(QStringLiteral("ImageKit1"));
    ImageKit1->SetCenter(true);
    ImageKit1->SetMouseInteract(miZoom | miScroll);
    ImageKit1->SetAutoUndo(false);
    ImageKit1->setMinimumSize(191, 135);
    ImageKit2 = new TImageKit(this);
    ImageKit2->setObjectName(QStringLiteral("ImageKit2"));
    ImageKit2->SetCenter(true);
    ImageKit2->SetAutoUndo(false);
    ImageKit2->setMinimumSize(191, 135);
    // Zooming or scrolling the source shows the same part of the result.
    ImageKit1->OnViewChange = [this](TObject*, int) { syncResultView(); };
    Button6 = new QPushButton(QStringLiteral("<<"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setFixedWidth(28);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(10);

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(this);
    Button3->setObjectName(QStringLiteral("Button3"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setIcon(PadlockGlyph());
    SpeedButton1->setFixedSize(25, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, [this] { guarded([this] { DoPreview(ImageKit2); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(SpeedButton1, &QToolButton::toggled, this, [this](bool down) {
        Button3->setEnabled(!down);
        if (down && ready_)
            guarded([this] { DoPreview(ImageKit2); });
    });

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::South);
    pagesBuilt_ = {{buildJpeg(), iopgJPEG},       {buildTiff(), iopgTIFF},      {buildGif(), iopgGIF},
                   {buildBmpPcx(false), iopgBMP}, {buildBmpPcx(true), iopgPCX}, {buildPng(), iopgPNG}};
    const char* const tabs[] = {"JPEG", "TIFF", "GIF", "BMP", "PCX", "PNG"};
    for (size_t i = 0; i < pagesBuilt_.size(); ++i) {
        pagesBuilt_[i].widget->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(pagesBuilt_[i].widget, QLatin1String(tabs[i]));
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (activated_)
            guarded([this] { PageControl1Change(); });
    });

    auto* views = new QGridLayout;
    views->addWidget(Label1, 0, 0);
    views->addWidget(Label2, 0, 2);
    views->addWidget(ImageKit1, 1, 0);
    views->addWidget(Button6, 1, 1, Qt::AlignVCenter);
    views->addWidget(ImageKit2, 1, 2);
    views->addWidget(ProgressBar1, 2, 0, 1, 3);
    views->setRowStretch(1, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(views, 1);
    left->addWidget(PageControl1);
    auto* right = new QVBoxLayout;
    right->addWidget(Button1);
    right->addWidget(Button2);
    right->addSpacing(10);
    right->addWidget(Button3);
    right->addSpacing(10);
    right->addWidget(SpeedButton1);
    right->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(right);
    SetLanguage(msEnglish);
}

TfIOPreviews::~TfIOPreviews() = default;

// ---- building ------------------------------------------------------------------------

QLabel* TfIOPreviews::label(QWidget* parent, int row, bool colon)
{
    auto* l = new QLabel(parent);
    captions_.push_back({l, {row, colon}});
    return l;
}

void TfIOPreviews::sizeLabels(QWidget* page, QGridLayout* grid, int row)
{
    auto* original = new QLabel(QStringLiteral("---"), page);
    auto* compressed = new QLabel(QStringLiteral("---"), page);
    const int n = int(OriginalSizes.size()) + 1;
    original->setObjectName(QStringLiteral("OriginalSize%1").arg(n));
    compressed->setObjectName(QStringLiteral("CompressedSize%1").arg(n));
    grid->addWidget(label(page, LabelMsg::OriginalSize), row, 0);
    grid->addWidget(original, row, 1);
    grid->addWidget(label(page, LabelMsg::CompressedSize), row + 1, 0);
    grid->addWidget(compressed, row + 1, 1);
    OriginalSizes.push_back(original);
    CompressedSizes.push_back(compressed);
    auto* note = new QLabel(page);
    note->setObjectName(QStringLiteral("Note%1").arg(n));
    note->setWordWrap(true);
    grid->addWidget(note, row + 2, 0, 1, 3);
    Notes.push_back(note);
}

QPushButton* TfIOPreviews::colorPanel(QWidget* parent, const char* name)
{
    auto* p = new QPushButton(parent);
    p->setObjectName(QLatin1String(name));
    p->setFixedSize(41, 21);
    p->setFlat(true);
    p->setAutoFillBackground(true);
    connect(p, &QPushButton::clicked, this, [this, p] { PanelClick(p); });
    return p;
}

void TfIOPreviews::paintPanel(QPushButton* panel, TIORGB c)
{
    panel->setStyleSheet(QStringLiteral("QPushButton{background-color:rgb(%1,%2,%3);border:1px solid gray;}"
                                        "QPushButton:disabled{border:1px solid lightgray;}")
                             .arg(c.r)
                             .arg(c.g)
                             .arg(c.b));
}

QWidget* TfIOPreviews::buildJpeg()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    Edit22 = NewEdit(page, "Edit22");
    Edit22->setMaximumWidth(50);
    TrackBar13 = new QSlider(Qt::Horizontal, page);
    TrackBar13->setObjectName(QStringLiteral("TrackBar13"));
    TrackBar13->setRange(0, kQualityMax);
    TrackBar13->setTickInterval(5);
    TrackBar13->setTickPosition(QSlider::TicksBelow);
    ComboBox13 = NewList(page, "ComboBox13", {"RGB", "GrayScale", "YCbCr", "CMYK", "YCbCrK"});
    auto* box = new QGroupBox(page);
    boxes_.push_back({box, LabelMsg::Advanced});
    auto* bg = new QGridLayout(box);
    ComboBox1 = NewList(box, "ComboBox1", {"ISLOW", "IFAST", "FLOAT"});
    Edit23 = NewSpin(box, "Edit23", kSmoothingMax);
    CheckBox2 = NewCheck(box, "CheckBox2");
    CheckBox3 = NewCheck(box, "CheckBox3");
    bg->addWidget(label(box, LabelMsg::DctMethod), 0, 0);
    bg->addWidget(ComboBox1, 0, 1);
    bg->addWidget(label(box, LabelMsg::SmoothingFactor), 1, 0);
    bg->addWidget(Edit23, 1, 1);
    bg->addWidget(CheckBox2, 0, 2);
    bg->addWidget(CheckBox3, 1, 2);
    g->addWidget(label(page, LabelMsg::Quality), 0, 0);
    g->addWidget(Edit22, 0, 1);
    g->addWidget(TrackBar13, 0, 2);
    g->addWidget(label(page, LabelMsg::Photometric), 1, 0);
    g->addWidget(ComboBox13, 1, 1, 1, 2);
    g->addWidget(box, 2, 0, 1, 3);
    sizeLabels(page, g, 3);

    const auto edits = [this] { guarded([this] { JpegChange(true); }); };
    const auto lists = [this] { guarded([this] { JpegChange(false); }); };
    connect(Edit22, &QLineEdit::textChanged, this, edits);
    connect(Edit23, &QSpinBox::valueChanged, this, edits);
    connect(TrackBar13, &QSlider::valueChanged, this, lists);
    for (QComboBox* c : {ComboBox13, ComboBox1})
        connect(c, &QComboBox::currentIndexChanged, this, lists);
    for (QCheckBox* c : {CheckBox2, CheckBox3})
        connect(c, &QCheckBox::toggled, this, lists);
    return page;
}

QWidget* TfIOPreviews::buildTiff()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    ComboBox2 =
        NewList(page, "ComboBox2",
                {"UNCOMPRESSED", "CCITT1D", "G3FAX1D", "G3FAX2D", "G4FAX", "LZW", "OLDJPEG", "JPEG", "PACKBITS"});
    Edit1 = NewSpin(page, "Edit1", 1000);
    ComboBox3 = NewList(page, "ComboBox3",
                        {"WHITEISZERO", "BLACKISZERO", "RGB", "RGBPALETTE", "TRANSPMASK", "CMYK", "YCBCR", "CIELAB"});
    ComboBox4 = NewList(page, "ComboBox4", {"B/W", "16", "256", "65536", "16M"});
    g->addWidget(label(page, LabelMsg::Compression), 0, 0);
    g->addWidget(ComboBox2, 0, 1);
    g->addWidget(label(page, LabelMsg::ImageIndex), 1, 0);
    g->addWidget(Edit1, 1, 1);
    g->addWidget(label(page, LabelMsg::Photometric), 2, 0);
    g->addWidget(ComboBox3, 2, 1);
    g->addWidget(label(page, LabelMsg::Colors), 3, 0);
    g->addWidget(ComboBox4, 3, 1);
    auto* box = new QGroupBox(page);
    boxes_.push_back({box, LabelMsg::ScannedDocumentInfo});
    auto* bg = new QGridLayout(box);
    Edit4 = NewEdit(box, "Edit4");
    Edit5 = NewEdit(box, "Edit5");
    Edit6 = NewEdit(box, "Edit6");
    Edit7 = NewEdit(box, "Edit7");
    Edit8 = NewEdit(box, "Edit8");
    Edit2 = NewEdit(box, "Edit2");
    Edit3 = NewEdit(box, "Edit3");
    bg->addWidget(label(box, LabelMsg::Name), 0, 0);
    bg->addWidget(Edit4, 0, 1, 1, 3);
    bg->addWidget(label(box, LabelMsg::Description), 1, 0);
    bg->addWidget(Edit5, 1, 1, 1, 3);
    bg->addWidget(label(box, LabelMsg::PageName), 2, 0);
    bg->addWidget(Edit6, 2, 1, 1, 3);
    bg->addWidget(label(box, LabelMsg::PageNumber), 3, 0);
    bg->addWidget(Edit7, 3, 1);
    bg->addWidget(label(box, LabelMsg::Of, false), 3, 2);
    bg->addWidget(Edit8, 3, 3);
    bg->addWidget(label(box, LabelMsg::HorizPositionInch), 4, 0);
    bg->addWidget(Edit2, 4, 1);
    bg->addWidget(label(box, LabelMsg::VertPositionInch), 4, 2);
    bg->addWidget(Edit3, 4, 3);
    g->addWidget(box, 0, 2, 6, 1);
    sizeLabels(page, g, 4);

    const auto change = [this] { guarded([this] { TiffChange(); }); };
    for (QComboBox* c : {ComboBox2, ComboBox3, ComboBox4})
        connect(c, &QComboBox::currentIndexChanged, this, change);
    connect(Edit1, &QSpinBox::valueChanged, this, change);
    for (QLineEdit* e : {Edit4, Edit5, Edit6, Edit7, Edit8, Edit2, Edit3})
        connect(e, &QLineEdit::textChanged, this, change);
    return page;
}

QWidget* TfIOPreviews::buildGif()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    ComboBox5 = NewList(page, "ComboBox5", {"B/W", "4", "8", "16", "32", "64", "128", "256"});
    Edit9 = NewSpin(page, "Edit9", 1000);
    CheckBox4 = NewCheck(page, "CheckBox4");
    captions_.push_back({nullptr, {LabelMsg::Transparent, true}});
    TransparentColorLabel = label(page, LabelMsg::TransparentColor);
    Panel3 = colorPanel(page, "Panel3");
    g->addWidget(label(page, LabelMsg::Colors), 0, 0);
    g->addWidget(ComboBox5, 0, 1);
    g->addWidget(label(page, LabelMsg::ImageIndex), 1, 0);
    g->addWidget(Edit9, 1, 1);
    g->addWidget(CheckBox4, 2, 0);
    g->addWidget(TransparentColorLabel, 2, 1);
    g->addWidget(Panel3, 2, 2);
    auto* box = new QGroupBox(page);
    boxes_.push_back({box, LabelMsg::Advanced});
    auto* bg = new QGridLayout(box);
    CheckBox5 = NewCheck(box, "CheckBox5");
    captions_.push_back({nullptr, {LabelMsg::Interlaced, true}});
    Panel4 = colorPanel(box, "Panel4");
    Edit10 = NewEdit(box, "Edit10");
    Edit11 = NewEdit(box, "Edit11");
    Edit12 = NewEdit(box, "Edit12");
    bg->addWidget(CheckBox5, 0, 0);
    bg->addWidget(label(box, LabelMsg::Background), 0, 1);
    bg->addWidget(Panel4, 0, 2);
    bg->addWidget(label(box, LabelMsg::HorizPosition), 1, 0);
    bg->addWidget(Edit10, 1, 1);
    bg->addWidget(label(box, LabelMsg::VertPosition), 2, 0);
    bg->addWidget(Edit11, 2, 1);
    bg->addWidget(label(box, LabelMsg::DelayTime), 3, 0);
    bg->addWidget(Edit12, 3, 1);
    bg->addWidget(new QLabel(QStringLiteral("1/100 s"), box), 3, 2);
    g->addWidget(box, 0, 3, 5, 1);
    sizeLabels(page, g, 3);

    const auto change = [this] { guarded([this] { GifChange(); }); };
    connect(ComboBox5, &QComboBox::currentIndexChanged, this, change);
    connect(Edit9, &QSpinBox::valueChanged, this, change);
    for (QCheckBox* c : {CheckBox4, CheckBox5})
        connect(c, &QCheckBox::toggled, this, change);
    for (QLineEdit* e : {Edit10, Edit11, Edit12})
        connect(e, &QLineEdit::textChanged, this, change);
    return page;
}

QWidget* TfIOPreviews::buildBmpPcx(bool pcx)
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    QComboBox* compression = NewList(page, pcx ? "ComboBox8" : "ComboBox6", {"UNCOMPRESSED", "RLE"});
    QComboBox* colors = pcx ? NewList(page, "ComboBox9", {"B/W", "16", "256", "16M"})
                            : NewList(page, "ComboBox7", {"B/W", "16", "256", "65536", "16M", "16M (32bit)"});
    (pcx ? ComboBox8 : ComboBox6) = compression;
    (pcx ? ComboBox9 : ComboBox7) = colors;
    g->addWidget(label(page, LabelMsg::Compression), 0, 0);
    g->addWidget(compression, 0, 1);
    g->addWidget(label(page, LabelMsg::Colors), 1, 0);
    g->addWidget(colors, 1, 1);
    g->setColumnStretch(2, 1);
    sizeLabels(page, g, 2);
    for (QComboBox* c : {compression, colors})
        connect(c, &QComboBox::currentIndexChanged, this, [this, pcx] { guarded([this, pcx] { BmpPcxChange(pcx); }); });
    return page;
}

QWidget* TfIOPreviews::buildPng()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    ComboBox10 = NewList(page, "ComboBox10", {"B/W", "256", "16M"});
    Panel1 = colorPanel(page, "Panel1");
    g->addWidget(label(page, LabelMsg::Colors), 0, 0);
    g->addWidget(ComboBox10, 0, 1);
    g->addWidget(label(page, LabelMsg::Background), 1, 0);
    g->addWidget(Panel1, 1, 1);
    auto* box = new QGroupBox(page);
    boxes_.push_back({box, LabelMsg::Advanced});
    auto* bg = new QGridLayout(box);
    ComboBox11 = NewList(box, "ComboBox11", {"NONE", "SUB", "PAETH"});
    CheckBox6 = NewCheck(box, "CheckBox6");
    captions_.push_back({nullptr, {LabelMsg::Interlaced, false}});
    ComboBox12 = NewList(box, "ComboBox12", {"NONE", "1", "2", "3", "4", "5", "6", "7", "8", "MAX"});
    bg->addWidget(label(box, LabelMsg::Filter), 0, 0);
    bg->addWidget(ComboBox11, 0, 1);
    bg->addWidget(CheckBox6, 1, 0, 1, 2);
    bg->addWidget(label(box, LabelMsg::Compression), 2, 0);
    bg->addWidget(ComboBox12, 2, 1);
    g->addWidget(box, 0, 2, 4, 1);
    sizeLabels(page, g, 2);

    const auto change = [this] { guarded([this] { PngChange(); }); };
    for (QComboBox* c : {ComboBox10, ComboBox11, ComboBox12})
        connect(c, &QComboBox::currentIndexChanged, this, change);
    connect(CheckBox6, &QCheckBox::toggled, this, change);
    return page;
}

// ---- captions --------------------------------------------------------------------------

void TfIOPreviews::SetLanguage(TMsgLanguage language)
{
    language_ = language;
    const auto P = [language](int row) { return PreviewText(row, language); };
    const auto L = [language](int row) { return LabelText(row, language); };
    const QString colon = QStringLiteral(":");
    setWindowTitle(L(LabelMsg::ParametersPreview));
    Label1->setText(P(PreviewMsg::Source) + colon);
    Label2->setText(P(PreviewMsg::Result) + colon);
    Button1->setText(P(PreviewMsg::OK));
    Button2->setText(P(PreviewMsg::Cancel));
    Button3->setText(P(PreviewMsg::Preview));
    SpeedButton1->setToolTip(P(PreviewMsg::LockPreview));
    Button6->setToolTip(P(PreviewMsg::CopyResultToSource));
    // The check boxes' captions stand in the caption list as placeholders, in order.
    QCheckBox* const checks[] = {CheckBox4, CheckBox5, CheckBox6};
    int check = 0;
    for (const auto& [widget, spec] : captions_) {
        const QString text = L(spec.first) + (spec.second ? colon : QString());
        if (widget)
            static_cast<QLabel*>(widget)->setText(text);
        else
            checks[check++]->setText(text);
    }
    CheckBox2->setText(L(LabelMsg::OptimalHuffman));
    CheckBox3->setText(L(LabelMsg::Progressive));
    for (const auto& [box, row] : boxes_)
        box->setTitle(QStringLiteral(" ") + L(row) + QStringLiteral(" "));
    paletteCancel_ = QStringLiteral("&") + P(PreviewMsg::Cancel);
}
