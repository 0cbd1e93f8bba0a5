// The welcome window: help pages, file-type binding and the show-at-start choice.
#include "app/dialogs/welcome_window.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/options/options_dialog.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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
    setObjectName(QLatin1String(ObjectName::WelcomeWindow::Form));
    setWindowTitle(QStringLiteral("Willkommen"));
    welcomeLabel =
        NamedLabel(this, ObjectName::WelcomeWindow::Label1, QStringLiteral("Herzlich willkommen zu Kandrivel."));
    QFont big = welcomeLabel->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    welcomeLabel->setFont(big);
    introLabel = NamedLabel(this, ObjectName::WelcomeWindow::Label2,
                            QStringLiteral("Wenn Sie wissen möchten, was Kandrivel alles kann, drücken Sie einfach auf "
                                           "einen der Knöpfe.\n\nOder schließen Sie dieses Fenster und probieren Sie "
                                           "einfach das Menü aus."));
    introLabel->setWordWrap(true);
    static const char* const captions[8] = {"Grafiken öffnen und speichern",
                                            "Drucken",
                                            "Scannen",
                                            "Videobild importieren",
                                            "Diashow",
                                            "Bilder bearbeiten",
                                            "Mit Katalogen arbeiten",
                                            "Mit Kommentaren arbeiten"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "Button" + QByteArray::number(i + 1);
        HelpButtons[size_t(i)] = NamedButton(this, name.constData(), QString::fromUtf8(captions[i]));
        grid->addWidget(HelpButtons[size_t(i)], i / 2, i % 2);
        connect(HelpButtons[size_t(i)], &QPushButton::clicked, this, [this, i] { helpClicked(i); });
    }
    dontShowAgainCheck =
        NamedCheckBox(this, ObjectName::WelcomeWindow::CheckBox1, QStringLiteral("Diesen Dialog nicht mehr anzeigen"));
    bindTypesButton = NamedButton(this, ObjectName::WelcomeWindow::Button9, QStringLiteral("Exlorer Verknüpfungen"));
    closeButton = NamedButton(this, ObjectName::WelcomeWindow::Button10, QStringLiteral("Fenster schließen"));
    auto* main = new QVBoxLayout(this);
    main->addWidget(welcomeLabel);
    main->addWidget(introLabel);
    main->addLayout(grid);
    main->addWidget(dontShowAgainCheck);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(bindTypesButton);
    bottom->addStretch();
    bottom->addWidget(closeButton);
    main->addLayout(bottom);
    connect(bindTypesButton, &QPushButton::clicked, this,
            [this] { TApplication::Guard([this] { bindTypesClicked(); }); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });
}

void Tinfoform::helpClicked(int index) { TApplication::HelpContext(hcWelcomeFirstTopic + index); }

void Tinfoform::bindTypesClicked()
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

void Tinfoform::closeClicked()
{
    // Inside the MDI area the frame is what closes.
    if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
        parentWidget()->close();
    else
        close();
}

void Tinfoform::FormClose()
{
    if (dontShowAgainCheck->isChecked())
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
