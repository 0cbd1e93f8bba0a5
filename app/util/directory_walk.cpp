// The directory walk that batches and slide shows share.
#include "app/util/directory_walk.h"

#include "app/util/paths.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// False when the visitor stopped the walk.
bool collect(const QString& dir, bool subdirs, Qt::CaseSensitivity order, const TFileAccept& accept,
             const TDirectoryVisit& visit, QStringList& out)
{
    if (visit && !visit(dir, int(out.size())))
        return false;
    QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    // The platform's order is arbitrary; name order makes runs repeatable.
    std::stable_sort(entries.begin(), entries.end(), [order](const QFileInfo& a, const QFileInfo& b) {
        const int c = QString::compare(a.fileName(), b.fileName(), order);
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
    for (const QFileInfo& fi : entries) {
        if (fi.isDir()) {
            if (subdirs && !fi.isSymLink() && !fi.fileName().startsWith(QLatin1Char('.')) &&
                !collect(fi.filePath(), subdirs, order, accept, visit, out))
                return false;
            continue;
        }
        if (fi.isFile() && accept(fi.fileName()))
            out << AddTrailingBackslash(dir) + fi.fileName();
    }
    return true;
}

}  // namespace

QStringList CollectFiles(const QString& directory, bool subdirs, Qt::CaseSensitivity order, const TFileAccept& accept,
                         const TDirectoryVisit& visit, bool* stopped)
{
    QStringList out;
    const bool whole = directory.isEmpty() || collect(directory, subdirs, order, accept, visit, out);
    if (stopped)
        *stopped = !whole;
    return out;
}
