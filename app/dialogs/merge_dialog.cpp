// The merge dialog: the other window to blend in, its share and the preview.
#include "app/dialogs/merge_dialog.h"
#include "app/text/help_contexts.h"

#include "app/image_window/image_window.h"
#include "app/forms/form_parts.h"
#include "app/text/object_names.h"
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

}  // namespace

TfMergeDialog::TfMergeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QLatin1String(ObjectName::MergeDialog::Form));
    setWindowTitle(QStringLiteral("Verschmelzen"));
    windowList = new QListWidget(this);
    windowList->setObjectName(QLatin1String(ObjectName::MergeDialog::ListBox1));
    mixSlider = new QSlider(Qt::Horizontal, this);
    mixSlider->setObjectName(QLatin1String(ObjectName::MergeDialog::TrackBar1));
    mixSlider->setRange(0, 100);
    mixSlider->setTickInterval(5);
    mixSlider->setTickPosition(QSlider::TicksBelow);
    mixSlider->setValue(50);
    mixLabel = NamedLabel(this, ObjectName::MergeDialog::Label2, QString());
    freezePreviewButton =
        NamedToggle(this, ObjectName::MergeDialog::SpeedButton1, QStringLiteral("Vorschau einfrieren"));
    okButton = NamedButton(this, ObjectName::MergeDialog::Button1, QStringLiteral("&Ok"));
    cancelButton = NamedButton(this, ObjectName::MergeDialog::Button2, QStringLiteral("&Abbrechen"));
    previewButton = NamedButton(this, ObjectName::MergeDialog::Button4, QStringLiteral("&Vorschau"));
    helpButton = NamedButton(this, ObjectName::MergeDialog::Button5, QStringLiteral("&Hilfe"));
    imageKit = new TImageKit(this);
    imageKit->setObjectName(QLatin1String(ObjectName::MergeDialog::ImageKit1));
    imageKit->setFixedSize(200, 150);
    imageKit->SetAutoUndo(false);

    auto* grid = new QGridLayout;
    grid->addWidget(NamedLabel(this, ObjectName::MergeDialog::Label1, QStringLiteral("2.Bild:")), 0, 0);
    grid->addWidget(windowList, 1, 0);
    grid->addWidget(imageKit, 1, 1);
    auto* track = new QHBoxLayout;
    track->addWidget(mixSlider, 1);
    track->addWidget(mixLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(freezePreviewButton);
    buttons->addWidget(previewButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(track);
    main->addLayout(buttons);

    connect(mixSlider, &QSlider::valueChanged, this, [this] { PreviewStep(false); });
    connect(windowList, &QListWidget::itemClicked, this, [this] { PreviewStep(false); });
    connect(freezePreviewButton, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(previewButton, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(okButton, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcMerge); });
}

void TfMergeDialog::SetWindows(const QList<Tchild*>& windows, Tchild* active)
{
    windows_ = windows;
    active_ = active;
    windowList->clear();
    for (Tchild* w : windows)
        windowList->addItem(fileNamePart(w->windowTitle()));
    if (windowList->count() > 0)
        windowList->setCurrentRow(0);
}

int TfMergeDialog::Percent() const { return 100 - mixSlider->value(); }

Tchild* TfMergeDialog::SelectedWindow() const
{
    if (windows_.isEmpty())
        return nullptr;
    const QListWidgetItem* item = windowList->currentItem();
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
        LoadPreview(imageKit, active_->imageKit->Bitmap());
    original_.Assign(*imageKit->Bitmap());
    PreviewStep(false);
}

void TfMergeDialog::PreviewStep(bool forced)
{
    mixLabel->setText(QString::number(Percent()) + QStringLiteral("%"));
    if (!forced && !freezePreviewButton->isChecked())
        return;
    imageKit->Assign(&original_);
    if (Tchild* other = SelectedWindow())
        imageKit->Merge(other->imageKit->Bitmap(), Percent());
    FitPreview(imageKit);
}

void TfMergeDialog::okClicked()
{
    Tchild* other = SelectedWindow();
    if (active_ && other)
        active_->imageKit->Merge(other->imageKit->Bitmap(), Percent());
    done(mrOk);
}
