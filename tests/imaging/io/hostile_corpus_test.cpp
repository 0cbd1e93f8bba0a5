// The hand-made hostile files of the fuzz corpora: each tiny file that once made a
// reader take hundreds of MiB, or read past its buffer, is refused with a clear message
// before anything its header claims is allocated, and the harmless ones still load.
// (The corpus replay checks the memory and time each file takes.)

#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/io_params.h"
#include "imaging/io/pcx/pcx.h"
#include "imaging/io/tiff/tiff.h"
#include "imaging/io/tiff/tiff_test_lzw.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/png/png.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/metafile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

enum Reader { Png, Jpeg, Metafile, Tiff, Pcx, Gif };

struct HostileCase {
    const char* file;  // below fuzz/corpus/
    Reader reader;
    const char* refusal;  // nullptr: the file loads
};

const HostileCase kCases[] = {
    {"png/huge_interlaced.png", Png,
     "Unrecognized PNG - image size 60000 × 60000 is larger than the limit of 536870912 pixels"},
    {"png/text_2gib.png", Png, "Unrecognized PNG - the file is truncated"},
    {"png/unknown_2gib.png", Png, "Unrecognized PNG - the file is truncated"},
    {"png/zero_length_bkgd.png", Png, nullptr},
    {"png/zero_length_iccp.png", Png, nullptr},
    {"png/itxt_huge.png", Png, nullptr},
    {"jpeg/progressive_cmyk_huge.jpg", Jpeg, "Unrecognized JPeg - image size 8000 × 8000 not supported"},
    {"jpeg/baseline_huge.jpg", Jpeg, "Unrecognized JPeg - image size 65000 × 65000 not supported"},
    {"wmf/placeable_huge_frame.wmf", Metafile, "metafile size out of range"},
    {"wmf/savedc_flood.wmf", Metafile, nullptr},
    {"wmf/exclude_flood.wmf", Metafile, nullptr},
    {"emf/description_past_end.emf", Metafile, "EMF header description lies outside the header"},
    {"emf/description_offset_at_end.emf", Metafile, "EMF header description lies outside the header"},
    {"tiff/regress-strip-count-huge.tif", Tiff, "TIFF tag values lie outside the file"},
    {"tiff/regress-g3-tall.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-g4-page-two-bytes.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-g4-colour-page.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-g3-zero-strip.tif", Tiff, nullptr},
    // Strips that all start at one offset count its bytes once.
    {"tiff/regress-shared-strips-packbits.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-shared-strips-g4-palette.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-shared-strips-mono-palette.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/blank-page-shared-strip.tif", Tiff, nullptr},
    {"tiff/regress-lzw-tiny-data-huge.tif", Tiff, "TIFF pixel data are truncated"},
    {"tiff/regress-g3-long-page.tif", Tiff, nullptr},
    {"tiff/regress-many-pages.tif", Tiff, nullptr},
    {"pcx/regress-two-bit.pcx", Pcx, "unrecognized PCX"},
    {"gif/regress-no-frames.gif", Gif, "unrecognized GIF"},
    {"gif/regress-zero-size-screen.gif", Gif, "unrecognized GIF"},
    {"gif/regress-many-frames.gif", Gif, nullptr},
};

QByteArray corpusFile(const char* name)
{
    QFile f(QStringLiteral(KANDRIVEL_SOURCE_DIR "/fuzz/corpus/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void load(const HostileCase& c, const QByteArray& bytes)
{
    if (c.reader == Metafile) {
        TMetafile mf;
        mf.LoadFromData(bytes);
        return;
    }
    TMemoryStream stream(bytes);
    TBitmap bitmap(3, 2);
    TIOParamsVals params;
    TProgressRec progress;
    const TTestGifCoder coder;  // frames would be decoded
    switch (c.reader) {
    case Png: ReadPNGStream(stream, bitmap, params, progress); break;
    case Jpeg: ReadJPEGStream(stream, bitmap, params, progress); break;
    case Tiff:
        params.TiffLzwDecompress = TestTiffLzwDecompress;  // LZW strips would be decoded
        ReadTIFFStream(stream, bitmap, params, progress);
        break;
    case Pcx: ReadPCXStream(stream, bitmap, params, progress, stream.Size()); break;
    case Gif: ReadGIFStream(stream, bitmap, params, progress); break;
    case Metafile: break;
    }
}

}  // namespace

TEST(HostileCorpus, TinyFilesAreRefusedBeforeTheyAllocateWhatTheyClaim)
{
    for (const HostileCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const QByteArray bytes = corpusFile(c.file);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_LT(bytes.size(), 65536);
        if (!c.refusal) {
            EXPECT_NO_THROW(load(c, bytes));
            continue;
        }
        try {
            load(c, bytes);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.refusal));
        }
    }
}
