// Menu items and buttons that act at once, not through the interpreter: typed zoom,
// the undo buffer, the drawing-style items, help, the sound settings and the batch box.
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/number_format.h"
#include "platform/system/sound_settings.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QToolButton>
#include <climits>

namespace {

void reportHelpFailure(const QString& file, bool missing)
{
    if (missing)
        LangMessageDlg(QStringLiteral("Die Hilfedatei ") + file + QStringLiteral(" wurde nicht gefunden."), mtError,
                       mbOK, QStringLiteral("The help file ") + file + QStringLiteral(" was not found."));
    else
        LangMessageDlg(QStringLiteral("Die Hilfe kann nicht angezeigt werden: Es ist kein Browser und kein anderes "
                                      "Programm eingerichtet, das ") +
                           file + QStringLiteral(" öffnet."),
                       mtError, mbOK,
                       QStringLiteral("The help cannot be shown: no browser or other program is set up to open ") +
                           file + QStringLiteral("."));
}

}  // namespace

void Tform1::enterZoomClicked()
{
    QPointer<Tchild> image = ActiveImageWindow();
    if (!image)
        return;
    QString value = QString::number(image->imageKit->Zoom());
    long long zoom = 0;
    // Asked again until the answer is a whole number above 0, or the user cancels.
    do {
        if (!InputQuery(LangText(QStringLiteral("Zoom festlegen"), QStringLiteral("Set zoom")),
                        LangText(QStringLiteral("Bitte Zoom in Prozent eingeben:"),
                                 QStringLiteral("Please enter the zoom in percent:")),
                        value))
            return;
    } while (!TryStrToInt(value.trimmed(), zoom) || zoom <= 0);
    // The window may have gone while the query was open.
    if (image)
        image->imageKit->SetZoom(int(std::min<long long>(zoom, INT_MAX)));
}

void Tform1::clearUndoClicked()
{
    if (Tchild* image = ActiveImageWindow())
        image->imageKit->ClearUndo();
    UpdateAvailability(false);
}

void Tform1::helpTopicsClicked() { TApplication::HelpShow(); }

void Tform1::soundSettingsClicked()
{
    const TSoundSettingsStart start = StartSoundSettings();
    if (start.Program.isEmpty())
        LangMessageDlg(QStringLiteral("Es ist kein Programm für die Toneinstellungen installiert "
                                      "(pavucontrol oder gnome-control-center)."),
                       mtInformation, mbOK,
                       QStringLiteral("No program for the sound settings is installed "
                                      "(pavucontrol or gnome-control-center)."));
    else if (!start.Started)
        LangMessageDlg(QStringLiteral("Die Toneinstellungen konnten nicht gestartet werden: ") + start.Program, mtError,
                       mbOK, QStringLiteral("The sound settings could not be started: ") + start.Program);
}

void Tform1::quickStartBoxChanged()
{
    if (auto* box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox)))
        options.batchrecord = box->currentText();
}

void Tform1::wireDirectCommands()
{
    TApplication::OnHelpFailure = reportHelpFailure;
    const std::pair<const char*, void (Tform1::*)()> items[] = {
        {ObjectName::MainWindow::Greangeben1, &Tform1::enterZoomClicked},
        {ObjectName::MainWindow::RckgngigPufferlschen1, &Tform1::clearUndoClicked},
        {ObjectName::MainWindow::Hilfethemen1, &Tform1::helpTopicsClicked},
        {ObjectName::MainWindow::Aufnahmeeinstellungen1, &Tform1::soundSettingsClicked},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), [this, h = handler] { (this->*h)(); });
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton58)),
               [this] { helpTopicsClicked(); });
    // F1 of the hidden key menu, beside the quick starts on F2 to F9.
    auto* helpKey = new QAction(this);
    helpKey->setObjectName(QLatin1String(ObjectName::MainWindow::HelpKey));
    helpKey->setShortcut(QKeySequence(Qt::Key_F1));
    helpKey->setShortcutContext(Qt::WindowShortcut);
    addAction(helpKey);
    connect(helpKey, &QAction::triggered, this, [this] { TApplication::Guard([this] { helpTopicsClicked(); }); });
    // Only the user's choice is stored: refilling the box must not overwrite it.
    if (auto* box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox)))
        connect(box, &QComboBox::textActivated, this,
                [this](const QString&) { TApplication::Guard([this] { quickStartBoxChanged(); }); });
}
