// The histogram dialog: channel and display style of the active image's histogram.
#include "app/dialogs/histogram_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
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
    setObjectName(QStringLiteral("fhistogram"));
    setWindowTitle(QStringLiteral("Histogramm"));
    ImageKitProc1 = new TImageKitProc(this);
    HistogramBox1 = new THistogramBox(this);
    HistogramBox1->setObjectName(QStringLiteral("HistogramBox1"));
    HistogramBox1->setFixedSize(300, 200);
    HistogramBox1->SetAttachedImageKitProc(ImageKitProc1);
    ComboBox1 = NamedCombo(this, "ComboBox1",
                           {QStringLiteral("RGB (Grau)"), QStringLiteral("Rot"), QStringLiteral("Grün"),
                            QStringLiteral("Blau")});
    ComboBox2 = NamedCombo(this, "ComboBox2", {QStringLiteral("Balken"), QStringLiteral("Linien")});
    Button1 = NamedButton(this, "Button1", QStringLiteral("&Ok"));
    Button9 = NamedButton(this, "Button9", QStringLiteral("&Hilfe"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(HistogramBox1, 0, 0, 1, 4);
    grid->addWidget(NamedLabel(this, "Label1", QStringLiteral("Kanal")), 1, 0);
    grid->addWidget(ComboBox1, 1, 1);
    grid->addWidget(NamedLabel(this, "Label2", QStringLiteral("Modus")), 1, 2);
    grid->addWidget(ComboBox2, 1, 3);
    grid->addWidget(Button1, 2, 2);
    grid->addWidget(Button9, 2, 3);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Button9, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcHistogram); });
}

void TfHistogram::Attach(TImageKitView* view)
{
    ImageKitProc1->SetAttachedImageKit(view);
    HistogramBox1->Update();
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
    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    ComboBox1Change();
    ComboBox2Change();
}

void TfHistogram::ComboBox1Change()
{
    static const THistogramKind kinds[4] = {hkGray, hkRed, hkGreen, hkBlue};
    const int i = ComboBox1->currentIndex();
    HistogramBox1->SetHistogramKind(kinds[i >= 0 && i < 4 ? i : 0]);
}

void TfHistogram::ComboBox2Change()
{
    HistogramBox1->SetHistogramStyle(ComboBox2->currentIndex() == 1 ? hsLines : hsBars);
}
