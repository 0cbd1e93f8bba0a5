// The effects dialog: its pages built, its previews and the effect run on them.
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/dialogs/file_filters.h"

#include "imaging/boxes/histogram_box.h"
#include "imaging/boxes/hsv_box.h"
#include "imaging/common/msg_tables.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/color_space.h"
#include "imaging/proc/distort.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

namespace {

// Room beside the rulers' ends, so that a grip and its value at 0 or 255 show whole.
constexpr int RulerMargin = 12;
constexpr TColor RulerGripGray = 0x808080;

QSpinBox* NewSpin(QWidget* parent, int lo, int hi, int step = 1)
{
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    return s;
}

}  // namespace

TfPreviews::TfPreviews(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TFPREVIEWS"));
    setModal(true);
    ImageKit1 = new TImageKit(this);
    ImageKit1->setObjectName(QStringLiteral("ImageKit1"));
    ImageKit1->SetCenter(true);
    ImageKit1->SetMouseInteract(miZoom | miScroll);
    ImageKit1->SetAutoUndo(false);
    ImageKit1->setMinimumSize(260, 220);
    ImageKit2 = new TImageKit(this);
    ImageKit2->setObjectName(QStringLiteral("ImageKit2"));
    ImageKit2->SetCenter(true);
    ImageKit2->SetAutoUndo(false);
    ImageKit2->setMinimumSize(260, 220);
    ImageKitProc1 = new TImageKitProc(this);
    ImageKitProc1->SetAttachedImageKit(ImageKit1);
    ImageKitProc1->SetAutoUndo(false);
    // Zooming or scrolling the source shows another part: the result follows.
    ImageKit1->OnViewChange = [this](TObject*, int) { RefreshResult(); };
    ImageKit2->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
        if (b == mbLeft)
            ImageKit2MouseUp(x, y);
    };
    ImageKit2->OnMouseUp = ImageKit2->OnMouseDown;

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setText(QStringLiteral("\u25CE"));
    Button3 = new QPushButton(this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button6 = new QPushButton(QStringLiteral("<<"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(SpeedButton1, &QToolButton::toggled, this, [this](bool down) {
        Button3->setEnabled(!down);
        if (down)
            Preview();
    });
    connect(Button3, &QPushButton::clicked, this, [this] { Preview(); });
    connect(Button6, &QPushButton::clicked, this, [this] { AccumulateResult(); });
    connect(Button1, &QPushButton::clicked, this, &TfPreviews::accept);
    connect(Button2, &QPushButton::clicked, this, &TfPreviews::reject);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::South);
    buildPages();
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (activated_)
            PageControl1Change();
    });

    auto* views = new QHBoxLayout;
    views->addWidget(ImageKit1, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(Button6);
    middle->addWidget(SpeedButton1);
    middle->addStretch();
    views->addLayout(middle);
    views->addWidget(ImageKit2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(views, 1);
    all->addWidget(PageControl1);
    all->addLayout(buttons);
    Translate(msEnglish);
}

TfPreviews::~TfPreviews() = default;

void TfPreviews::SetProgress(TObject* sender, const TProgressEvent& event)
{
    sender_ = sender;
    progress_ = event;
}

void TfPreviews::SetFont(const QFont& font) { setFont(font); }

// ---- building ------------------------------------------------------------------------

QWidget* TfPreviews::buildTracks(int bit, const std::vector<int>& ranges, QSlider** bars, QLineEdit** edits,
                                 std::vector<QLabel*>& labels)
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (size_t i = 0; i < ranges.size(); ++i) {
        auto* label = new QLabel(page);
        auto* bar = new QSlider(Qt::Horizontal, page);
        bar->setRange(-ranges[i], ranges[i]);
        auto* edit = new QLineEdit(QStringLiteral("0"), page);
        edit->setMaximumWidth(70);
        grid->addWidget(label, int(i), 0);
        grid->addWidget(bar, int(i), 1);
        grid->addWidget(edit, int(i), 2);
        bars[i] = bar;
        edits[i] = edit;
        labels.push_back(label);
        connect(bar, &QSlider::valueChanged, this, [this, bit] {
            if (updating_)
                return;
            readTracks(bit);
            changed();
        });
        connect(edit, &QLineEdit::textEdited, this, [this, bars, edits, n = ranges.size()] {
            if (updating_)
                return;
            for (size_t k = 0; k < n; ++k) {
                bool ok = false;
                const int v = edits[k]->text().toInt(&ok);
                if ((ok ? v : 0) != bars[k]->value())
                    bars[k]->setValue(ok ? v : 0);
            }
        });
    }
    return page;
}

void TfPreviews::buildPages()
{
    std::vector<QLabel*> contrastLabels, hsvLabels, hslLabels, rgbLabels;
    // Contrast, HSV, HSL, RGB: track bars with edits.
    pages_.push_back(
        {buildTracks(ppContrast, {100, 100}, ContrastBars.data(), ContrastEdits.data(), contrastLabels), ppContrast});
    QWidget* hsv = buildTracks(ppHSV, {180, 100, 100}, HSVBars.data(), HSVEdits.data(), hsvLabels);
    BaseColor = new THSVBox(hsv);
    BaseColor->setObjectName(QStringLiteral("BaseColor"));
    NewColor = new THSVBox(hsv);
    NewColor->setObjectName(QStringLiteral("NewColor"));
    BaseColor->OnChange = NewColor->OnChange = [this](TObject*) { colorBoxChanged(); };
    // The boxes have no size of their own to offer a layout: they keep their 105 × 105.
    BaseColor->setFixedSize(105, 105);
    NewColor->setFixedSize(105, 105);
    auto* boxes = new QGridLayout;
    auto* baseLabel = new QLabel(hsv);
    auto* newLabel = new QLabel(hsv);
    boxes->addWidget(baseLabel, 0, 0);
    boxes->addWidget(BaseColor, 1, 0);
    boxes->addWidget(newLabel, 0, 1);
    boxes->addWidget(NewColor, 1, 1);
    boxes->setRowStretch(2, 1);
    static_cast<QGridLayout*>(hsv->layout())->addLayout(boxes, 0, 3, 3, 1);
    hsvLabels.push_back(baseLabel);
    hsvLabels.push_back(newLabel);
    pages_.push_back({hsv, ppHSV});
    pages_.push_back({buildTracks(ppHSL, {180, 100, 100}, HSLBars.data(), HSLEdits.data(), hslLabels), ppHSL});
    pages_.push_back({buildTracks(ppRGB, {255, 255, 255}, RGBBars.data(), RGBEdits.data(), rgbLabels), ppRGB});
    labels_ = contrastLabels;
    for (auto* v : {&hsvLabels, &hslLabels, &rgbLabels})
        labels_.insert(labels_.end(), v->begin(), v->end());

    // User filter.
    auto* filter = new QWidget;
    auto* fg = new QGridLayout(filter);
    auto* values = new QGroupBox(filter);
    values->setObjectName(QStringLiteral("FilterValues"));
    auto* vg = new QGridLayout(values);
    for (int k = 0; k < 9; ++k) {
        WeightEdits[k] = NewSpin(values, INT_MIN, INT_MAX);
        WeightEdits[k]->setMinimumWidth(60);
        vg->addWidget(WeightEdits[k], k / 3, k % 3);
        connect(WeightEdits[k], &QSpinBox::valueChanged, this, [this, k](int v) {
            if (updating_)
                return;
            Filter.Weights[k] = v;
            changed();
        });
    }
    DivisorEdit = NewSpin(values, INT_MIN, INT_MAX);
    auto* divisorLabel = new QLabel(values);
    vg->addWidget(divisorLabel, 3, 0);
    vg->addWidget(DivisorEdit, 3, 1, 1, 2);
    connect(DivisorEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (updating_)
            return;
        Filter.Divisor = v;
        changed();
    });
    PresetList = new QComboBox(filter);
    PresetList->setObjectName(QStringLiteral("PresetList"));
    for (const auto& p : UserFilterPresets)
        PresetList->addItem(QString::fromLatin1(p.Name));
    connect(PresetList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (updating_ || i < 0)
            return;
        Filter = UserFilterPresets[size_t(i)].Filter;
        ShowFilter();
        changed();
    });
    LoadButton = new QPushButton(filter);
    SaveButton = new QPushButton(filter);
    const auto ask = [this](bool save) {
        if (AskFilterFile)
            return AskFilterFile(save);
        const QString filterText = QStringLiteral("Filter (*.flt)");
        return save ? QFileDialog::getSaveFileName(this, QStringLiteral("Save filter"), {}, filterText)
                    : QFileDialog::getOpenFileName(this, QStringLiteral("Load filter"), {}, filterText);
    };
    connect(LoadButton, &QPushButton::clicked, this, [this, ask] {
        const QString name = ask(false);
        if (name.isEmpty())
            return;
        // A bad file is reported as the default handler would, and changes nothing;
        // the exception must not unwind through the signal's frames.
        try {
            LoadFilterFromFile(name, Filter);
        } catch (const Exception& e) {
            ShowErrorBox(e.Message(), windowTitle());
            return;
        }
        ShowFilter();
        changed();
    });
    connect(SaveButton, &QPushButton::clicked, this, [this, ask] {
        QString name = ask(true);
        if (name.isEmpty())
            return;
        // Only the file's own name decides: folders such as ~/.config have dots too.
        if (!HasExtension(name))
            name += QStringLiteral(".flt");
        SaveFilterToFile(name, Filter);
    });
    auto* presetsLabel = new QLabel(filter);
    fg->addWidget(values, 0, 0, 3, 1);
    fg->addWidget(presetsLabel, 0, 1);
    fg->addWidget(PresetList, 1, 1);
    auto* lsv = new QHBoxLayout;
    lsv->addWidget(LoadButton);
    lsv->addWidget(SaveButton);
    fg->addLayout(lsv, 2, 1);
    labels_.push_back(divisorLabel);
    labels_.push_back(presetsLabel);
    pages_.push_back({filter, ppUserFilter});

    // Equalization: the histogram, and under its bar area the threshold and levels
    // rulers with two grey grips each and the grips' values under them. The three are
    // placed by hand so that a grip stands exactly under the bar of its value.
    auto* eq = new QWidget;
    auto* eg = new QGridLayout(eq);
    eg->setVerticalSpacing(0);
    auto* histogramFrame = new QWidget(eq);
    histogramFrame->setFixedSize(256 + 2 * RulerMargin, 105);
    HistogramBox1 = new THistogramBox(histogramFrame);
    HistogramBox1->setObjectName(QStringLiteral("HistogramBox1"));
    HistogramBox1->setGeometry(RulerMargin, 0, 256, 105);
    HistogramBox1->SetAttachedImageKitProc(ImageKitProc1);
    const auto ruler = [&](TRulerBox*& r, bool threshold) {
        auto* block = new QWidget(eq);
        r = new TRulerBox(block);
        r->setObjectName(threshold ? QStringLiteral("ThresholdRuler") : QStringLiteral("LevelsRuler"));
        r->SetFrequency(16);
        r->SetLabelFreq(64);
        r->SetGripsCount(2);
        for (int g = 0; g < 2; ++g) {
            r->SetGripColor(g, RulerGripGray);
            r->SetGripPos(g, g ? 255 : 0);
            auto* label = new QLabel(g ? QStringLiteral("255") : QStringLiteral("0"), block);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            RulerLabels[size_t((threshold ? 0 : 2) + g)] = label;
        }
        r->setGeometry(0, 0, 256 + 2 * RulerMargin, r->BandHeight() + 16);
        block->setFixedSize(256 + 2 * RulerMargin, r->height() + block->fontMetrics().height() + 4);
        r->OnRulerPosChange = [this, threshold](TObject*, int grip) {
            if (!updating_)
                rulerMoved(threshold, grip);
        };
        return block;
    };
    auto* thresholdLabel = new QLabel(eq);
    auto* levelsLabel = new QLabel(eq);
    eg->addWidget(histogramFrame, 0, 1);
    eg->addWidget(thresholdLabel, 1, 0);
    eg->addWidget(ruler(ThresholdRuler, true), 1, 1);
    eg->addWidget(levelsLabel, 2, 0);
    eg->addWidget(ruler(LevelsRuler, false), 2, 1);
    alignRulers();
    ChannelList = new QListWidget(eq);
    ChannelList->setObjectName(QStringLiteral("ChannelList"));
    for (int i = 0; i < 4; ++i) {
        auto* item = new QListWidgetItem(ChannelList);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(i == 3 ? Qt::Checked : Qt::Unchecked);
    }
    ChannelList->setMaximumWidth(110);
    connect(ChannelList, &QListWidget::itemChanged, this, [this] {
        if (updating_)
            return;
        THistogramKind kind = 0;
        const unsigned kinds[] = {hkRed, hkGreen, hkBlue, hkGray};
        for (int i = 0; i < 4; ++i)
            if (ChannelList->item(i)->checkState() == Qt::Checked)
                kind |= kinds[i];
        HistogramBox1->SetHistogramKind(kind);
        alignRulers();
    });
    EqualizeButton = new QPushButton(eq);
    EqualizeButton->setCheckable(true);
    connect(EqualizeButton, &QPushButton::toggled, this, [this](bool on) {
        if (updating_)
            return;
        Equalize = on;
        changed();
    });
    eg->addWidget(ChannelList, 0, 2, 3, 1);
    eg->addWidget(EqualizeButton, 3, 1, Qt::AlignLeft);
    eg->setRowStretch(4, 1);
    eg->setColumnStretch(3, 1);
    labels_.push_back(thresholdLabel);
    labels_.push_back(levelsLabel);
    pages_.push_back({eq, ppEqualization});

    // Bump map and lens: position and size edits; wave: its three numbers.
    const auto spins = [&](QWidget* page, QGridLayout* g, QSpinBox** out, int n, int lo, int hi, int firstRow = 0) {
        for (int i = 0; i < n; ++i) {
            out[i] = NewSpin(page, lo, hi);
            auto* label = new QLabel(page);
            labels_.push_back(label);
            g->addWidget(label, firstRow + i, 0);
            g->addWidget(out[i], firstRow + i, 1);
            connect(out[i], &QSpinBox::valueChanged, this, [this] {
                if (updating_)
                    return;
                readTracks(ActivePage());
                changed();
            });
        }
    };
    auto* bump = new QWidget;
    auto* bg = new QGridLayout(bump);
    spins(bump, bg, BumpEdits.data(), 4, 0, 32767);
    BumpColor = new THSVBox(bump);
    BumpColor->setObjectName(QStringLiteral("BumpColor"));
    BumpColor->setFixedSize(105, 105);
    BumpColor->OnChange = [this](TObject*) {
        if (updating_)
            return;
        BumpLight = BumpColor->Color();
        changed();
    };
    BumpPercent = NewSpin(bump, 0, 100, 10);
    connect(BumpPercent, &QSpinBox::valueChanged, this, [this](int v) {
        if (updating_)
            return;
        BumpPercentValue = v;
        changed();
    });
    auto* colorLabel = new QLabel(bump);
    auto* percentLabel = new QLabel(bump);
    bg->addWidget(colorLabel, 0, 2);
    bg->addWidget(BumpColor, 1, 2, 3, 1);
    bg->addWidget(percentLabel, 0, 3);
    bg->addWidget(BumpPercent, 1, 3);
    labels_.push_back(colorLabel);
    labels_.push_back(percentLabel);
    pages_.push_back({bump, ppBumpMap});
    auto* lens = new QWidget;
    auto* lg = new QGridLayout(lens);
    spins(lens, lg, LensEdits.data(), 4, 0, 32767);
    // The refraction row goes below the four position and size rows, its label with it.
    spins(lens, lg, &RefractionEdit, 1, 0, 32767, 4);
    pages_.push_back({lens, ppLens});
    auto* wave = new QWidget;
    auto* wg = new QGridLayout(wave);
    spins(wave, wg, WaveEdits.data(), 3, 0, 32767);
    WaveEdits[2]->setRange(0, 359);
    ReflectiveBox = new QCheckBox(wave);
    wg->addWidget(ReflectiveBox, 3, 1);
    connect(ReflectiveBox, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_)
            return;
        Reflective = on;
        changed();
    });
    pages_.push_back({wave, ppWave});
    for (auto& [page, bit] : pages_)
        PageControl1->addTab(page, QString());
}

void TfPreviews::alignRulers()
{
    int left = HistogramBox1->BarLeft(), width = HistogramBox1->BarWidth();
    if (width <= 0) {
        // Not drawn yet: the whole box.
        left = 0;
        width = HistogramBox1->width();
    }
    for (TRulerBox* r : {ThresholdRuler, LevelsRuler}) {
        // Value v sits at the histogram's pixel left + v × width / 256, RulerMargin into the ruler.
        r->setGeometry(left, 0, width + 2 * RulerMargin, r->height());
        r->SetDotPerUnit(width / 256.0);
        r->SetViewPos(-RulerMargin / r->DotPerUnit());
    }
    placeRulerLabels();
}

void TfPreviews::placeRulerLabels()
{
    for (int k = 0; k < 4; ++k) {
        const TRulerBox* r = k < 2 ? ThresholdRuler : LevelsRuler;
        QLabel* label = RulerLabels[size_t(k)];
        label->adjustSize();
        label->move(r->x() + r->GripPixel(k % 2) - label->width() / 2, r->y() + r->height());
    }
}

void TfPreviews::Translate(TMsgLanguage lang)
{
    const auto P = [lang](int row) { return PreviewText(row, lang); };
    const auto L = [lang](int row) { return LabelText(row, lang); };
    const auto colon = [](const QString& s) { return s + QStringLiteral(":"); };
    setWindowTitle(P(PreviewMsg::Preview));
    Button3->setText(QStringLiteral("&") + P(PreviewMsg::Preview));
    Button1->setText(P(PreviewMsg::OK));
    Button2->setText(P(PreviewMsg::Cancel));
    SpeedButton1->setToolTip(P(PreviewMsg::LockPreview));
    Button6->setToolTip(P(PreviewMsg::CopyResultToSource));
    const QString tabs[] = {P(PreviewMsg::Contrast),    QStringLiteral("HSV"),   QStringLiteral("HSL"),
                            QStringLiteral("RGB"),      L(LabelMsg::UserFilter), L(LabelMsg::Equalization),
                            QStringLiteral("Bump map"), L(LabelMsg::Lens),       L(LabelMsg::Wave)};
    for (int i = 0; i < 9; ++i)
        PageControl1->setTabText(i, tabs[i]);
    const auto ch = [&](int row, const char* tag) { return L(row) + QString::fromLatin1(tag); };
    const QString texts[] = {colon(P(PreviewMsg::Contrast)),
                             colon(P(PreviewMsg::Brightness)),
                             ch(LabelMsg::Hue, " (H):"),
                             ch(LabelMsg::Saturation, " (S):"),
                             ch(LabelMsg::Value, " (V):"),
                             colon(L(LabelMsg::BaseColor)),
                             colon(L(LabelMsg::NewColor)),
                             ch(LabelMsg::Hue, " (H):"),
                             ch(LabelMsg::Saturation, " (S):"),
                             ch(LabelMsg::Luminosity, " (L):"),
                             ch(LabelMsg::Red, " (R):"),
                             ch(LabelMsg::Green, " (G):"),
                             ch(LabelMsg::Blue, " (B):"),
                             colon(L(LabelMsg::Divisor)),
                             colon(L(LabelMsg::Presets)),
                             colon(L(LabelMsg::Threshold)),
                             colon(L(LabelMsg::Equalization)),
                             colon(L(LabelMsg::Left)),
                             colon(L(LabelMsg::Top)),
                             colon(L(LabelMsg::Width)),
                             colon(L(LabelMsg::Height)),
                             colon(L(LabelMsg::Color)),
                             L(LabelMsg::SourceImageQuantity) + QStringLiteral(" (%):"),
                             colon(L(LabelMsg::Left)),
                             colon(L(LabelMsg::Top)),
                             colon(L(LabelMsg::Width)),
                             colon(L(LabelMsg::Height)),
                             colon(L(LabelMsg::Refraction)),
                             colon(L(LabelMsg::Amplitude)),
                             colon(L(LabelMsg::WaveLength)),
                             colon(L(LabelMsg::Phase))};
    for (size_t i = 0; i < labels_.size() && i < std::size(texts); ++i)
        labels_[i]->setText(texts[i]);
    findChild<QGroupBox*>(QStringLiteral("FilterValues"))
        ->setTitle(QStringLiteral(" ") + L(LabelMsg::FilterValues) + QStringLiteral(" "));
    LoadButton->setText(QStringLiteral("&") + L(LabelMsg::Load));
    SaveButton->setText(QStringLiteral("&") + L(LabelMsg::Save));
    EqualizeButton->setText(L(LabelMsg::Equalize));
    ReflectiveBox->setText(L(LabelMsg::Reflective));
    const int channels[] = {LabelMsg::Red, LabelMsg::Green, LabelMsg::Blue, LabelMsg::Gray};
    updating_ = true;
    for (int i = 0; i < 4; ++i)
        ChannelList->item(i)->setText(L(channels[i]));
    updating_ = false;
}
