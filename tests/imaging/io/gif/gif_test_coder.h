// An LZW coder for GIF pixel data, written for the tests only: the program itself ships
// none, and the tests plug this one in to exercise the block structure on real files.
#pragma once

#include "imaging/io/io_params.h"

void TestGifLzwDecompress(TStream& stream, int height, int width, uint8_t* buffer, bool interlaced);
void TestGifLzwCompress(TStream& stream, int height, int width, int bitsPerPixel, const uint8_t* buffer,
                        bool interlaced);

// Registers the coder for the lifetime of the object (records made meanwhile carry it).
struct TTestGifCoder {
    TTestGifCoder();
    ~TTestGifCoder();
};
