// Packed device-independent bitmaps: making, packing and unpacking them.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Packed device-independent bitmap: a 40-byte header, the colour table, the rows bottom-up
// (each padded to four bytes), and four spare zero bytes at the end. It is how images
// travel through the clipboard, the multi-image store and scanner and camera frames.

// Packs x1..x2, y1..y2 (inclusive) of a bitmap; x2 = 0 means width − 1 and y2 = 0 height − 1,
// so four zeros pack the whole image. 1-bit bitmaps give a 1-bit DIB with the table
// (black, white); every other format is written as 24 bits. Empty when nothing of the
// rectangle lies inside the bitmap.
QByteArray BitmapRectToDIB(const TBitmap* bitmap, int x1, int y1, int x2, int y2);
// The same with the corners taken as they are (clamped to the bitmap).
QByteArray BitmapAreaToDIB(const TBitmap* bitmap, int x1, int y1, int x2, int y2);

// A fresh packed DIB of w × h pixels at 1, 8 or 24 bits per pixel: header and colour table
// (1 bit: black, white; 8 bits: a grey ramp) written, the rows zero. Empty for other depths
// or a block past 2 GiB. DIBPixels points at the stored rows (the bottom row first).
// With zeroRows false the rows are left as they come from the allocator, for a caller that
// writes every byte of every row, padding included.
QByteArray NewPackedDIB(int width, int height, int bitsPerPixel, bool zeroRows = true);
uint8_t* DIBPixels(QByteArray& dib);

// Reads a packed DIB into the bitmap and returns its bits per pixel. Every field is
// checked against the block; a bad block raises EInvalidGraphic and leaves the bitmap
// as it was. 1-bit DIBs with the table (black, white) or (white, black) stay 1-bit;
// every other DIB becomes 24-bit. Bottom-up and top-down (negative height) DIBs are read.
int DIBToBitmap(const uint8_t* block, size_t size, TBitmap* bitmap);
int DIBToBitmap(const QByteArray& block, TBitmap* bitmap);
// Header (with its masks and colour table) and pixel rows in two separate blocks.
int DIBToBitmap(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, TBitmap* bitmap);

// A BMP file made of a packed DIB: the 14-byte file header in front.
QByteArray DIBToBMPFile(const QByteArray& dib);
// Reads a BMP file held in memory (file header checked, pixel offset honoured) through
// the DIB reader; raises EInvalidGraphic for a bad file.
int BMPFileToBitmap(const QByteArray& file, TBitmap* bitmap);
