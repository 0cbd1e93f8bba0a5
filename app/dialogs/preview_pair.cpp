// The base of the preview dialogs: source and result previews, lock and buttons.
#include "app/dialogs/preview_pair.h"

#include "app/forms/form_parts.h"
#include "app/text/object_names.h"
#include "controls/edits/spin_edit.h"
#include "controls/slider/kit_slider.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TPreviewPairDialog::TPreviewPairDialog(QWidget* parent, const TPreviewPairNames& names, int helpContext)
    : QDialog(parent)
{
    auto preview = [this](const char* name) {
        auto* kit = new TImageKit(this);
        kit->setObjectName(QString::fromLatin1(name));
        kit->setFixedSize(180, 140);
        kit->SetAutoUndo(false);
        return kit;
    };
    sourceKit = preview(ObjectName::PreviewPair::ImageKit2);
    imageKit = preview(ObjectName::PreviewPair::ImageKit1);
    previewLockButton = NamedToggle(this, ObjectName::PreviewPair::SpeedButton1, QStringLiteral("Vorschau sperren"));
    okButton = NamedButton(this, ObjectName::PreviewPair::Button1, QStringLiteral("&OK"));
    cancelButton = NamedButton(this, ObjectName::PreviewPair::Button2, QStringLiteral("&Abbrechen"));
    previewButton = NamedButton(this, ObjectName::PreviewPair::Button4, QStringLiteral("&Vorschau"));
    CopyBack = NamedButton(this, names.CopyBack, QStringLiteral("<<"));
    CopyBack->setToolTip(QStringLiteral("Kopiere Ergebnis zur Quelle"));
    auto* previews = new QGridLayout;
    previews->addWidget(NamedLabel(this, names.SourceLabel, QStringLiteral("Quelle:")), 0, 0);
    previews->addWidget(NamedLabel(this, names.ResultLabel, QStringLiteral("Ergebnis:")), 0, 2);
    previews->addWidget(sourceKit, 1, 0);
    previews->addWidget(CopyBack, 1, 1);
    previews->addWidget(imageKit, 1, 2);
    controls_ = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(previewLockButton);
    buttons->addWidget(previewButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    if (names.Help) {
        HelpButton = NamedButton(this, names.Help, QStringLiteral("&Hilfe"));
        buttons->addWidget(HelpButton);
        connect(HelpButton, &QPushButton::clicked, this, [helpContext] { TApplication::HelpContext(helpContext); });
    }
    auto* main = new QVBoxLayout(this);
    main->addLayout(previews);
    main->addLayout(controls_);
    main->addLayout(buttons);
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TPreviewPairDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        SetFormHelpFile();
        FormActivate();
    }
}

void TPreviewPairDialog::CoupleSpinAndSlider(TKitSpinEdit* edit, TKitSlider* slider, std::function<void()> change)
{
    edit->OnChange = [this, edit, slider, change](TObject*) {
        if (coupling_)
            return;
        double v = 0;
        if (ReadNumber(edit->text(), v)) {
            coupling_ = true;
            slider->SetValue(Round(v));
            coupling_ = false;
        }
        change();
    };
    slider->OnChange = [this, edit, slider, change](TObject*) {
        if (coupling_)
            return;
        coupling_ = true;
        edit->setText(QString::number(slider->Value()));
        coupling_ = false;
        change();
    };
}
