// Decoding JPEGs ahead on the pool threads and handing them over in order.
#include "app/util/decode_ahead.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/jpeg/jpeg.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"

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

TDecodeAhead::TDecodeAhead(const QStringList& files, const TIOParamsVals& params, int minLongSide,
                           std::function<void(int)> progress)
    : files_(files), params_(params), minLongSide_(minLongSide), progress_(std::move(progress)),
      batch_(ParallelThreads())
{
    // The readers ask for the screen's resolution; it is read once, here on the UI thread.
    ScreenDpiX();
    ScreenDpiY();
}

TDecodedPicture* TDecodeAhead::Take(int index)
{
    if (batch_ <= 1 || index < 0 || index >= files_.size() || !decodesAhead(files_[index]))
        return nullptr;
    if (index < begin_ || index >= begin_ + int(slots_.size()))
        decodeBatch(index);
    TDecodedPicture& slot = slots_[size_t(index - begin_)];
    return slot.Ok ? &slot : nullptr;
}

void TDecodeAhead::decodeBatch(int first)
{
    begin_ = first;
    const int count = std::min<int>(batch_, int(files_.size()) - first);
    slots_.clear();
    slots_.resize(size_t(count));
    for (TDecodedPicture& slot : slots_) {
        slot.Params = std::make_unique<TIOParamsVals>();
        slot.Params->Assign(params_);
        slot.Params->JpegMinLongSide = minLongSide_;
    }
    // One file a band; each band only touches its own slot.
    std::function<void(int)> done;
    if (progress_)
        done = [&](int files) { progress_(files * 100 / count); };
    ParallelRows(
        count, int64_t(count) * kParallelMinPixels,
        [&](int begin, int end) {
            for (int i = begin; i < end; ++i) {
                const QString& path = files_[first + i];
                if (!decodesAhead(path))
                    continue;
                decodeInto(path, slots_[size_t(i)]);
            }
        },
        done);
}
