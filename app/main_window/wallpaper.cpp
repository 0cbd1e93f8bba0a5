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

    automatitem.SetCode(cmdSave);
    if (!automatitem.SetFileName(fileName)) {
        LangMessageDlg(QStringLiteral("Der Dateiname ist zu lang: ") + fileName, mtError, mbOK,
                       QStringLiteral("The file name is too long: ") + fileName);
        return;
    }
    tsaveparams block;
    saveparams(block);
    FitSaveParamsToWriter(block, fileName);
    automatitem.SetSaveParams(block);
    runautomatitem(this, automatitem);
    image->SetModified(false);
    if (QWidget* sub = image->parentWidget())
        sub->close();

    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(QStringLiteral("\\Control Panel\\desktop"), true)) {
        reg.WriteString(QStringLiteral("TileWallPaper"), tiled ? QStringLiteral("1") : QStringLiteral("0"));
        reg.WriteString(QStringLiteral("Wallpaper"), fileName);
        reg.CloseKey();
    }
    QString error;
    if (!SetDesktopWallpaper(fileName, tiled, &error))
        LangMessageDlg(QStringLiteral("Das Hintergrundbild konnte nicht gesetzt werden: ") + error, mtError, mbOK,
                       QStringLiteral("The background could not be set: ") + error);
}
