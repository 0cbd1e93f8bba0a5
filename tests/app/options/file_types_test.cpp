// File-type bindings in the registry stand-in and on the desktop.
#include "app/options/file_types.h"
#include "platform/core/streams.h"
#include "platform/system/registry.h"
#include "platform/system/xdg_file_types.h"
#include "common/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("KANDRIVEL_HOME", TempDir().toUtf8());
        dataHome = TempDir();
        configHome = TempDir();
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
        // xdg-mime then takes the desktop-neutral path.
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                              "XDG_SESSION_DESKTOP"})
            qunsetenv(v);
    }
    QString defaultFor(const QString& mime)
    {
        QByteArray out;
        EXPECT_EQ(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime}, &out),
                  0);
        return QString::fromUtf8(out).trimmed();
    }
    QString value(const QString& key)
    {
        TRegistry r;
        r.SetRootKey(HKEY_CLASSES_ROOT);
        if (!r.OpenKey(key, false))
            return QStringLiteral("<missing>");
        return r.ReadString(QString());
    }
    QString dataHome, configHome;
    const QString prog = QStringLiteral("/opt/Kandrivel Programm/kandrivel");
};

}  // namespace

TEST_F(FileTypes, RegistrationWritesTheClassLayout)
{
    RegisterFileType(QStringLiteral("JPG"), QStringLiteral("JPGGrafik"), QStringLiteral("Kandrivel (JPEG)"), prog,
                     prog);
    RegisterFileType(QStringLiteral("BMP"), QStringLiteral("BMPGrafik"), QStringLiteral("Kandrivel (Windows Bitmap)"),
                     QStringLiteral("%1"), prog);
    EXPECT_EQ(value(QStringLiteral("\\.JPG")), QStringLiteral("JPGGrafik"));
    EXPECT_EQ(value(QStringLiteral("\\JPGGrafik")), QStringLiteral("Kandrivel (JPEG)"));
    EXPECT_EQ(value(QStringLiteral("\\JPGGrafik\\Shell\\Open\\Command")), prog + QStringLiteral(" %1"));
    EXPECT_EQ(value(QStringLiteral("\\JPGGrafik\\DefaultIcon")), prog);
    EXPECT_EQ(value(QStringLiteral("\\BMPGrafik\\DefaultIcon")), QStringLiteral("%1"));
    EXPECT_TRUE(IsFileTypeRegistered(QStringLiteral("jpg"), QStringLiteral("jpggrafik")));
    EXPECT_TRUE(IsFileTypeRegistered(QStringLiteral(".JPG"), QStringLiteral("JPGGrafik")));
    EXPECT_FALSE(IsFileTypeRegistered(QStringLiteral("JPEG"), QStringLiteral("JPGGrafik")));
    EXPECT_FALSE(IsFileTypeRegistered(QStringLiteral("JPG"), QStringLiteral("BMPGrafik")));
}

TEST_F(FileTypes, ExtensionWithAndWithoutDotIsOneKey)
{
    RegisterFileType(QStringLiteral("bmp"), QStringLiteral("A"), QStringLiteral("a"), prog, prog);
    RegisterFileType(QStringLiteral(".bmp"), QStringLiteral("B"), QStringLiteral("b"), prog, prog);
    EXPECT_EQ(value(QStringLiteral("\\.bmp")), QStringLiteral("B"));
    EXPECT_FALSE(IsFileTypeRegistered(QStringLiteral("bmp"), QStringLiteral("A")));
    EXPECT_FALSE(value(QStringLiteral("\\..bmp")) != QStringLiteral("<missing>"));
}

TEST_F(FileTypes, UnregisterRemovesOnlyBindingsThatStillPointHere)
{
    RegisterFileType(QStringLiteral("JPG"), QStringLiteral("JPGGrafik"), QStringLiteral("Kandrivel (JPEG)"), prog,
                     prog);
    // Another program takes ".jpg" over, in the registry and on the desktop.
    {
        TRegistry r;
        r.SetRootKey(HKEY_CLASSES_ROOT);
        r.OpenKey(QStringLiteral(".jpg"), false);
        r.WriteString(QString(), QStringLiteral("Other.Image"));
    }
    QString list = QString::fromUtf8(ReadWholeFile(XdgMimeAppsFileName()));
    list.replace(QStringLiteral("image/jpeg=kandrivel.desktop;"), QStringLiteral("image/jpeg=other.desktop;"));
    WriteFileSafely(XdgMimeAppsFileName(), list.toUtf8());

    UnregisterFileType(QStringLiteral("JPG"), QStringLiteral("JPGGrafik"));
    EXPECT_EQ(value(QStringLiteral("\\.JPG")), QStringLiteral("Other.Image"));
    EXPECT_EQ(value(QStringLiteral("\\JPGGrafik")), QStringLiteral("Kandrivel (JPEG)"));
    EXPECT_TRUE(
        QString::fromUtf8(ReadWholeFile(XdgMimeAppsFileName())).contains(QStringLiteral("image/jpeg=other.desktop;")));
}

TEST_F(FileTypes, UnregisterRemovesExtensionAndClass)
{
    RegisterFileType(QStringLiteral("PCX"), QStringLiteral("PCXGrafik"), QStringLiteral("Kandrivel (Paintbrush)"), prog,
                     prog);
    UnregisterFileType(QStringLiteral("pcx"), QStringLiteral("pcxgrafik"));
    EXPECT_EQ(value(QStringLiteral("\\.PCX")), QStringLiteral("<missing>"));
    EXPECT_EQ(value(QStringLiteral("\\PCXGrafik")), QStringLiteral("<missing>"));
    EXPECT_EQ(value(QStringLiteral("\\PCXGrafik\\Shell")), QStringLiteral("<missing>"));
    EXPECT_FALSE(XdgIsDefaultFor(QStringLiteral("image/vnd.zbrush.pcx")));
    EXPECT_FALSE(QFileInfo::exists(XdgDesktopFileName()));  // its last type went
}

TEST_F(FileTypes, DesktopDefaultsAnswerXdgMime)
{
    REQUIRE_TOOLS(QStringLiteral("xdg-mime"));
    // xdg-mime accepts a default only when its program exists and its path has no blank.
    const QString exe = TempDir() + QStringLiteral("/kandrivel");
    WriteFileSafely(exe, "#!/bin/sh\n");
    QFile(exe).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Entries of others in mimeapps.list survive.
    QDir().mkpath(dataHome + QStringLiteral("/applications"));
    for (const char* other : {"editor", "viewer"})
        WriteFileSafely(dataHome + QStringLiteral("/applications/%1.desktop").arg(QLatin1String(other)),
                        "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\n");
    QDir().mkpath(configHome);
    WriteFileSafely(XdgMimeAppsFileName(),
                    "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                    "text/plain=editor.desktop;\nimage/png=viewer.desktop;\n");
    for (const TFileTypeBinding& b : FileTypeBindings)
        for (const char* e : b.Extensions)
            if (e)
                RegisterFileType(QString::fromLatin1(e), QString::fromLatin1(b.ClassName),
                                 QString::fromUtf8(b.Description), b.IconIsFile ? QStringLiteral("%1") : exe, exe);
    for (const char* mime : {"image/jpeg", "image/bmp", "image/vnd.zbrush.pcx", "image/tiff", "image/wmf", "image/emf",
                             "image/vnd.microsoft.icon", "image/x-win-bitmap", "application/x-kandrivel-catalog"})
        EXPECT_EQ(defaultFor(QString::fromLatin1(mime)), QStringLiteral("kandrivel.desktop")) << mime;
    EXPECT_EQ(defaultFor(QStringLiteral("text/plain")), QStringLiteral("editor.desktop"));
    EXPECT_EQ(defaultFor(QStringLiteral("image/png")), QStringLiteral("viewer.desktop"));

    // JPG and JPEG share one type: it stays while either is bound.
    UnregisterFileType(QStringLiteral("JPG"), QStringLiteral("JPGGrafik"));
    EXPECT_EQ(defaultFor(QStringLiteral("image/jpeg")), QStringLiteral("kandrivel.desktop"));
    UnregisterFileType(QStringLiteral("JPEG"), QStringLiteral("JPGGrafik"));
    EXPECT_NE(defaultFor(QStringLiteral("image/jpeg")), QStringLiteral("kandrivel.desktop"));
    EXPECT_FALSE(XdgDesktopMimeTypes().contains(QStringLiteral("image/jpeg")));
    EXPECT_TRUE(XdgDesktopMimeTypes().contains(QStringLiteral("image/bmp")));
    const QString list = QString::fromUtf8(ReadWholeFile(XdgMimeAppsFileName()));
    EXPECT_TRUE(list.contains(QStringLiteral("[Added Associations]\ntext/plain=editor.desktop;")));
}

TEST_F(FileTypes, DesktopEntryIsValid)
{
    REQUIRE_TOOLS(QStringLiteral("desktop-file-validate"));
    RegisterFileType(QStringLiteral("TIFF"), QStringLiteral("TIFFGrafik"), QStringLiteral("Kandrivel (Tiff Bitmap)"),
                     prog, prog);
    RegisterFileType(QStringLiteral("ICO"), QStringLiteral("ICOGrafik"), QStringLiteral("Kandrivel (Microsoft Icon)"),
                     QStringLiteral("%1"), prog);
    QByteArray out, err;
    EXPECT_EQ(RunTool(QStringLiteral("desktop-file-validate"), {XdgDesktopFileName()}, &out, &err), 0)
        << out.constData() << err.constData();
    EXPECT_FALSE(out.contains("error")) << out.constData();
    const QString entry = QString::fromUtf8(ReadWholeFile(XdgDesktopFileName()));
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/Kandrivel Programm/kandrivel\" %f\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("MimeType=image/tiff;image/vnd.microsoft.icon;\n")));

    // Reserved characters in the path are quoted and escaped.
    RegisterFileType(QStringLiteral("WMF"), QStringLiteral("WMFGrafik"), QStringLiteral("Kandrivel (Windows Metafile)"),
                     QStringLiteral("/opt/K$ 100%/kan\"drivel"), QStringLiteral("/opt/K$ 100%/kan\"drivel"));
    EXPECT_EQ(RunTool(QStringLiteral("desktop-file-validate"), {XdgDesktopFileName()}, &out, &err), 0)
        << out.constData() << err.constData();
    const QString quoted = QString::fromUtf8(ReadWholeFile(XdgDesktopFileName()));
    EXPECT_TRUE(quoted.contains(QStringLiteral("Exec=\"/opt/K\\\\$ 100%%/kan\\\\\"drivel\" %f\n")))
        << quoted.toStdString();
    // Removing one type keeps the rest of the entry as it was.
    UnregisterFileType(QStringLiteral("TIFF"), QStringLiteral("TIFFGrafik"));
    const QString after = QString::fromUtf8(ReadWholeFile(XdgDesktopFileName()));
    EXPECT_EQ(after, QString(quoted).replace(QStringLiteral("MimeType=image/tiff;"), QStringLiteral("MimeType=")));
}

TEST_F(FileTypes, CatalogTypeComesFromItsOwnMimePackage)
{
    REQUIRE_TOOLS(QStringLiteral("update-mime-database"));
    RegisterFileType(QStringLiteral("PCA"), QStringLiteral("PCAGrafik"), QStringLiteral("Kandrivel (Katalog)"), prog,
                     prog);
    ASSERT_TRUE(QFileInfo::exists(XdgCatalogPackageFileName()));
    const QString globs = QString::fromUtf8(ReadWholeFile(dataHome + QStringLiteral("/mime/globs2")));
    EXPECT_TRUE(globs.contains(QStringLiteral("application/x-kandrivel-catalog:*.pca"))) << globs.toStdString();
    const QString xml =
        QString::fromUtf8(ReadWholeFile(dataHome + QStringLiteral("/mime/application/x-kandrivel-catalog.xml")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Kandrivel (Katalog)")));

    UnregisterFileType(QStringLiteral("PCA"), QStringLiteral("PCAGrafik"));
    EXPECT_FALSE(QFileInfo::exists(XdgCatalogPackageFileName()));
    const QString after = QString::fromUtf8(ReadWholeFile(dataHome + QStringLiteral("/mime/globs2")));
    EXPECT_FALSE(after.contains(QStringLiteral("x-kandrivel-catalog")));
}

TEST_F(FileTypes, MimeTypesOfTheBoundExtensions)
{
    EXPECT_EQ(XdgMimeTypeForExtension(QStringLiteral("JPG")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(XdgMimeTypeForExtension(QStringLiteral(".jpeg")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(XdgMimeTypeForExtension(QStringLiteral("PCA")), QStringLiteral("application/x-kandrivel-catalog"));
    EXPECT_TRUE(XdgMimeTypeForExtension(QStringLiteral("xyz")).isEmpty());
    // The shared MIME database knows the image types by these names and globs.
    const QString globs = QStringLiteral("/usr/share/mime/globs2");
    REQUIRE_TOOLS(globs);
    const QString db = QString::fromUtf8(ReadWholeFile(globs));
    for (const char* ext : {"jpg", "jpeg", "bmp", "pcx", "tiff", "wmf", "emf", "ico", "cur"}) {
        const QString line = XdgMimeTypeForExtension(QLatin1String(ext)) + QStringLiteral(":*.") + QLatin1String(ext);
        EXPECT_TRUE(db.contains(line)) << line.toStdString();
    }
}
