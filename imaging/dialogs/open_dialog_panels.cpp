// The open dialog's picture and information panels: built once with the component, laid
// into the file dialog's grid each time it shows, taken out again before it is destroyed.
#include "imaging/dialogs/open_dialog.h"
#include "imaging/io/multi_io.h"
#include "imaging/view/multi_view.h"

#include "imaging/view/image_kit_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace {

// Design bounds (pixels for a dialog font of base units 6 × 13).
constexpr QRect kPicturePanel(0, 0, 169, 255);
constexpr QRect kInfoPanel(0, 0, 508, 52);
constexpr QRect kInfoLabel1(6, 6, 157, 23);
constexpr QRect kInfoLabel2(6, 29, 157, 23);
constexpr QRect kAdvancedButton(333, 0, 75, 23);
constexpr QRect kPreviewCheck(427, 0, 75, 23);
constexpr QRect kPicLabel[3] = {{6, 180, 157, 23}, {6, 203, 157, 23}, {6, 226, 157, 23}};
constexpr QRect kZoomCombo(6, 5, 50, 21);
constexpr QRect kPreviewButton(60, 5, 23, 22);
constexpr QRect kPlayButton(85, 5, 23, 22);
constexpr QRect kImageKitView(6, 32, 133, 139);
constexpr QRect kProgressBar(0, 55, 127, 19);

QRect scaled(const TDialogScale& s, const QRect& r) { return s.Rect(r.left(), r.top(), r.width(), r.height()); }

// 16 × 16 glyphs: a magnifier and a play triangle.
QIcon previewGlyph()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QRect(2, 2, 8, 8));
    p.drawLine(10, 10, 14, 14);
    return QIcon(pm);
}

QIcon playGlyph()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    QPainterPath path;
    path.moveTo(4, 2);
    path.lineTo(13, 8);
    path.lineTo(4, 14);
    path.closeSubpath();
    p.drawPath(path);
    return QIcon(pm);
}

QLabel* makeLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QToolButton* makeSpeedButton(const char* name, const QIcon& glyph, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setIcon(glyph);
    b->setIconSize(QSize(16, 16));
    b->setEnabled(false);
    return b;
}

}  // namespace

void TOpenImageKitDialog::buildPicturePanel()
{
    PicturePanel = new QWidget;
    PicturePanel->setObjectName(QStringLiteral("PicturePanel"));
    PicLabel1 = makeLabel("PicLabel1", PicturePanel);
    PicLabel2 = makeLabel("PicLabel2", PicturePanel);
    PicLabel3 = makeLabel("PicLabel3", PicturePanel);

    ZoomCombo = new QComboBox(PicturePanel);
    ZoomCombo->setObjectName(QStringLiteral("ZoomCombo"));
    ZoomCombo->setToolTip(QStringLiteral("Zoom"));
    connect(ZoomCombo, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { ApplyZoom(); }); });

    PreviewButton = makeSpeedButton("PreviewButton", previewGlyph(), PicturePanel);
    connect(PreviewButton, &QToolButton::clicked, this, [this] { Guarded([this] { ShowPreviewForm(); }); });

    PlayButton = makeSpeedButton("PlayButton", playGlyph(), PicturePanel);
    PlayButton->setCheckable(true);
    // Playback belongs to the multi-image preview; the preview button waits while it plays.
    connect(PlayButton, &QToolButton::toggled, this, [this](bool down) {
        PreviewButton->setEnabled(!down &&
                                  (ImageKitMView->isVisible() ? ImageKitMView->ImageCount() > 0 : frameCount_ > 0));
        ImageKitMView->SetPlaying(down && ImageKitMView->isVisible());
    });

    ImageKitView = new TImageKitView(PicturePanel);
    ImageKitView->setObjectName(QStringLiteral("ImageKitView"));
    ImageKitView->SetMouseInteract(miScroll);
    ImageKitView->SetBackground(RGB(255, 255, 255));
    ImageKitView->SetBackgroundStyle(ikbsDiagonals);
    ImageKitView->OnDblClick = [this](TObject*) {
        if (PreviewButton->isEnabled())
            ShowPreviewForm();
    };

    ImageKitMView = new TImageKitMView(PicturePanel);
    ImageKitMView->setObjectName(QStringLiteral("ImageKitMView"));
    ImageKitMView->SetBorderStyle(bsSingle);
    ImageKitMView->SetMouseInteract(mmiScroll | mmiSelect);
    ImageKitMView->SetScrollBars(ssHorizontal);
    ImageKitMView->SetKeyInteract(mkiMoveSelected);
    ImageKitMView->SetThumbWidth(100);
    ImageKitMView->SetThumbHeight(109);
    ImageKitMView->SetBackground(RGB(255, 255, 255));
    ImageKitMView->OnImageSelect = [this](TObject*, int index) { multiImageSelected(index); };
    ImageKitMView->OnIOProgress = [this](TObject*, int percent) { ProgressBar->setValue(percent); };
    ImageKitMView->hide();
    mio_->SetAttachedMView(ImageKitMView);
    mio_->OnProgress = [this](TObject*, int percent) { ProgressBar->setValue(percent); };

    ProgressBar = new QProgressBar(ImageKitView);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();
}

void TOpenImageKitDialog::buildInfoPanel()
{
    InfoPanel = new QWidget;
    InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
    InfoLabel1 = makeLabel("InfoLabel1", InfoPanel);
    InfoLabel2 = makeLabel("InfoLabel2", InfoPanel);
    AdvancedButton = new QPushButton(InfoPanel);
    AdvancedButton->setObjectName(QStringLiteral("AdvancedButton"));
    AdvancedButton->hide();
    PreviewCheck = new QCheckBox(InfoPanel);
    PreviewCheck->setObjectName(QStringLiteral("PreviewCheck"));
    PreviewCheck->setChecked(true);
    PreviewCheck->hide();
    connect(PreviewCheck, &QCheckBox::clicked, this, [this] { Guarded([this] { PreviewCheckClick(); }); });
}

void TOpenImageKitDialog::layOutPanels(TIKFileDialog& dialog)
{
    const TDialogScale s(dialog.font());
    QGridLayout* grid = dialog.Grid();

    PicLabel1->move(scaled(s, kPicLabel[0]).topLeft());
    PicLabel2->move(scaled(s, kPicLabel[1]).topLeft());
    PicLabel3->move(scaled(s, kPicLabel[2]).topLeft());
    QRect zoom = scaled(s, kZoomCombo);
    zoom.setWidth(std::max(zoom.width(), ZoomCombo->sizeHint().width()));
    zoom.setHeight(std::max(zoom.height(), ZoomCombo->sizeHint().height()));
    ZoomCombo->setGeometry(zoom);
    // The combo may need more room than designed; the buttons follow it.
    QRect preview = scaled(s, kPreviewButton);
    preview.moveLeft(std::max(preview.left(), zoom.right() + s.X(4)));
    PreviewButton->setGeometry(preview);
    QRect play = scaled(s, kPlayButton);
    play.moveLeft(std::max(play.left(), preview.right() + s.X(2)));
    PlayButton->setGeometry(play);
    QRect view = scaled(s, kImageKitView);
    view.moveTop(std::max(view.top(), zoom.bottom() + s.Y(6)));
    ImageKitView->setGeometry(view);
    ImageKitMView->setGeometry(view);
    ProgressBar->setGeometry(scaled(s, kProgressBar));
    PicturePanel->setFixedWidth(std::max(scaled(s, kPicturePanel).width(), play.right() + s.X(6)));
    PicturePanel->setMinimumHeight(scaled(s, kPicturePanel).height());

    InfoLabel1->move(scaled(s, kInfoLabel1).topLeft());
    InfoLabel2->move(scaled(s, kInfoLabel2).topLeft());
    QRect advanced = scaled(s, kAdvancedButton);
    advanced.setWidth(std::max(advanced.width(), AdvancedButton->sizeHint().width()));
    AdvancedButton->setGeometry(advanced);
    QRect check = scaled(s, kPreviewCheck);
    check.moveLeft(std::max(check.left(), advanced.right() + s.X(8)));
    check.setWidth(std::max(check.width(), PreviewCheck->sizeHint().width()));
    PreviewCheck->setGeometry(check);
    InfoPanel->setFixedHeight(scaled(s, kInfoPanel).height());
    InfoPanel->setMinimumWidth(std::max(scaled(s, kInfoPanel).width(), check.right() + s.X(6)));

    if (!grid)
        return;
    const int rows = grid->rowCount();
    const int columns = grid->columnCount();
    if (ShowPreview) {
        grid->addWidget(PicturePanel, 0, columns, rows, 1);
        PicturePanel->show();
    }
    grid->addWidget(InfoPanel, rows, 0, 1, columns + (ShowPreview ? 1 : 0));
    InfoPanel->show();
}

void TOpenImageKitDialog::releasePanels()
{
    for (QWidget* panel : {PicturePanel, InfoPanel}) {
        if (!panel->parentWidget())
            continue;
        if (QLayout* layout = panel->parentWidget()->layout())
            layout->removeWidget(panel);
        panel->setParent(nullptr);
    }
}
