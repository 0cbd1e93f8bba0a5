// Private glue between the JPEG library and our streams: an error manager that leaves
// the library's frames by longjmp (never by throwing through them), and source and
// destination managers over TStream. Everything here lives in heap records, so a
// longjmp never skips a C++ destructor.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

class TStream;

struct TJpegErrorMgr {
    jpeg_error_mgr pub;
    jmp_buf jump;
    int code = 0;                                          // message code of the fatal error
    char text[JMSG_LENGTH_MAX] = {};                       // the library's own words for it
    void (*libraryFormat)(j_common_ptr, char*) = nullptr;  // kept before ours silences it
    std::exception_ptr streamError;                        // a stream exception caught inside a callback
};

// Fills pub with the library's defaults, then silences messages and routes fatal
// errors to a longjmp to `jump`.
void InitJpegErrorMgr(TJpegErrorMgr& err);

struct TJpegSource {
    jpeg_source_mgr pub;
    TStream* stream = nullptr;
    TJpegErrorMgr* err = nullptr;
    bool startOfFile = true;
    bool padded = false;  // the stream ran dry and an end marker was made up
    std::vector<JOCTET> buffer;
};

// Attaches src (reading `stream` from its position) to cinfo.
void AttachJpegSource(j_decompress_ptr cinfo, TJpegSource& src, TStream& stream, TJpegErrorMgr& err);
// Hands back bytes read ahead but not used, so the stream stands after the image.
void ReturnUnusedJpegInput(TJpegSource& src);

struct TJpegDestination {
    jpeg_destination_mgr pub;
    TStream* stream = nullptr;
    TJpegErrorMgr* err = nullptr;
    std::vector<JOCTET> buffer;
};

void AttachJpegDestination(j_compress_ptr cinfo, TJpegDestination& dest, TStream& stream, TJpegErrorMgr& err);

// Message of a library error: the library's own text for it.
class QString;
QString JpegErrorMessage(const TJpegErrorMgr& err);
QString JpegErrorMessage(int code);
