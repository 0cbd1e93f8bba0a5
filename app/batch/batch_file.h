// Batch files of command records and the image list a batch runs on.
#pragma once
#include "app/commands/command_record.h"
#include "app/options/option_blocks.h"
#include "app/util/directory_walk.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

// Batch files: 1424-byte command records one after another, no header, no count.
// They and the file list live in the data directory.
QString BatchDirectory();
QString BatchFilePath(const QString& recordName);  // the name without ".atm"
// The record files of the data directory, sorted by name.
QStringList BatchFileNames();

// Every whole record of the file; a trailing incomplete record is not read. Raises
// EFOpenError when the file cannot be read and EReadError when it is larger than
// any batch can sensibly be.
std::vector<tautomatitem> ReadBatchFile(const QString& path);
// Writes the blocks (each 1424 bytes) in order through a temporary file.
void WriteBatchFile(const QString& path, const std::vector<QByteArray>& blocks);

// The format box of the batch dialog: index → extension and parameter page.
struct TBatchFormat {
    const char* ext;
    int pages;
};
// Out-of-range indexes (a damaged block) read as JPG.
const TBatchFormat& BatchFormat(int index);
constexpr int kBatchFormatCount = 5;

// directory + start name + the counter padded with "0" to at least four digits.
QString NumberedName(const QString& directory, const QString& startName, int counter);

// The image files of a directory, entries sorted by name, subdirectories (not those
// beginning with ".", never through symbolic links) searched where they stand in
// that order. types: JPEG, BMP, PCX, GIF, TIFF, WMF, EMF, ICO, CUR, PNG.
// visit, if given, runs before each directory is read (see CollectFiles).
QStringList CollectDirectory(const QString& directory, const std::array<uint8_t, 10>& types, bool subdirs,
                             const TDirectoryVisit& visit = {}, bool* stopped = nullptr);

// "verz.sld": one full file name a line, lines ended by CR LF. Reading accepts LF
// alone, skips empty lines and raises EFOpenError when the file is missing.
QString FileListPath();
QStringList ReadFileList(const QString& path);
void WriteFileList(const QString& path, const QStringList& names);

// Where the after-processing "into a directory" saves one image.
struct TTargetName {
    enum Kind { Save, Skip, TooLong } kind = Save;
    QString name;  // base + extension
};
// sourceFile: the file the image was loaded from, empty for scanned and new images;
// they get a numbered name and the format box's extension whatever the settings say.
// exists tells whether a file is there; counter moves on as the rule increments.
TTargetName ResolveTargetName(const tautodialog& settings, const QString& directory, const QString& sourceFile,
                              int& counter, const std::function<bool(const QString&)>& exists);
