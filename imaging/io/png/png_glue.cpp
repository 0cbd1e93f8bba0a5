// Glue between the PNG library and our streams: errors, reads and writes.
#include "imaging/io/png/png_glue.h"

#include "platform/core/streams.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kReadAhead = 64 * 1024;

TPngIo* ioOf(png_structp png) { return static_cast<TPngIo*>(png_get_io_ptr(png)); }

}  // namespace

void PngErrorFn(png_structp png, png_const_charp message)
{
    auto* io = static_cast<TPngIo*>(png_get_error_ptr(png));
    std::strncpy(io->message, message ? message : "", sizeof io->message - 1);
    io->message[sizeof io->message - 1] = 0;
    longjmp(io->jump, 1);
}

void PngWarningFn(png_structp png, png_const_charp message)
{
    // Warnings stay silent; the one about indices past the palette marks the file bad.
    auto* io = static_cast<TPngIo*>(png_get_error_ptr(png));
    if (io && message && std::strstr(message, "palette index exceeding"))
        io->badPaletteIndex = true;
}

void PngReadFn(png_structp png, png_bytep data, size_t length)
{
    TPngIo* io = ioOf(png);
    bool failed = false;
    while (length > 0 && !failed) {
        if (io->pos == io->len) {
            if (io->buffer.size() < kReadAhead)
                io->buffer.resize(kReadAhead);
            int64_t got = 0;
            try {
                // Large requests go straight to the caller's memory.
                if (length >= io->buffer.size()) {
                    got = io->stream->Read(data, int64_t(length));
                    if (got <= 0)
                        failed = true;
                    else {
                        data += got;
                        length -= size_t(got);
                    }
                    continue;
                }
                got = io->stream->Read(io->buffer.data(), int64_t(io->buffer.size()));
            } catch (...) {
                io->streamError = std::current_exception();
                failed = true;
                break;
            }
            if (got <= 0) {
                failed = true;
                break;
            }
            io->pos = 0;
            io->len = size_t(got);
        }
        const size_t n = std::min(length, io->len - io->pos);
        std::memcpy(data, io->buffer.data() + io->pos, n);
        io->pos += n;
        data += n;
        length -= n;
    }
    if (failed)
        png_error(png, "the file is truncated");
}

void PngWriteFn(png_structp png, png_bytep data, size_t length)
{
    TPngIo* io = ioOf(png);
    bool failed = false;
    try {
        io->stream->WriteBuffer(data, int64_t(length));
    } catch (...) {
        io->streamError = std::current_exception();
        failed = true;
    }
    if (failed)
        png_error(png, "Write Error");
}

void PngFlushFn(png_structp) {}

int PngUserChunkFn(png_structp png, png_unknown_chunkp chunk)
{
    auto* io = static_cast<TPngIo*>(png_get_user_chunk_ptr(png));
    for (const char* dropped : {"gAMA", "sRGB", "iCCP", "cHRM"})
        if (std::memcmp(chunk->name, dropped, 4) == 0)
            return 1;
    if (std::memcmp(chunk->name, "bKGD", 4) != 0)
        return 0;  // not ours: the library's default handling
    // A zero-length chunk comes without a data pointer.
    if (chunk->size > 0 && chunk->size <= sizeof io->bkgd) {
        std::memcpy(io->bkgd, chunk->data, chunk->size);
        io->bkgdLength = int(chunk->size);
    } else if (chunk->size == 0) {
        io->bkgdLength = 0;
    }
    return 1;
}

void ReturnUnusedPngInput(TPngIo& io)
{
    if (io.pos < io.len && io.stream) {
        try {
            io.stream->Seek(-int64_t(io.len - io.pos), soFromCurrent);
        } catch (...) {}
    }
    io.pos = io.len = 0;
}
