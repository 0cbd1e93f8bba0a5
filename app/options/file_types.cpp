// Binding image file extensions to the program, in the registry and on the desktop.
#include "app/options/file_types.h"

#include "platform/system/registry.h"
#include "platform/system/xdg_file_types.h"

const TFileTypeBinding FileTypeBindings[FileTypeBindingCount] = {
    {{"JPG", "JPEG"}, "JPGGrafik", "Kandrivel (JPEG)", false},
    {{"BMP", nullptr}, "BMPGrafik", "Kandrivel (Windows Bitmap)", true},
    {{"PCX", nullptr}, "PCXGrafik", "Kandrivel (Paintbrush)", false},
    {{"TIFF", "TIF"}, "TIFFGrafik", "Kandrivel (Tiff Bitmap)", false},
    {{"WMF", nullptr}, "WMFGrafik", "Kandrivel (Windows Metafile)", false},
    {{"EMF", nullptr}, "EMFGrafik", "Kandrivel (Windows E-Metafile)", false},
    {{"ICO", nullptr}, "ICOGrafik", "Kandrivel (Microsoft Icon)", true},
    {{"CUR", nullptr}, "CURGrafik", "Kandrivel (Microsoft Cursor)", true},
    {{"PCA", nullptr}, "PCAGrafik", "Kandrivel (Katalog)", false},
};

namespace {

QString dotted(const QString& extension)
{
    return extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;
}

// Another extension of the same MIME type still bound to the class keeps the
// desktop's entry for it.
bool mimeStillNeeded(const QString& extension, const QString& className)
{
    const QString mime = XdgMimeTypeForExtension(extension);
    const QString self = dotted(extension).toLower();
    for (const TFileTypeBinding& b : FileTypeBindings)
        for (const char* e : b.Extensions) {
            if (!e)
                continue;
            const QString other = QString::fromLatin1(e);
            if (dotted(other).toLower() == self || XdgMimeTypeForExtension(other) != mime)
                continue;
            if (IsFileTypeRegistered(other, className))
                return true;
        }
    return false;
}

}  // namespace

void RegisterFileType(const QString& extension, const QString& className, const QString& description,
                      const QString& iconSource, const QString& programPath)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    reg.OpenKey(dotted(extension), true);
    reg.WriteString(QString(), className);
    reg.CloseKey();
    reg.OpenKey(className, true);
    reg.WriteString(QString(), description);
    reg.OpenKey(QStringLiteral("Shell\\Open\\Command"), true);
    reg.WriteString(QString(), programPath + QStringLiteral(" %1"));
    reg.CloseKey();
    reg.OpenKey(className, true);
    reg.OpenKey(QStringLiteral("DefaultIcon"), true);
    reg.WriteString(QString(), iconSource);
    reg.CloseKey();
    reg.OpenKey(className, true);
    reg.CloseKey();

    XdgRegisterMimeType(XdgMimeTypeForExtension(extension), programPath, description);
}

bool IsFileTypeRegistered(const QString& extension, const QString& className)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey(dotted(extension), false))
        return false;
    return reg.ReadString(QString()).compare(className, Qt::CaseInsensitive) == 0;
}

void UnregisterFileType(const QString& extension, const QString& className)
{
    if (!IsFileTypeRegistered(extension, className))
        return;
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    reg.DeleteKey(QLatin1Char('\\') + dotted(extension));
    if (reg.KeyExists(QLatin1Char('\\') + className))
        reg.DeleteKey(QLatin1Char('\\') + className);

    if (!mimeStillNeeded(extension, className))
        XdgUnregisterMimeType(XdgMimeTypeForExtension(extension));
}
