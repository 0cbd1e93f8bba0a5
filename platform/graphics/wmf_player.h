// A small player for Windows metafile records over QPainter, covering what real files
// use: placeable header, window origin and extent, pens, brushes, fonts, object
// selection, lines, rectangles, ellipses, arcs, pies, chords, polygons, text and DIB
// blits. Every record length, count and offset is checked against the data.
#pragma once

#include "platform/core/geometry.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>

class QPainter;

struct TWmfInfo {
    bool Placeable = false;
    int BoxLeft = 0, BoxTop = 0, BoxRight = 0, BoxBottom = 0;
    int Inch = 0;               // logical units per inch (placeable files)
    int64_t RecordsOffset = 0;  // first record after the headers
};

// Checks the headers; raises EInvalidGraphic when the data are not a metafile.
TWmfInfo ParseWmfHeader(const QByteArray& data);
// Plays the records, mapping the metafile's window onto dest.
void PlayWmf(const QByteArray& data, const TWmfInfo& info, QPainter& painter, const TRect& dest);

// A device-independent bitmap block (header, colours, pixels) as ARGB32; rows is the
// number of pixel rows to decode (0: from the header). Raises EInvalidGraphic.
QImage DecodeWmfDib(const uint8_t* data, size_t size, int rows = 0, size_t* pixelEnd = nullptr);
