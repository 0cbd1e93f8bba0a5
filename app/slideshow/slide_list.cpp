// The slide list file, the directory walk of a show and the orders it plays in.
#include "app/slideshow/slide_list.h"

#include "app/options/option_blocks.h"
#include "app/util/directory_walk.h"
#include "app/util/text_lines.h"
#include "platform/core/data_directory.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <utility>

TSlideRandom DefaultSlideRandom()
{
    return [](int n) { return n > 0 ? int(QRandomGenerator::global()->bounded(n)) : 0; };
}

QString SlideListFileName() { return QDir(DataDirectory()).filePath(QStringLiteral("slide.sld")); }

QStringList ReadSlideList(const QString& fileName)
{
    QFile f(fileName);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        throw EReadError(QStringLiteral("Cannot read %1: %2").arg(fileName, f.errorString()));
    if (f.size() > MaxNameListBytes)
        throw EReadError(QStringLiteral("%1 is too large for a slide list").arg(fileName));
    return SplitNameLines(f.read(MaxNameListBytes));
}

void WriteSlideList(const QString& fileName, const QStringList& files)
{
    WriteFileSafely(fileName, JoinNameLines(files));
}

bool SlideFileTypeIncluded(const QString& fileName, const tslideshowoptions& options)
{
    // Extension → index of its flag (jpg, bmp, pcx, gif, tiff, wmf, emf, ico, cur, png).
    static const std::pair<const char*, int> kTypes[] = {
        {"jpg", 0},  {"jpeg", 0}, {"bmp", 1}, {"pcx", 2}, {"gif", 3}, {"tif", 4},
        {"tiff", 4}, {"wmf", 5},  {"emf", 6}, {"ico", 7}, {"cur", 8}, {"png", 9},
    };
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || fileName.indexOf(QLatin1Char('/'), dot) >= 0)
        return false;
    const QString ext = fileName.mid(dot + 1).toLower();
    for (const auto& [name, index] : kTypes)
        if (ext == QLatin1String(name))
            return options.types[size_t(index)] != 0;
    return false;
}


QStringList CollectSlideDirectory(const QString& directory, const tslideshowoptions& options,
                                  const TDirectoryVisit& visit, bool* stopped)
{
    const auto accept = [&options](const QString& name) { return SlideFileTypeIncluded(name, options); };
    return CollectFiles(directory, options.subdirs != 0, Qt::CaseInsensitive, accept, visit, stopped);
}

void SortSlidesByName(QStringList& files)
{
    std::stable_sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

void ShuffleSlides(QStringList& files, const TSlideRandom& random)
{
    const int n = int(files.size());
    for (int i = 0; i < n; ++i) {
        const int j = random(n);
        if (j >= 0 && j < n)
            files.swapItemsAt(i, j);
    }
}

void SortSlides(QStringList& files, int sort, const TSlideRandom& random)
{
    if (sort == slsName)
        SortSlidesByName(files);
    else if (sort == slsRandom)
        ShuffleSlides(files, random);
}
