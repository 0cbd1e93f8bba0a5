// Parameters that come from stored records or from odd files may hold any int: every
// writer computes with them in 64 bits and stores what its fields can hold.

#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

uint32_t be32(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + at;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t le32(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + at;
    return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

TEST(StoredParamsWrite, ValuesOfAnySizeAreHeldToTheFormatsFields)
{
    struct Case {
        const char* name;
        TIOFileType type;
        std::function<void(TIOParamsVals&)> set;
        std::function<void(const QByteArray&)> check;
    };
    const Case cases[] = {
        {"PCX depth beyond int", ioPCX, [](TIOParamsVals& p) { p.BitsPerSample = p.SamplesPerPixel = 65536; },
         [](const QByteArray& f) {
             EXPECT_EQ(f[3], 8);  // written as 24 bits: 8 bits in 3 planes
             EXPECT_EQ(f[65], 3);
         }},
        {"PNG resolution beyond pHYs", ioPNG,
         [](TIOParamsVals& p) {
             p.DpiX = 2000000000;
             p.DpiY = 387389207;
         },
         [](const QByteArray& f) {
             const qsizetype at = f.indexOf("pHYs") + 4;
             ASSERT_GT(at, 4);
             EXPECT_EQ(be32(f, at), uint32_t(INT32_MAX));
             EXPECT_EQ(be32(f, at + 4), uint32_t(INT32_MAX));
         }},
        {"BMP resolution beyond its field", ioBMP,
         [](TIOParamsVals& p) {
             p.DpiX = 2000000000;
             p.DpiY = -5;
         },
         [](const QByteArray& f) {
             EXPECT_EQ(le32(f, 14 + 24), uint32_t(INT32_MAX));
             EXPECT_EQ(le32(f, 14 + 28), 0u);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b(5, 3);
        TImageKitIO io;
        io.SetAttachedBitmap(&b);
        io.StreamHeaders = false;
        c.set(io.Params());
        TMemoryStream out;
        io.SaveToStream(out, c.type);
        c.check(out.Bytes());
    }
}
