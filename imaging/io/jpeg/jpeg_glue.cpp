// Glue between the JPEG library and our streams: errors, source and destination.
#include "imaging/io/jpeg/jpeg_glue.h"

#include "platform/core/streams.h"

#include <QString>

namespace {

constexpr size_t kIoBufferSize = 64 * 1024;

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<TJpegErrorMgr*>(cinfo->err);
    err->code = cinfo->err->msg_code;
    err->text[0] = 0;
    if (err->libraryFormat)
        err->libraryFormat(cinfo, err->text);
    longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr, int) {}
void outputMessage(j_common_ptr) {}
void formatMessage(j_common_ptr, char* buffer)
{
    if (buffer)
        buffer[0] = 0;
}
void resetErrorMgr(j_common_ptr cinfo)
{
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

// --- source over a stream ---

void initSource(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
    src->startOfFile = true;
    src->padded = false;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
    int64_t got = 0;
    bool failed = false;
    try {
        got = src->stream->Read(src->buffer.data(), int64_t(src->buffer.size()));
    } catch (...) {
        src->err->streamError = std::current_exception();
        failed = true;
    }
    if (failed)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (got <= 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // Premature end: the library pads with an end-of-image marker and warns.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->padded = true;
        src->buffer[0] = JOCTET(0xFF);
        src->buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
    }
    src->pub.next_input_byte = src->buffer.data();
    src->pub.bytes_in_buffer = size_t(got);
    src->startOfFile = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
    if (count <= 0)
        return;
    while (count > long(src->pub.bytes_in_buffer)) {
        count -= long(src->pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += size_t(count);
    src->pub.bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) {}

// --- destination over a stream ---

void writeOut(j_compress_ptr cinfo, TJpegDestination* dest, size_t count)
{
    bool failed = false;
    try {
        dest->stream->WriteBuffer(dest->buffer.data(), int64_t(count));
    } catch (...) {
        dest->err->streamError = std::current_exception();
        failed = true;
    }
    if (failed)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer.data();
    dest->pub.free_in_buffer = dest->buffer.size();
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    writeOut(cinfo, dest, dest->buffer.size());
    dest->pub.next_output_byte = dest->buffer.data();
    dest->pub.free_in_buffer = dest->buffer.size();
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    const size_t used = dest->buffer.size() - dest->pub.free_in_buffer;
    if (used > 0)
        writeOut(cinfo, dest, used);
}

}  // namespace

void InitJpegErrorMgr(TJpegErrorMgr& err)
{
    jpeg_std_error(&err.pub);
    err.libraryFormat = err.pub.format_message;
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.pub.format_message = formatMessage;
    err.pub.reset_error_mgr = resetErrorMgr;
    err.code = 0;
}

void AttachJpegSource(j_decompress_ptr cinfo, TJpegSource& src, TStream& stream, TJpegErrorMgr& err)
{
    src.stream = &stream;
    src.err = &err;
    src.buffer.resize(kIoBufferSize);
    src.pub.init_source = initSource;
    src.pub.fill_input_buffer = fillInputBuffer;
    src.pub.skip_input_data = skipInputData;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = termSource;
    src.pub.bytes_in_buffer = 0;
    src.pub.next_input_byte = nullptr;
    cinfo->src = &src.pub;
}

void ReturnUnusedJpegInput(TJpegSource& src)
{
    // The two padding bytes of a premature end never came from the stream; a stream
    // that ran dry has nothing to give back anyway.
    if (!src.padded && src.pub.bytes_in_buffer > 0 && src.stream) {
        try {
            src.stream->Seek(-int64_t(src.pub.bytes_in_buffer), soFromCurrent);
        } catch (...) {}
        src.pub.bytes_in_buffer = 0;
    }
}

void AttachJpegDestination(j_compress_ptr cinfo, TJpegDestination& dest, TStream& stream, TJpegErrorMgr& err)
{
    dest.stream = &stream;
    dest.err = &err;
    dest.buffer.resize(kIoBufferSize);
    dest.pub.init_destination = initDestination;
    dest.pub.empty_output_buffer = emptyOutputBuffer;
    dest.pub.term_destination = termDestination;
    cinfo->dest = &dest.pub;
}

QString JpegErrorMessage(const TJpegErrorMgr& err)
{
    if (!err.text[0])
        return JpegErrorMessage(err.code);
    return QStringLiteral("Unrecognized JPeg - ") + QString::fromLocal8Bit(err.text);
}

QString JpegErrorMessage(int code)
{
    // The text of a code without its parameters.
    jpeg_error_mgr mgr;
    jpeg_std_error(&mgr);
    jpeg_common_struct common{};
    common.err = &mgr;
    mgr.msg_code = code;
    char text[JMSG_LENGTH_MAX] = {};
    mgr.format_message(&common, text);
    return QStringLiteral("Unrecognized JPeg - ") + QString::fromLocal8Bit(text);
}
