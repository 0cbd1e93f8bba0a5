// The histogram dialog: channel and display style of the active image's histogram.
#include "app/dialogs/histogram_dialog.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/text/object_names.h"
#include "imaging/boxes/histogram_box.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/view/image_kit_view.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TfHistogram::TfHistogram(QWidget* parent) : QDialog(parent)
{
    setObjectName(QLatin1String(ObjectName::HistogramDialog::Form));
    setWindowTitle(QStringLiteral("Histogramm"));
    proc = new TImageKitProc(this);
    histogramBox = new THistogramBox(this);
    histogramBox->setObjectName(QLatin1String(ObjectName::HistogramDialog::HistogramBox1));
    histogramBox->setFixedSize(300, 200);
    histogramBox->SetAttachedImageKitProc(proc);
    channelCombo = NamedCombo(this, ObjectName::HistogramDialog::ComboBox1,
                              {QStringLiteral("RGB (Grau)"), QStringLiteral("Rot"), QStringLiteral("Grün"),
                               QStringLiteral("Blau")});
    modeCombo =
        NamedCombo(this, ObjectName::HistogramDialog::ComboBox2, {QStringLiteral("Balken"), QStringLiteral("Linien")});
    okButton = NamedButton(this, ObjectName::HistogramDialog::Button1, QStringLiteral("&Ok"));
    helpButton = NamedButton(this, ObjectName::HistogramDialog::Button9, QStringLiteral("&Hilfe"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(histogramBox, 0, 0, 1, 4);
    grid->addWidget(NamedLabel(this, ObjectName::HistogramDialog::Label1, QStringLiteral("Kanal")), 1, 0);
    grid->addWidget(channelCombo, 1, 1);
    grid->addWidget(NamedLabel(this, ObjectName::HistogramDialog::Label2, QStringLiteral("Modus")), 1, 2);
    grid->addWidget(modeCombo, 1, 3);
    grid->addWidget(okButton, 2, 2);
    grid->addWidget(helpButton, 2, 3);
    connect(channelCombo, &QComboBox::currentIndexChanged, this, [this] { channelChanged(); });
    connect(modeCombo, &QComboBox::currentIndexChanged, this, [this] { modeChanged(); });
    connect(okButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcHistogram); });
}

void TfHistogram::Attach(TImageKitView* view)
{
    proc->SetAttachedImageKit(view);
    histogramBox->Update();
}

void TfHistogram::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TfHistogram::FormActivate()
{
    SetFormHelpFile();
    channelCombo->setCurrentIndex(0);
    modeCombo->setCurrentIndex(0);
    channelChanged();
    modeChanged();
}

void TfHistogram::channelChanged()
{
    static const THistogramKind kinds[4] = {hkGray, hkRed, hkGreen, hkBlue};
    const int i = channelCombo->currentIndex();
    histogramBox->SetHistogramKind(kinds[i >= 0 && i < 4 ? i : 0]);
}

void TfHistogram::modeChanged() { histogramBox->SetHistogramStyle(modeCombo->currentIndex() == 1 ? hsLines : hsBars); }
