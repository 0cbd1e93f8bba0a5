// Decoding the next JPEGs of a list on worker threads while the window works on them
// one by one, in order, on its own thread (a batch's images, a catalog's thumbnails).
// Only the decode (and what `finish` does to each picture) moves: everything else done
// with the pictures, progress and the abort stay with the window.
#pragma once

#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"

#include <QStringList>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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
    struct TOptions {
        // The reduced decode's longer side; 0 for the whole picture.
        int minLongSide = 0;
        // Files decoded ahead of the one taken last, per worker thread.
        int aheadPerThread = 1;
        // The window works on each picture itself (a batch): the workers give way to that
        // work, and decode in its gaps.
        bool yieldToWindow = false;
        // Run on a worker on each picture decoded (a thumbnail's scaling).
        std::function<void(TDecodedPicture&)> finish;
        // Follows the decoding of the files ahead (0 … 100) while Take waits, on the
        // calling thread.
        std::function<void(int percent)> progress;
    };

    // params: the loading component's parameters (copied here, on the calling thread).
    TDecodeAhead(const QStringList& files, const TIOParamsVals& params, TOptions options);
    ~TDecodeAhead();
    TDecodeAhead(const TDecodeAhead&) = delete;
    TDecodeAhead& operator=(const TDecodeAhead&) = delete;

    // File index decoded (and finished), or null when it is to be loaded the ordinary
    // way: not a JPEG, a file too large to hold several of at once, a single thread, or
    // the decode failed (the ordinary load then meets the same fault and reports it).
    // Indices are taken in rising order; those passed over are dropped, and one taken
    // earlier than the last gives null. The picture stays valid until the next Take.
    TDecodedPicture* Take(int index);

private:
    void work();

    const QStringList files_;
    TIOParamsVals params_;
    const TOptions options_;
    int window_ = 0;  // files decoded ahead of the one taken last

    std::mutex mutex_;
    std::condition_variable ready_, room_;
    // Guarded by mutex_: the next file to start, the first not yet taken, the results.
    int next_ = 0;
    int taken_ = 0;
    bool stop_ = false;
    std::vector<std::unique_ptr<TDecodedPicture>> slots_;
    std::vector<char> done_;
    std::unique_ptr<TDecodedPicture> current_;  // the picture handed out last
    std::vector<std::thread> threads_;
};
