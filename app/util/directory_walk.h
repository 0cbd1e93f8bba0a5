// Collecting the files of a directory tree for the features that run over one (batches,
// slide shows), with the events running between its folders.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Runs before each directory is read with the number of files found so far; returning
// false ends the walk there.
using TDirectoryVisit = std::function<bool(const QString& directory, int found)>;
// Whether a file (by its name) belongs to the result.
using TFileAccept = std::function<bool(const QString& fileName)>;

// The accepted files below the directory, full paths, entries in name order (letter
// case deciding as `order` says) and subdirectories searched where they stand in that
// order, when `subdirs` is set, except those beginning with "." and symbolic links (a
// link may lead back up the tree). stopped (if given) tells whether visit ended the walk.
QStringList CollectFiles(const QString& directory, bool subdirs, Qt::CaseSensitivity order, const TFileAccept& accept,
                         const TDirectoryVisit& visit = {}, bool* stopped = nullptr);
