// Every writer of the codec table, read back by its own reader: odd and prime sizes,
// each depth the format writes, through a seekable and a write-only stream.

#include <gtest/gtest.h>

#include "imaging/io/codec_table.h"
#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <cstdlib>
#include <vector>

using namespace iotest;

namespace {

// A stream that only appends, like a pipe: it tells its position and refuses every
// other seek.
class TWriteOnlyStream : public TStream {
public:
    int64_t Read(void*, int64_t) override { throw EReadError(QStringLiteral("write-only stream")); }
    int64_t Write(const void* buffer, int64_t count) override
    {
        data.append(static_cast<const char*>(buffer), qsizetype(count));
        return count;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        if (offset != 0 || origin != soFromCurrent)
            throw EStreamError(QStringLiteral("stream cannot seek"));
        return data.size();
    }
    QByteArray data;
};

struct TFormatCases {
    TIOFileType type;
    std::vector<int> depths;  // as BitsPerSample × SamplesPerPixel
    bool sequential;          // writes to a stream that cannot seek
    int tolerance;            // largest mean channel error; 0: lossless
};

// JPEG is checked on a smooth picture, within a mean error per channel.
const TFormatCases kCases[] = {
    {ioTIFF, {1, 4, 8, 24}, false, 0}, {ioGIF, {1, 4, 8}, true, 0},      {ioJPEG, {24}, true, 6},
    {ioPCX, {1, 4, 8, 24}, true, 0},   {ioBMP, {1, 4, 8, 24}, false, 0}, {ioPNG, {1, 8, 24}, true, 0},
};

const TFormatCases* casesOf(int type)
{
    for (const TFormatCases& c : kCases)
        if (c.type == type)
            return &c;
    return nullptr;
}

QImage smooth(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(60 + 4 * x, 90 + 3 * y, 120 + 2 * (x + y)));
    return img;
}

double meanError(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 1e9;
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        sum += std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i])));
    return sum / double(a.size());
}

}  // namespace

TEST(CodecRoundTrip, EveryWriterReadsBackWhatItWrote)
{
    const TTestGifCoder coder;
    int writers = 0;
    for (int type = ioTIFF; const TCodec* codec = CodecForType(type); ++type) {
        if (!CanWrite(*codec))
            continue;
        ++writers;
        const TFormatCases* cases = casesOf(type);
        ASSERT_NE(cases, nullptr) << codec->Format << " writes files but has no round-trip cases";
        for (const int depth : cases->depths)
            for (const int w : {1, 7, 13, 31})
                for (const int h : {1, 7, 13, 31})
                    for (const bool sequential : {false, true}) {
                        SCOPED_TRACE(QStringLiteral("%1 %2 bits %3 x %4%5")
                                         .arg(QLatin1String(codec->Format))
                                         .arg(depth)
                                         .arg(w)
                                         .arg(h)
                                         .arg(QLatin1String(sequential ? " sequential" : ""))
                                         .toStdString());
                        TBitmap src;
                        const int colors = depth == 24 ? 256 : 1 << depth;
                        src.SetImage((cases->tolerance ? smooth(w, h) : Pattern(w, h, std::min(colors, 200), w * h))
                                         .convertToFormat(QImage::Format_BGR888));
                        TIOParamsVals params;
                        params.BitsPerSample = depth == 24 ? 8 : depth;
                        params.SamplesPerPixel = depth == 24 ? 3 : 1;
                        TProgressRec progress;
                        QByteArray file;
                        if (sequential) {
                            TWriteOnlyStream out;
                            if (!cases->sequential) {
                                // A writer that must go back says so rather than leave a broken file.
                                EXPECT_THROW(codec->Write(out, src, params, progress), EStreamError);
                                continue;
                            }
                            codec->Write(out, src, params, progress);
                            file = out.data;
                        } else {
                            TMemoryStream out;
                            codec->Write(out, src, params, progress);
                            file = out.Bytes();
                        }
                        TMemoryStream in(file);
                        TBitmap back;
                        TIOParamsVals read;
                        codec->Read(in, back, read, progress);
                        ASSERT_EQ(back.Width(), w);
                        ASSERT_EQ(back.Height(), h);
                        EXPECT_EQ(read.BitsPerSample * read.SamplesPerPixel, depth);
                        if (cases->tolerance)
                            EXPECT_LE(meanError(BitmapRGB(back), BitmapRGB(src)), cases->tolerance);
                        else
                            EXPECT_EQ(FirstDifference(BitmapRGB(back), BitmapRGB(src)), -1);
                    }
    }
    EXPECT_EQ(writers, int(std::size(kCases)));
}
