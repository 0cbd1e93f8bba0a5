// The welcome window: help pages, file-type binding and the show-at-start choice.
#include "app/dialogs/welcome_window.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
#include "app/options/options_dialog.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "platform/ui/application.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tinfoform::Tinfoform(toptions& options, const QString& programPath, QWidget* parent)
    : QWidget(parent), options_(options), programPath_(programPath)
{
    setObjectName(QStringLiteral("infoform"));
    setWindowTitle(QStringLiteral("Willkommen"));
    Label1 = NamedLabel(this, "Label1", QStringLiteral("Herzlich willkommen zu Kandrivel."));
    QFont big = Label1->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    Label1->setFont(big);
    Label2 = NamedLabel(this, "Label2",
                        QStringLiteral("Wenn Sie wissen möchten, was Kandrivel alles kann, drücken Sie einfach auf "
                                       "einen der Knöpfe.\n\nOder schließen Sie dieses Fenster und probieren Sie "
                                       "einfach das Menü aus."));
    Label2->setWordWrap(true);
    static const char* const captions[8] = {"Grafiken öffnen und speichern", "Drucken", "Scannen",
                                            "Videobild importieren", "Diashow", "Bilder bearbeiten",
                                            "Mit Katalogen arbeiten", "Mit Kommentaren arbeiten"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "Button" + QByteArray::number(i + 1);
        HelpButtons[size_t(i)] = NamedButton(this, name.constData(), QString::fromUtf8(captions[i]));
        grid->addWidget(HelpButtons[size_t(i)], i / 2, i % 2);
        connect(HelpButtons[size_t(i)], &QPushButton::clicked, this, [this, i] { Button1Click(i); });
    }
    CheckBox1 = NamedCheckBox(this, "CheckBox1", QStringLiteral("Diesen Dialog nicht mehr anzeigen"));
    Button9 = NamedButton(this, "Button9", QStringLiteral("Exlorer Verknüpfungen"));
    Button10 = NamedButton(this, "Button10", QStringLiteral("Fenster schließen"));
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addWidget(Label2);
    main->addLayout(grid);
    main->addWidget(CheckBox1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button9);
    bottom->addStretch();
    bottom->addWidget(Button10);
    main->addLayout(bottom);
    connect(Button9, &QPushButton::clicked, this, [this] { TApplication::Guard([this] { Button9Click(); }); });
    connect(Button10, &QPushButton::clicked, this, [this] { Button10Click(); });
}

void Tinfoform::Button1Click(int index)
{
    TApplication::HelpContext(hcWelcomeFirstTopic + index);
}

void Tinfoform::Button9Click()
{
    const int answer = LangMessageDlg(
        QStringLiteral("Wenn Sie möchten, kann Kandrivel die Grafikformate mit dem Windows-Explorer verbinden.\r"
                       "Wenn Sie dann im Explorer auf eine Grafikdatei doppelklicken, wird diese automatisch von "
                       "Kandrivel geladen.\rMöchten Sie fortfahren?"),
        mtConfirmation, mbOKCancel,
        QStringLiteral("Kandrivel can register the image types with the windows explorer.\rIf you then double click "
                       "on the image file in the explorer, Kandrivel will load the image for you.\rDo you want to "
                       "continue?"));
    if (answer != mrOk)
        return;
    std::array<bool, 9> all;
    all.fill(true);
    ApplyFileTypeBindings(all, programPath_);
}

void Tinfoform::Button10Click()
{
    // Inside the MDI area the frame is what closes.
    if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
        parentWidget()->close();
    else
        close();
}

void Tinfoform::FormClose()
{
    if (CheckBox1->isChecked())
        options_.showwelcome = 0;
}

void Tinfoform::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void Tinfoform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SetFormHelpFile();
}

bool Tinfoform::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && OnActivate)
        OnActivate();
    return QWidget::event(event);
}
