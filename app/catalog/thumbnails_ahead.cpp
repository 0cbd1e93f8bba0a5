// Decoding and scaling a catalog's next thumbnails on worker threads, handed over in order.
#include "app/catalog/thumbnails_ahead.h"

#include "platform/core/parallel_for.h"

#include <algorithm>

TThumbnailsAhead::TThumbnailsAhead(const QStringList& files, const TIOParamsVals& params, int minLongSide,
                                   std::function<void(TDecodedPicture&)> finish, std::function<void(int)> progress)
    : files_(files), minLongSide_(minLongSide), finish_(std::move(finish)), progress_(std::move(progress)),
      window_(4 * ParallelThreads()), slots_(size_t(files.size())), done_(size_t(files.size()), 0)
{
    params_.Assign(params);
    const int threads = ParallelThreads();
    // On one processor the window does it all itself, as fast as it can be done.
    if (threads <= 1 || files_.isEmpty())
        return;
    // The readers ask for the screen's resolution; it is read once, here on the UI thread.
    ScreenDpiX();
    ScreenDpiY();
    for (int i = 0; i < std::min<int>(threads, int(files_.size())); ++i)
        threads_.emplace_back([this] { work(); });
}

TThumbnailsAhead::~TThumbnailsAhead()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void TThumbnailsAhead::work()
{
    // The workers already share the processors: what they call runs on each alone.
    const TScopedOwnThread own;
    std::unique_lock lock(mutex_);
    for (;;) {
        room_.wait(lock, [&] { return stop_ || next_ >= int(files_.size()) || next_ < taken_ + window_; });
        if (stop_ || next_ >= int(files_.size()))
            return;
        const int i = next_++;
        lock.unlock();
        std::unique_ptr<TDecodedPicture> picture = DecodePicture(files_[i], params_, minLongSide_);
        if (picture && picture->Ok && finish_) {
            try {
                finish_(*picture);
            } catch (...) {
                // The ordinary load meets the same fault and reports it.
                picture.reset();
            }
        }
        lock.lock();
        slots_[size_t(i)] = std::move(picture);
        done_[size_t(i)] = 1;
        ready_.notify_all();
    }
}

TDecodedPicture* TThumbnailsAhead::Take(int index)
{
    current_.reset();
    if (threads_.empty() || index < 0 || index >= int(files_.size()))
        return nullptr;
    std::unique_lock lock(mutex_);
    if (index < taken_)
        return nullptr;
    // The files skipped over are dropped: their room goes to the ones after.
    for (int i = taken_; i < index; ++i)
        slots_[size_t(i)].reset();
    taken_ = index;
    room_.notify_all();
    const int end = std::min<int>(index + window_, int(files_.size()));
    int reported = -1;
    while (!done_[size_t(index)]) {
        if (progress_) {
            const int done = int(std::count(done_.begin() + index, done_.begin() + end, 1));
            const int percent = done * 100 / (end - index);
            if (percent != reported) {
                reported = percent;
                lock.unlock();
                progress_(percent);
                lock.lock();
                continue;
            }
        }
        ready_.wait(lock);
    }
    current_ = std::move(slots_[size_t(index)]);
    taken_ = index + 1;
    room_.notify_all();
    return current_ && current_->Ok ? current_.get() : nullptr;
}
