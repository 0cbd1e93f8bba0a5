// Desktop entries, mimeapps.list and the MIME package behind file-type bindings.
#include "platform/system/xdg_file_types.h"

#include "platform/core/streams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kDefaultSection = QStringLiteral("[Default Applications]");

QString envDir(const char* name, const QString& fallback)
{
    const QString v = qEnvironmentVariable(name);
    // Relative values are not allowed for these variables; they are ignored.
    if (!v.isEmpty() && QDir::isAbsolutePath(v))
        return v;
    return QDir::homePath() + fallback;
}

QStringList readLines(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    return QString::fromUtf8(ReadWholeFile(fileName)).split(QLatin1Char('\n'));
}

void writeLines(const QString& fileName, QStringList lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    WriteFileSafely(fileName, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

// Escapes a value of a desktop entry: Exec quoting first, then the general escapes.
// A path without reserved characters stays bare, as simpler readers of Exec expect.
QString execQuote(const QString& path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !path.isEmpty();
    for (QChar c : path)
        if (reserved.contains(c))
            plain = false;
    QString q;
    if (plain) {
        q = path;
        q.replace(QLatin1Char('%'), QStringLiteral("%%"));
        return q;
    }
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c;
    }
    q = QLatin1Char('"') + q + QLatin1Char('"');
    q.replace(QLatin1Char('%'), QStringLiteral("%%"));
    q.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    q.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return q;
}

void writeDesktopFile(const QString& programPath, const QStringList& mimeTypes)
{
    QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Kandrivel"),
        QStringLiteral("GenericName=Image Viewer"),
        QStringLiteral("GenericName[de]=Bildbetrachter"),
        QStringLiteral("Comment=View and edit raster images"),
        QStringLiteral("Comment[de]=Rasterbilder ansehen und bearbeiten"),
        QStringLiteral("Exec=") + execQuote(programPath) + QStringLiteral(" %f"),
        QStringLiteral("Terminal=false"),
        QStringLiteral("Categories=Graphics;RasterGraphics;Viewer;"),
        QStringLiteral("MimeType=") + mimeTypes.join(QLatin1Char(';')) + QLatin1Char(';'),
    };
    writeLines(XdgDesktopFileName(), lines);
}

// Rewrites only the type list of the existing entry.
void writeDesktopMimeTypes(const QStringList& mimeTypes)
{
    QStringList lines = readLines(XdgDesktopFileName());
    for (QString& l : lines)
        if (l.startsWith(QLatin1String("MimeType=")))
            l = QStringLiteral("MimeType=") + mimeTypes.join(QLatin1Char(';')) + QLatin1Char(';');
    writeLines(XdgDesktopFileName(), lines);
}

void updateMimeDatabase()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty())
        return;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, {QDir(XdgDataHome()).filePath(QStringLiteral("mime"))});
    p.waitForFinished(60000);
}

void writeCatalogPackage(const QString& description)
{
    QString comment = description.toHtmlEscaped();
    const QStringList lines = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"),
        QStringLiteral("  <mime-type type=\"") + XdgCatalogMimeType() + QStringLiteral("\">"),
        QStringLiteral("    <comment>") + comment + QStringLiteral("</comment>"),
        QStringLiteral("    <glob pattern=\"*.pca\"/>"),
        QStringLiteral("  </mime-type>"),
        QStringLiteral("</mime-info>"),
    };
    writeLines(XdgCatalogPackageFileName(), lines);
    updateMimeDatabase();
}

// The entries of a type in mimeapps.list's default section; -1 when absent.
int findDefaultLine(const QStringList& lines, const QString& mimeType, int* sectionLine)
{
    *sectionLine = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            inSection = t == kDefaultSection;
            if (inSection)
                *sectionLine = i;
            continue;
        }
        if (inSection && t.section(QLatin1Char('='), 0, 0).trimmed() == mimeType && t.contains(QLatin1Char('=')))
            return i;
    }
    return -1;
}

QStringList entriesOf(const QString& line)
{
    return line.section(QLatin1Char('='), 1).trimmed().split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

}  // namespace

QString XdgDesktopId() { return QStringLiteral("kandrivel.desktop"); }
QString XdgDataHome() { return envDir("XDG_DATA_HOME", QStringLiteral("/.local/share")); }
QString XdgConfigHome() { return envDir("XDG_CONFIG_HOME", QStringLiteral("/.config")); }
QString XdgDesktopFileName() { return XdgDataHome() + QStringLiteral("/applications/") + XdgDesktopId(); }
QString XdgMimeAppsFileName() { return XdgConfigHome() + QStringLiteral("/mimeapps.list"); }
QString XdgCatalogPackageFileName() { return XdgDataHome() + QStringLiteral("/mime/packages/kandrivel-catalog.xml"); }
QString XdgCatalogMimeType() { return QStringLiteral("application/x-kandrivel-catalog"); }

QString XdgMimeTypeForExtension(const QString& extension)
{
    QString e = extension.toLower();
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    if (e == QLatin1String("jpg") || e == QLatin1String("jpeg"))
        return QStringLiteral("image/jpeg");
    if (e == QLatin1String("bmp"))
        return QStringLiteral("image/bmp");
    if (e == QLatin1String("pcx"))
        return QStringLiteral("image/vnd.zbrush.pcx");
    if (e == QLatin1String("tif") || e == QLatin1String("tiff"))
        return QStringLiteral("image/tiff");
    if (e == QLatin1String("wmf"))
        return QStringLiteral("image/wmf");
    if (e == QLatin1String("emf"))
        return QStringLiteral("image/emf");
    if (e == QLatin1String("ico"))
        return QStringLiteral("image/vnd.microsoft.icon");
    if (e == QLatin1String("cur"))
        return QStringLiteral("image/x-win-bitmap");
    if (e == QLatin1String("png"))
        return QStringLiteral("image/png");
    if (e == QLatin1String("pca"))
        return XdgCatalogMimeType();
    return QString();
}

QStringList XdgDesktopMimeTypes()
{
    for (const QString& l : readLines(XdgDesktopFileName()))
        if (l.startsWith(QLatin1String("MimeType=")))
            return l.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return {};
}

void XdgRegisterMimeType(const QString& mimeType, const QString& programPath, const QString& description)
{
    if (mimeType.isEmpty())
        return;
    QStringList types = XdgDesktopMimeTypes();
    if (!types.contains(mimeType))
        types.append(mimeType);
    writeDesktopFile(programPath, types);

    QStringList lines = readLines(XdgMimeAppsFileName());
    int section = -1;
    const int at = findDefaultLine(lines, mimeType, &section);
    QStringList entries = at >= 0 ? entriesOf(lines[at]) : QStringList();
    entries.removeAll(XdgDesktopId());
    entries.prepend(XdgDesktopId());
    const QString line = mimeType + QLatin1Char('=') + entries.join(QLatin1Char(';')) + QLatin1Char(';');
    if (at >= 0) {
        lines[at] = line;
    } else if (section >= 0) {
        lines.insert(section + 1, line);
    } else {
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(kDefaultSection);
        lines.append(line);
    }
    writeLines(XdgMimeAppsFileName(), lines);

    if (mimeType == XdgCatalogMimeType())
        writeCatalogPackage(description);
}

void XdgUnregisterMimeType(const QString& mimeType)
{
    if (mimeType.isEmpty())
        return;
    QStringList lines = readLines(XdgMimeAppsFileName());
    int section = -1;
    const int at = findDefaultLine(lines, mimeType, &section);
    if (at >= 0) {
        QStringList entries = entriesOf(lines[at]);
        // Another program that took the type over keeps it.
        if (!entries.isEmpty() && entries.first() == XdgDesktopId()) {
            entries.removeFirst();
            if (entries.isEmpty())
                lines.removeAt(at);
            else
                lines[at] = mimeType + QLatin1Char('=') + entries.join(QLatin1Char(';')) + QLatin1Char(';');
            writeLines(XdgMimeAppsFileName(), lines);
        }
    }

    QStringList types = XdgDesktopMimeTypes();
    if (types.removeAll(mimeType) > 0) {
        if (types.isEmpty())
            QFile::remove(XdgDesktopFileName());
        else
            writeDesktopMimeTypes(types);
    }

    if (mimeType == XdgCatalogMimeType() && QFileInfo(XdgCatalogPackageFileName()).isFile()) {
        QFile::remove(XdgCatalogPackageFileName());
        updateMimeDatabase();
    }
}

bool XdgIsDefaultFor(const QString& mimeType)
{
    const QStringList lines = readLines(XdgMimeAppsFileName());
    int section = -1;
    const int at = findDefaultLine(lines, mimeType, &section);
    if (at < 0)
        return false;
    const QStringList entries = entriesOf(lines[at]);
    return !entries.isEmpty() && entries.first() == XdgDesktopId();
}
