// JPEG and PNG readers against hostile input: gdk-pixbuf's samples (huge declared
// sizes, premature ends, resolution) and seeded random damage to valid files. Every
// case ends in a picture or EInvalidGraphic, never a crash (the sanitizers watch).

#include "codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/png/png.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

#include <random>
#include <span>

using namespace codectest;

namespace {

enum Codec { Jpeg, Png };

// Reads data; true when a picture came out, false for EInvalidGraphic (the bitmap
// then must be unchanged).
bool tryRead(Codec codec, const QByteArray& data, TIOParamsVals& params, TBitmap* out = nullptr)
{
    TBitmap bmp(3, 2);
    TMemoryStream ms(data);
    TProgressRec progress;
    try {
        if (codec == Jpeg)
            ReadJPEGStream(ms, bmp, params, progress);
        else
            ReadPNGStream(ms, bmp, params, progress);
    } catch (const EInvalidGraphic&) {
        EXPECT_EQ(bmp.Width(), 3);
        EXPECT_EQ(bmp.Height(), 2);
        return false;
    }
    EXPECT_EQ(bmp.Width(), params.Width);
    EXPECT_EQ(bmp.Height(), params.Height);
    if (out)
        *out = bmp;
    return true;
}

QString pixbufDir() { return PixbufTestImages().section(QLatin1Char('/'), 0, -2); }

}  // namespace

TEST(HostileInput, PixbufSamples)
{
    const QString dir = pixbufDir();
    const char* const names[] = {"large.jpg",
                                 "large.png",
                                 "issue205.jpg",
                                 "dpi.jpeg",
                                 "dpi.png",
                                 "premature-end.jpg",
                                 "premature-end.png",
                                 "bug775218.jpg",
                                 "bug143608-comment.jpg",
                                 "issue70.jpg",
                                 "icc-profile.jpeg",
                                 "icc-profile.png",
                                 "test-image.png",
                                 "test-images/randomly-modified/bug775697.jpg"};
    // A missing sample would read as empty and pass as refused.
    for (const char* name : names)
        REQUIRE_TOOLS(dir + QLatin1Char('/') + QLatin1String(name));
    auto bytes = [&](const char* name) { return FileBytes(dir + QLatin1Char('/') + QLatin1String(name)); };
    TIOParamsVals params;

    // Declared sizes of hundreds of millions of pixels (up to 4 billion) are refused
    // before anything that size is allocated.
    EXPECT_FALSE(tryRead(Jpeg, bytes("large.jpg"), params));
    EXPECT_FALSE(tryRead(Png, bytes("large.png"), params));
    EXPECT_FALSE(tryRead(Jpeg, bytes("issue205.jpg"), params));

    // Resolution: 300 × 600 dpi in JFIF units and in pixels per metre.
    ASSERT_TRUE(tryRead(Jpeg, bytes("dpi.jpeg"), params));
    EXPECT_EQ(params.DpiX, 300);
    EXPECT_EQ(params.DpiY, 600);
    ASSERT_TRUE(tryRead(Png, bytes("dpi.png"), params));
    EXPECT_EQ(params.DpiX, 300);
    EXPECT_EQ(params.DpiY, 600);

    // A JPEG that ends early still gives its picture (CMYK here, JFIF unit 0).
    TBitmap partial;
    ASSERT_TRUE(tryRead(Jpeg, bytes("premature-end.jpg"), params, &partial));
    EXPECT_EQ(partial.Width(), 256);
    EXPECT_EQ(params.JpegColorSpace, 3);
    EXPECT_EQ(params.DpiX, ScreenDpiX());

    for (const char* name : std::span(names).subspan(6)) {  // the rest: any outcome but a crash
        SCOPED_TRACE(name);
        const QByteArray data = bytes(name);
        tryRead(QByteArray(name).endsWith("png") ? Png : Jpeg, data, params);
    }
}

// Seeded random damage to valid files: overwritten bytes, flipped bits, cut ends.
TEST(HostileInput, DamagedFilesNeverCrash)
{
    TBitmap photo;
    ToBitmap(PhotoLike(45, 30), photo);
    std::vector<std::pair<Codec, QByteArray>> seeds;
    {
        TIOParamsVals p;
        TProgressRec progress;
        for (int progressive : {0, 1}) {
            TMemoryStream ms;
            p.JpegProgressive = uint8_t(progressive);
            WriteJPEGStream(ms, photo, p, progress);
            seeds.push_back({Jpeg, ms.Bytes()});
        }
        for (int samples : {1, 3}) {
            TMemoryStream ms;
            p.SamplesPerPixel = samples;
            p.PngInterlaced = uint8_t(samples == 1);
            WritePNGStream(ms, photo, p, progress);
            seeds.push_back({Png, ms.Bytes()});
        }
    }
    const QString go = GoPngTestdata(), pixbuf = pixbufDir();
    REQUIRE_TOOLS(go, pixbuf);
    for (const char* name : {"/pngsuite/basn3p04-31i.png", "/pngsuite/basn4a16.png", "/pngsuite/ftbwn3p08.png"})
        seeds.push_back({Png, FileBytes(go + QLatin1String(name))});
    for (const char* name :
         {"/test-images/randomly-modified/valid.1.jpeg", "/test-images/randomly-modified/valid.2.jpeg",
          "/test-images/randomly-modified/valid.1.png"})
        seeds.push_back({QByteArray(name).endsWith("png") ? Png : Jpeg, FileBytes(pixbuf + QLatin1String(name))});

    std::mt19937 rng(8);
    int pictures = 0, refused = 0;
    for (const auto& [codec, original] : seeds) {
        ASSERT_GT(original.size(), 40);
        for (int round = 0; round < 60; ++round) {
            QByteArray data = original;
            const int edits = 1 + int(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                const qsizetype at = qsizetype(rng() % uint32_t(data.size()));
                switch (rng() % 3) {
                case 0: data[at] = char(rng()); break;
                case 1: data[at] = char(data[at] ^ (1 << (rng() % 8))); break;
                default: data.truncate(std::max<qsizetype>(at, 8)); break;
                }
            }
            TIOParamsVals params;
            (tryRead(codec, data, params) ? pictures : refused)++;
        }
    }
    EXPECT_GT(pictures, 0);
    EXPECT_GT(refused, 0);
}
