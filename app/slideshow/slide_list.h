// Slide lists: the list file, the files of a directory, sorting and shuffling.
#pragma once
#include "app/util/directory_walk.h"

#include <QString>
#include <QStringList>
#include <functional>

struct tslideshowoptions;

// A uniform draw from 0 … n − 1 (n > 0). Shows and the options dialog take one so that
// tests can replay a random order.
using TSlideRandom = std::function<int(int n)>;
TSlideRandom DefaultSlideRandom();

// "slide.sld" in the data directory: the list a list-driven show plays.
QString SlideListFileName();

// A list file: one full path per line, lines ended by CR LF. A missing file gives an
// empty list; lines are read as UTF-8 and a bare LF ends a line too. Raises EReadError
// for a file that is there but cannot be read or is larger than MaxNameListBytes.
QStringList ReadSlideList(const QString& fileName);
// Written through a temporary file; the old file stays when writing fails.
void WriteSlideList(const QString& fileName, const QStringList& files);

// Whether a file name counts under the block's type flags (".tif" and ".tiff" both
// under the TIFF flag).
bool SlideFileTypeIncluded(const QString& fileName, const tslideshowoptions& options);

// Every matching file below the directory, full paths, in directory order (by name).
// Subdirectories are entered when the block says so, except those whose name begins
// with "." and symbolic links to directories (a link loop would never end). visit runs
// before each directory and may end the walk (CollectFiles).
QStringList CollectSlideDirectory(const QString& directory, const tslideshowoptions& options,
                                  const TDirectoryVisit& visit = {}, bool* stopped = nullptr);

// List orders of the options: 0 none, 1 random, 2 by name.
enum TSlideSort { slsNone = 0, slsRandom = 1, slsName = 2 };
// By name: case-insensitive as a sorted list box orders, the exact name breaking ties.
void SortSlidesByName(QStringList& files);
// Each position from first to last swaps with a uniformly drawn one of the whole list.
void ShuffleSlides(QStringList& files, const TSlideRandom& random);
void SortSlides(QStringList& files, int sort, const TSlideRandom& random);
