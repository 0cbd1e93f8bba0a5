// The merge dialog: the other window to blend in, its share and the preview.
#include "app/dialogs/merge_dialog.h"
#include "app/text/help_contexts.h"

#include "app/image_window/image_window.h"
#include "app/dialogs/form_parts.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

namespace {

QString fileNamePart(const QString& caption)
{
    // Captions are paths with either separator.
    const qsizetype cut = std::max(caption.lastIndexOf(u'/'), caption.lastIndexOf(u'\\'));
    return caption.mid(cut + 1);
}

} // namespace

TfMergeDialog::TfMergeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmergedialog"));
    setWindowTitle(QStringLiteral("Verschmelzen"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, 100);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(50);
    Label2 = NamedLabel(this, "Label2", QString());
    SpeedButton1 = NamedToggle(this, "SpeedButton1", QStringLiteral("Vorschau einfrieren"));
    Button1 = NamedButton(this, "Button1", QStringLiteral("&Ok"));
    Button2 = NamedButton(this, "Button2", QStringLiteral("&Abbrechen"));
    Button4 = NamedButton(this, "Button4", QStringLiteral("&Vorschau"));
    Button5 = NamedButton(this, "Button5", QStringLiteral("&Hilfe"));
    ImageKit1 = new TImageKit(this);
    ImageKit1->setObjectName(QStringLiteral("ImageKit1"));
    ImageKit1->setFixedSize(200, 150);
    ImageKit1->SetAutoUndo(false);

    auto* grid = new QGridLayout;
    grid->addWidget(NamedLabel(this, "Label1", QStringLiteral("2.Bild:")), 0, 0);
    grid->addWidget(ListBox1, 1, 0);
    grid->addWidget(ImageKit1, 1, 1);
    auto* track = new QHBoxLayout;
    track->addWidget(TrackBar1, 1);
    track->addWidget(Label2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(Button4);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button5);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(track);
    main->addLayout(buttons);

    connect(TrackBar1, &QSlider::valueChanged, this, [this] { PreviewStep(false); });
    connect(ListBox1, &QListWidget::itemClicked, this, [this] { PreviewStep(false); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(Button5, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcMerge); });
}

void TfMergeDialog::SetWindows(const QList<Tchild*>& windows, Tchild* active)
{
    windows_ = windows;
    active_ = active;
    ListBox1->clear();
    for (Tchild* w : windows)
        ListBox1->addItem(fileNamePart(w->windowTitle()));
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

int TfMergeDialog::Percent() const { return 100 - TrackBar1->value(); }

Tchild* TfMergeDialog::SelectedWindow() const
{
    if (windows_.isEmpty())
        return nullptr;
    const QListWidgetItem* item = ListBox1->currentItem();
    Tchild* found = nullptr;
    if (item)
        for (Tchild* w : windows_)
            if (fileNamePart(w->windowTitle()).compare(item->text(), Qt::CaseInsensitive) == 0)
                found = w;
    return found ? found : windows_.first();
}

void TfMergeDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        SetFormHelpFile();
        FormActivate();
    }
}

void TfMergeDialog::FormActivate()
{
    if (active_)
        LoadPreview(ImageKit1, active_->ImageKit1->Bitmap());
    original_.Assign(*ImageKit1->Bitmap());
    PreviewStep(false);
}

void TfMergeDialog::PreviewStep(bool forced)
{
    Label2->setText(QString::number(Percent()) + QStringLiteral("%"));
    if (!forced && !SpeedButton1->isChecked())
        return;
    ImageKit1->Assign(&original_);
    if (Tchild* other = SelectedWindow())
        ImageKit1->Merge(other->ImageKit1->Bitmap(), Percent());
    FitPreview(ImageKit1);
}

void TfMergeDialog::Button1Click()
{
    Tchild* other = SelectedWindow();
    if (active_ && other)
        active_->ImageKit1->Merge(other->ImageKit1->Bitmap(), Percent());
    done(mrOk);
}
