// Decoding JPEGs ahead on worker threads and handing them over in order.
#include "app/util/decode_ahead.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/jpeg/jpeg.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"

#include <algorithm>

#include <QFileInfo>

namespace {

// Several decoded pictures are held at once: larger files load one at a time, as usual.
constexpr qint64 kMaxAheadFileBytes = 16 << 20;

bool decodesAhead(const QString& path)
{
    const TCodec* codec = CodecForFileName(path);
    return codec && codec->FileType == ioJPEG && QFileInfo(path).size() <= kMaxAheadFileBytes;
}

void decodeInto(const QString& path, TDecodedPicture& slot)
{
    try {
        TFileStream fs(path, fmOpenRead);
        TProgressRec quiet;
        ReadJPEGStream(fs, slot.Bitmap, *slot.Params, quiet);
        slot.Ok = true;
    } catch (...) {
        slot.Ok = false;
        slot.Bitmap = TBitmap();
    }
}

}  // namespace

std::unique_ptr<TDecodedPicture> DecodePicture(const QString& path, const TIOParamsVals& params, int minLongSide)
{
    if (!decodesAhead(path))
        return nullptr;
    auto picture = std::make_unique<TDecodedPicture>();
    picture->Params = std::make_unique<TIOParamsVals>();
    picture->Params->Assign(params);
    picture->Params->JpegMinLongSide = minLongSide;
    decodeInto(path, *picture);
    return picture;
}

TDecodeAhead::TDecodeAhead(const QStringList& files, const TIOParamsVals& params, TOptions options)
    : files_(files), options_(std::move(options)), slots_(size_t(files.size())), done_(size_t(files.size()), 0)
{
    params_.Assign(params);
    const int threads = ParallelThreads();
    window_ = std::max(1, options_.aheadPerThread) * threads;
    // On one processor the window does it all itself, as fast as it can be done.
    if (threads <= 1 || files_.isEmpty())
        return;
    // The readers ask for the screen's resolution; it is read once, here on the UI thread.
    ScreenDpiX();
    ScreenDpiY();
    for (int i = 0; i < std::min<int>(threads, int(files_.size())); ++i)
        threads_.emplace_back([this] { work(); });
}

TDecodeAhead::~TDecodeAhead()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void TDecodeAhead::work()
{
    // The workers already share the processors: what they call runs on each alone.
    const TScopedOwnThread own;
    if (options_.yieldToWindow)
        YieldToWaitedWork();
    std::unique_lock lock(mutex_);
    for (;;) {
        room_.wait(lock, [&] { return stop_ || next_ >= int(files_.size()) || next_ < taken_ + window_; });
        if (stop_ || next_ >= int(files_.size()))
            return;
        const int i = next_++;
        lock.unlock();
        std::unique_ptr<TDecodedPicture> picture = DecodePicture(files_[i], params_, options_.minLongSide);
        if (picture && picture->Ok && options_.finish) {
            try {
                options_.finish(*picture);
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

TDecodedPicture* TDecodeAhead::Take(int index)
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
        if (options_.progress) {
            const int done = int(std::count(done_.begin() + index, done_.begin() + end, 1));
            const int percent = done * 100 / (end - index);
            if (percent != reported) {
                reported = percent;
                lock.unlock();
                options_.progress(percent);
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
