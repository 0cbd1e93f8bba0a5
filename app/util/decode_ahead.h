// Decoding the next few JPEGs of a list on the pool threads while the window works on
// them one by one, in order, on its own thread (a catalog's thumbnails, a batch's images).
// Only the decode moves: everything done with the pictures, progress and the abort stay
// with the window.
#pragma once

#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// A file decoded ahead of its turn, into its own parameters.
struct TDecodedPicture {
    bool Ok = false;
    TBitmap Bitmap;
    std::unique_ptr<TIOParamsVals> Params;
};

// Decodes one file as TDecodeAhead would, on the calling thread (any thread, once the
// screen's resolution has been read on the UI thread); null when the file is not one to
// decode ahead. A failed decode gives a picture that is not Ok.
std::unique_ptr<TDecodedPicture> DecodePicture(const QString& path, const TIOParamsVals& params, int minLongSide);

class TDecodeAhead {
public:
    // params: the loading component's parameters, copied for each decode (read here, on
    // the calling thread); minLongSide: the reduced decode's longer side, 0 for the whole
    // picture; progress, if
    // given, follows a batch's decoding (0 … 100) on the calling thread.
    TDecodeAhead(const QStringList& files, const TIOParamsVals& params, int minLongSide,
                 std::function<void(int percent)> progress = {});

    // File index decoded, or null when it is to be loaded the ordinary way: not a JPEG,
    // a file too large to hold several of at once, a single pool thread, or the decode failed (the ordinary load then meets the same
    // fault and reports it). Decodes the next batch when index is past the current one.
    TDecodedPicture* Take(int index);

private:
    void decodeBatch(int first);

    const QStringList& files_;
    const TIOParamsVals& params_;
    int minLongSide_;
    std::function<void(int)> progress_;
    int batch_;
    int begin_ = 0;
    std::vector<TDecodedPicture> slots_;
};
