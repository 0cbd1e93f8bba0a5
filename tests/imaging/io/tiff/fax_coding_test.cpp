// Fax coding: hand-worked codes, netpbm's G3 coder and decoder as oracles both ways,
// and the CCITT test charts through libtiff's coders. (Cut and mutated fax data go
// through the reader in the forged-file tests.)

#include "../io_oracle.h"
#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/tiff/ccitt/fax_coding.h"
#include "platform/graphics/bitmap.h"
#include "tiff_support.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;
using namespace tifftest;

namespace {

QString tmp(const QString& name) { return QDir(TempDir()).filePath(name); }

void saveFax(TBitmap& bmp, const QString& path, int compression)
{
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    io.Params().BitsPerSample = 1;
    io.Params().SamplesPerPixel = 1;
    io.Params().TiffCompression = uint8_t(compression);
    io.SaveToFileTIFF(path);
}

// "0101 1" → bytes, padded with zeros.
std::vector<uint8_t> bits(const std::string& s)
{
    std::vector<uint8_t> out;
    int n = 0;
    for (char c : s) {
        if (c != '0' && c != '1')
            continue;
        if (n % 8 == 0)
            out.push_back(0);
        if (c == '1')
            out.back() |= uint8_t(0x80 >> (n % 8));
        ++n;
    }
    return out;
}

std::vector<uint8_t> encode(TFaxCoding coding, int width, const std::vector<std::vector<uint8_t>>& rows, bool finish)
{
    TFaxEncoder e(coding, width, true);
    for (const auto& r : rows)
        e.EncodeRow(r.data());
    if (finish)
        e.Finish();
    return e.TakeBytes();
}

TEST(FaxCoding, HandWorkedCodes)
{
    struct Case {
        const char* name;
        TFaxCoding coding;
        int width;
        std::vector<std::vector<uint8_t>> rows;  // 1 = white
        bool finish;
        std::string want;
    };
    const std::vector<uint8_t> white1728(216, 0xFF), white3000(375, 0xFF), blackFirst{0x7F};
    const std::vector<uint8_t> bars{0x0F, 0xF0};
    const Case cases[] = {
        {"white 1728, MH", TFaxCoding::ModifiedHuffman, 1728, {white1728}, false, "010011011 00110101"},
        {"white 3000, G3",
         TFaxCoding::Group3OneD,
         3000,
         {white3000},
         false,
         "000000000001 000000011111 00110111 01011001"},
        {"black first pixel", TFaxCoding::ModifiedHuffman, 8, {blackFirst}, false, "00110101 010 1111"},
        {"G4, second row V0 only",
         TFaxCoding::Group4,
         16,
         {bars, bars},
         true,
         "001 00110101 011  001 10011 011  1111  000000000001 000000000001"},
        {"G3 2D, tag bits",
         TFaxCoding::Group3TwoD,
         16,
         {bars, bars},
         true,
         "000000000001 1 00110101 011 10011 011  000000000001 0 1111  000000000001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encode(c.coding, c.width, c.rows, c.finish), bits(c.want));
        // And back.
        const std::vector<uint8_t> coded = bits(c.want);
        TFaxDecoder d(c.coding, c.width, coded.data(), int64_t(coded.size()), false);
        for (const auto& r : c.rows) {
            std::vector<uint8_t> got(r.size()), want = r;
            d.DecodeRow(got.data());
            const uint8_t tail = uint8_t(0xFF << ((8 - c.width % 8) % 8));
            got.back() &= tail;
            want.back() &= tail;
            EXPECT_EQ(got, want);
        }
    }
}

// pbmtog3 codes (G3 one-dimensional, EOL before each row), g3topbm decodes.
TEST(FaxCoding, NetpbmCodesBothWays)
{
    for (const char* t : {"pbmtog3", "g3topbm"})
        if (!HaveTool(QLatin1String(t)))
            GTEST_SKIP() << "missing tool: " << t;
    int n = 0;
    for (int width : {1, 9, 64, 203, 1728, 2600})
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message() << width << (reversed ? " lsb first" : ""));
            const TBitmap pic = BilevelPattern(width, 23, uint32_t(width));
            const QString pbm = tmp(QStringLiteral("f%1.pbm").arg(n));
            const QString g3 = tmp(QStringLiteral("f%1.g3").arg(n++));
            WritePBM(pic, pbm);
            QByteArray coded;
            QStringList args{QStringLiteral("-nofixedwidth"), pbm};
            if (reversed)
                args.prepend(QStringLiteral("-reversebits"));
            ASSERT_EQ(RunTool(QStringLiteral("pbmtog3"), args, &coded), 0);
            const auto* data = reinterpret_cast<const uint8_t*>(coded.constData());
            TFaxDecoder d(TFaxCoding::Group3OneD, width, data, coded.size(), reversed);
            // Rows decoded with white as 0-bits are the same rows turned.
            TFaxDecoder dark(TFaxCoding::Group3OneD, width, data, coded.size(), reversed, false);
            TBitmap got(width, 23, pf1bit);
            std::vector<uint8_t> row(size_t((width + 7) / 8));
            int turned = 0;
            for (int y = 0; y < 23; ++y) {
                d.DecodeRow(got.ScanLine(y));
                dark.DecodeRow(row.data());
                turned += std::equal(row.begin(), row.end(), got.ScanLine(y),
                                     [](uint8_t a, uint8_t b) { return uint8_t(~a) == b; });
            }
            EXPECT_EQ(FirstDifference(BitmapRGB(got), BitmapRGB(pic)), -1);
            EXPECT_EQ(turned, 23);

            // Ours through g3topbm.
            TFaxEncoder e(TFaxCoding::Group3OneD, width, true);
            for (int y = 0; y < 23; ++y)
                e.EncodeRow(pic.ScanLine(y));
            e.Finish();
            const std::vector<uint8_t> ours = e.TakeBytes();
            QFile f(g3);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(reinterpret_cast<const char*>(ours.data()), qsizetype(ours.size()));
            f.close();
            QByteArray back;
            ASSERT_EQ(RunTool(QStringLiteral("g3topbm"), {g3}, &back), 0);
            QImage img;
            ASSERT_TRUE(img.loadFromData(back, "PBM"));
            ASSERT_GE(img.height(), 23);
            EXPECT_EQ(FirstDifference(ImageRGB(img.copy(0, 0, width, 23)), BitmapRGB(pic)), -1);
        }
}

// The CCITT charts coded by tiffcp in each fax coding read as libtiff decodes them;
// ours coded the same way decode in libtiff as the chart.
TEST(FaxCoding, CcittChartsMatchLibtiff)
{
    for (const char* t : {"jbgtopbm", "tiffcp", "convert"})
        if (!HaveTool(QLatin1String(t)))
            GTEST_SKIP() << "missing tool: " << t;
    const QString charts = QStringLiteral("/usr/share/jbigkit-testdata");
    if (!QFile::exists(charts + QStringLiteral("/ccitt1.jbg")))
        GTEST_SKIP() << "missing tool: jbigkit-testdata";
    const struct {
        const char* tiffcp;
        int ours;
    } codings[] = {{"g3", 2}, {"g3:2d", 3}, {"g4", 4}};
    for (int chart = 1; chart <= 8; ++chart) {
        SCOPED_TRACE(chart);
        const QString pbm = tmp(QStringLiteral("c%1.pbm").arg(chart));
        const QString plain = tmp(QStringLiteral("c%1.tif").arg(chart));
        ASSERT_EQ(RunTool(QStringLiteral("jbgtopbm"), {charts + QStringLiteral("/ccitt%1.jbg").arg(chart), pbm}), 0);
        ASSERT_EQ(RunTool(QStringLiteral("convert"), {pbm, QStringLiteral("-compress"), QStringLiteral("none"), plain}),
                  0);
        TBitmap want;
        ReadTiff(plain, want);
        for (const auto& c : codings) {
            SCOPED_TRACE(c.tiffcp);
            const QString coded = tmp(QStringLiteral("c%1%2.tif").arg(chart).arg(c.ours));
            ASSERT_EQ(RunTool(QStringLiteral("tiffcp"), {QStringLiteral("-c"), QLatin1String(c.tiffcp), plain, coded}),
                      0);
            TBitmap got;
            ReadTiff(coded, got);
            EXPECT_EQ(FirstDifference(BitmapRGB(got), BitmapRGB(want)), -1);

            saveFax(want, coded, c.ours);
            const QString back = coded + QStringLiteral(".none.tif");
            ASSERT_EQ(RunTool(QStringLiteral("tiffcp"), {QStringLiteral("-c"), QStringLiteral("none"), coded, back}),
                      0);
            TBitmap again;
            ReadTiff(back, again);
            EXPECT_EQ(FirstDifference(BitmapRGB(again), BitmapRGB(want)), -1);
        }
    }
}

}  // namespace

// Zeros that run to the end of the data hold no code: the first row takes them all, so
// the rows after it do not scan them again (the time stays linear in the strip).
TEST(FaxCoding, ZerosToTheEndAreConsumedOnce)
{
    const std::vector<uint8_t> zeros(4096, 0);
    for (TFaxCoding coding : {TFaxCoding::Group3OneD, TFaxCoding::Group3TwoD}) {
        TFaxDecoder d(coding, 8, zeros.data(), int64_t(zeros.size()), false);
        for (int r = 0; r < 3; ++r) {
            uint8_t row = 0;
            d.DecodeRow(&row);
            EXPECT_EQ(row, 0xFF);
            EXPECT_EQ(d.BitPosition(), 8 * int64_t(zeros.size()));
        }
    }
}
