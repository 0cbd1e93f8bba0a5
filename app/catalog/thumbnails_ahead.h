// The pictures of a catalog's next thumbnails, decoded and scaled on worker threads
// while the window adds the entries one by one, in order, on its own thread. Only the
// decode and the scaling move: the entries, progress and the abort stay with the window.
#pragma once

#include "app/util/decode_ahead.h"

#include <QStringList>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TThumbnailsAhead {
public:
    // params: the loading component's parameters (copied here, on the calling thread);
    // minLongSide: the reduced decode's longer side; finish: run on a worker on each
    // picture decoded (scales it to the thumbnail); progress, if given, follows the
    // decoding of the files ahead (0 … 100) while Take waits, on the calling thread.
    TThumbnailsAhead(const QStringList& files, const TIOParamsVals& params, int minLongSide,
                     std::function<void(TDecodedPicture&)> finish, std::function<void(int percent)> progress = {});
    ~TThumbnailsAhead();
    TThumbnailsAhead(const TThumbnailsAhead&) = delete;
    TThumbnailsAhead& operator=(const TThumbnailsAhead&) = delete;

    // File index decoded and finished, or null when it is to be loaded the ordinary
    // way (as TDecodeAhead::Take). Indices are taken in rising order; one taken earlier
    // than the last gives null.
    TDecodedPicture* Take(int index);

private:
    void work();

    const QStringList files_;
    TIOParamsVals params_;
    const int minLongSide_;
    const std::function<void(TDecodedPicture&)> finish_;
    const std::function<void(int)> progress_;
    const int window_;  // files decoded ahead of the one taken last

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
