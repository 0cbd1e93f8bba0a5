// The effects dialog: its views, buttons and the tabs of its pages, and their captions.
#include "imaging/dialogs/effects_preview_dialog.h"

#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/kit/image_kit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

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
    // Each page builds its own controls; the tabs follow the list of pages.
    pages_ = NewEffectPages();
    for (const auto& page : pages_)
        PageControl1->addTab(page->Build(*this), QString());
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

// The pages go before the controls they built: whatever those signal while they are
// taken down must reach no page.
TfPreviews::~TfPreviews()
{
    activated_ = false;
    updating_ = true;
}

void TfPreviews::SetProgress(TObject* sender, const TProgressEvent& event)
{
    sender_ = sender;
    progress_ = event;
}

void TfPreviews::SetFont(const QFont& font) { setFont(font); }

void TfPreviews::Translate(TMsgLanguage lang)
{
    const auto P = [lang](int row) { return PreviewText(row, lang); };
    setWindowTitle(P(PreviewMsg::Preview));
    Button3->setText(QStringLiteral("&") + P(PreviewMsg::Preview));
    Button1->setText(P(PreviewMsg::OK));
    Button2->setText(P(PreviewMsg::Cancel));
    SpeedButton1->setToolTip(P(PreviewMsg::LockPreview));
    Button6->setToolTip(P(PreviewMsg::CopyResultToSource));
    for (size_t i = 0; i < pages_.size(); ++i) {
        PageControl1->setTabText(int(i), pages_[i]->Caption(lang));
        pages_[i]->Translate(*this, lang);
    }
}
