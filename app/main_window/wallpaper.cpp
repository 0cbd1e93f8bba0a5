// The active image as the desktop's background picture.
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "imaging/kit/image_kit.h"
#include "platform/system/registry.h"
#include "platform/system/wallpaper.h"

void Tform1::changeWallpaper(const QString& fileName, bool tiled)
{
    Tchild* image = imageWindowOf(ActiveMDIChild());
    if (!image)
        return;
    const QString quoted = QStringLiteral("\"Kandrivel.bmp\"");
    if (LangMessageDlg(QStringLiteral("Diese Funktion speichert das Bild unter dem Namen ") + quoted +
                           QStringLiteral("\rim Windows Verzeichnis, setzt es als Hintergrundbild und schliesst\r"
                                          "die Datei anschliessend.") +
                           QString(19, QLatin1Char(' ')) + QStringLiteral("Möchten Sie fortfahren?"),
                       mtInformation, mbOKCancel,
                       QStringLiteral("This function saves the image as ") + quoted +
                           QStringLiteral("\rin the windows directory, sets it as background and closes it.\r") +
                           QString(42, QLatin1Char(' ')) + QStringLiteral("Do you want to continue?")) != mrOk)
        return;
    // The BMP parameter dialog; cancelling it stops here.
    if (!image->imageKit->DoIOPreviews(32))
        return;

    // Saved under the wallpaper's name through the image's document. Should the desktop
    // not take the picture, the image goes back to its own name and state and stays open:
    // its edits are in no file of the user's.
    TImageDocument& document = image->Document();
    const TImageDocument::TState before = document.State();
    const QString caption = image->windowTitle();
    tsaveparams block;
    onChild(image, [&] { saveparams(block); });
    FitSaveParamsToWriter(block, fileName);
    if (RunSave(image, fileName, block) != TSaveOutcome::Saved)
        return;  // the failure has been shown

    TWallpaperFailure failure = wfNone;
    if (!SetDesktopWallpaper(fileName, tiled, &failure)) {
        document.Restore(before);
        image->setWindowTitle(caption);
        const bool none = failure == wfNoSettings;
        LangMessageDlg(QStringLiteral("Das Hintergrundbild konnte nicht gesetzt werden: ") +
                           (none ? QStringLiteral("Die Arbeitsoberfläche hat keine Einstellungen dafür.")
                                 : QStringLiteral("Die Arbeitsoberfläche hat die Einstellung nicht übernommen.")),
                       mtError, mbOK,
                       QStringLiteral("The background could not be set: ") +
                           (none ? QStringLiteral("The desktop has no settings for it.")
                                 : QStringLiteral("The desktop did not take the setting.")));
        return;
    }
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(QStringLiteral("\\Control Panel\\desktop"), true)) {
        reg.WriteString(QStringLiteral("TileWallPaper"), tiled ? QStringLiteral("1") : QStringLiteral("0"));
        reg.WriteString(QStringLiteral("Wallpaper"), fileName);
        reg.CloseKey();
    }
    image->SetModified(false);
    if (QWidget* sub = image->parentWidget())
        sub->close();
}
