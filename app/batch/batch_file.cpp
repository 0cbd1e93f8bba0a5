// Reading and writing batch files and collecting the images a batch runs on.
#include "app/batch/batch_file.h"

#include "app/util/paths.h"
#include "app/util/text_lines.h"
#include "imaging/io/codec_table.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// A batch of more records than this is no recording anyone made.
constexpr qint64 kMaxBatchBytes = qint64(tautomatitem::Size) * 100'000;

constexpr TBatchFormat kFormats[kBatchFormatCount] = {
    {".jpg", 4}, {".bmp", 32}, {".pcx", 64}, {".tiff", 8}, {".png", 128}};

// Extension → index of its type flag.
struct TTypeExt {
    const char* ext;
    int flag;
};
constexpr TTypeExt kTypeExts[] = {{".jpg", 0},  {".jpeg", 0}, {".bmp", 1}, {".pcx", 2}, {".gif", 3}, {".tif", 4},
                                  {".tiff", 4}, {".wmf", 5},  {".emf", 6}, {".ico", 7}, {".cur", 8}, {".png", 9}};

int typeFlagOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return -1;
    const QString ext = name.mid(dot).toLower();
    for (const TTypeExt& t : kTypeExts)
        if (ext == QLatin1String(t.ext))
            return t.flag;
    return -1;
}

// The extension of a file the image came from, when it can be written back as such.
QString writableExtension(const QString& fileName)
{
    const QFileInfo fi(fileName);
    if (fi.suffix().isEmpty())
        return {};
    const TCodec* codec = CodecForFileName(fileName);
    if (!codec || !codec->OwnWriter || !codec->Write)
        return {};
    return QLatin1Char('.') + fi.suffix();
}

bool fits(const QString& name)
{
    tautomatitem probe;
    return probe.SetFileName(name);
}

}  // namespace

QString BatchDirectory() { return WindowsDirectory(); }

QString BatchFilePath(const QString& recordName) { return BatchDirectory() + recordName + QStringLiteral(".atm"); }

QStringList BatchFileNames()
{
    QStringList names;
    for (const QFileInfo& fi : QDir(BatchDirectory()).entryInfoList({QStringLiteral("*.atm")}, QDir::Files, QDir::Name))
        names << fi.fileName();
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<tautomatitem> ReadBatchFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    if (f.size() > kMaxBatchBytes)
        throw EReadError(QStringLiteral("The batch file \"%1\" is too large.").arg(path));
    const QByteArray data = f.readAll();
    std::vector<tautomatitem> items;
    for (qsizetype pos = 0; pos + tautomatitem::Size <= data.size(); pos += tautomatitem::Size) {
        tautomatitem item;
        item.FromBytes(data.mid(pos, tautomatitem::Size));
        items.push_back(item);
    }
    return items;
}

void WriteBatchFile(const QString& path, const std::vector<QByteArray>& blocks)
{
    TSafeFileStream s(path);
    for (const QByteArray& b : blocks) {
        if (b.size() != tautomatitem::Size)
            throw EWriteError(QStringLiteral("A batch record must have %1 bytes.").arg(tautomatitem::Size));
        s.WriteBuffer(b.constData(), b.size());
    }
    s.Commit();
}

const TBatchFormat& BatchFormat(int index) { return kFormats[index >= 0 && index < kBatchFormatCount ? index : 0]; }

QString NumberedName(const QString& directory, const QString& startName, int counter)
{
    return AddTrailingBackslash(directory) + startName + QString::number(counter).rightJustified(4, QLatin1Char('0'));
}

QStringList CollectDirectory(const QString& directory, const std::array<uint8_t, 10>& types, bool subdirs,
                             const TDirectoryVisit& visit, bool* stopped)
{
    const auto accept = [&types](const QString& name) {
        const int flag = typeFlagOf(name);
        return flag >= 0 && types[size_t(flag)] != 0;
    };
    return CollectFiles(directory, subdirs, Qt::CaseSensitive, accept, visit, stopped);
}

QString FileListPath() { return BatchDirectory() + QStringLiteral("verz.sld"); }

QStringList ReadFileList(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    if (f.size() > MaxNameListBytes)
        throw EReadError(QStringLiteral("The file list \"%1\" is too large.").arg(path));
    return SplitNameLines(f.read(MaxNameListBytes));
}

void WriteFileList(const QString& path, const QStringList& names) { WriteFileSafely(path, JoinNameLines(names)); }

TTargetName ResolveTargetName(const tautodialog& s, const QString& directory, const QString& sourceFile, int& counter,
                              const std::function<bool(const QString&)>& exists)
{
    const bool hasSource = !sourceFile.isEmpty();
    QString ext = s.keepformat && hasSource ? writableExtension(sourceFile) : QString();
    if (ext.isEmpty())
        ext = QString::fromLatin1(BatchFormat(s.formatindex).ext);
    QString base;
    if (s.keepnames && hasSource) {
        const QFileInfo fi(sourceFile);
        base = fi.suffix().isEmpty() ? sourceFile : sourceFile.left(sourceFile.size() - fi.suffix().size() - 1);
    } else {
        base = NumberedName(directory, s.startname.Text(), counter);
    }
    TTargetName t;
    if (exists(base + ext)) {
        switch (s.existing) {
        case 0: break;
        case 1:
            do {
                ++counter;
                base = NumberedName(directory, s.startname.Text(), counter);
                // A name too long now stays too long: the counter only grows.
                if (!fits(base + ext))
                    break;
            } while (exists(base + ext));
            break;
        default: t.kind = TTargetName::Skip; return t;
        }
    }
    t.name = base + ext;
    // The record holds 255 bytes of name; the checked name must be the one saved.
    if (!fits(t.name))
        t.kind = TTargetName::TooLong;
    return t;
}
