// Private glue between the PNG library and our streams. The library's error function
// longjmps to a jump buffer of ours (never throws through the library's frames); every
// record here lives on the heap, so that jump skips no C++ destructor.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <exception>
#include <vector>

#include <png.h>

class TStream;

struct TPngIo {
    jmp_buf jump;
    char message[128] = {};          // the library's last error text
    std::exception_ptr streamError;  // a stream exception caught inside a callback
    TStream* stream = nullptr;
    // Read-ahead, handed back to the stream after a clean read.
    std::vector<uint8_t> buffer;
    size_t pos = 0;
    size_t len = 0;
    // Raw bKGD chunk, which we interpret ourselves (see the reader).
    uint8_t bkgd[6] = {};
    int bkgdLength = -1;
    // Pixels named palette entries the file does not have (reported as a warning).
    bool badPaletteIndex = false;
};

// Callbacks; the io record is the library's error and input/output pointer.
void PngErrorFn(png_structp png, png_const_charp message);
void PngWarningFn(png_structp png, png_const_charp message);
void PngReadFn(png_structp png, png_bytep data, size_t length);
void PngWriteFn(png_structp png, png_bytep data, size_t length);
void PngFlushFn(png_structp png);
int PngUserChunkFn(png_structp png, png_unknown_chunkp chunk);

// Seeks the stream back over bytes read ahead but not used.
void ReturnUnusedPngInput(TPngIo& io);
