// The command record's field offsets and the checks on records from batch files.
#include "app/commands/command_record.h"
#include "platform/core/streams.h"

#include <gtest/gtest.h>

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

TEST(CommandRecord, FieldsSitAtTheirOffsets)
{
    tautomatitem a;
    a.SetCode(42);
    a.SetArg(1, 0x11223344);
    a.SetArg(2, -2);
    a.SetArg(3, 3);
    a.SetArg(4, 4);
    a.SetArg(5, 5);
    a.SetArg(6, 0x66);
    a.SetArgByte(0x77);
    tsaveparams p;
    p.BitsPerSample = 0x01020304;
    p.CurHeight = 0x0A0B0C0D;
    a.SetSaveParams(p);
    const auto& b = a.Bytes();
    ASSERT_EQ(b.size(), 1424u);
    const struct {
        int offset;
        uint32_t value;
    } ints[] = {{4, 0x11223344}, {8, 0xFFFFFFFE}, {12, 3},           {16, 4},
                {20, 5},         {24, 0x66},      {260, 0x01020304}, {260 + 1160, 0x0A0B0C0D}};
    for (const auto& c : ints)
        EXPECT_EQ(le32(b.data() + c.offset), c.value) << "offset " << c.offset;
    EXPECT_EQ(b[0], 42);
    EXPECT_EQ(b[28], 0x77);
    EXPECT_EQ(a.ArgLowByte(1), 0x44);  // the first of the four bytes
    // The name overlaps the arguments: length at 1, text from 2.
    ASSERT_TRUE(a.SetFileName(QStringLiteral("ab")));
    EXPECT_EQ(b[1], 2);
    EXPECT_EQ(b[2], 'a');
    EXPECT_EQ(b[3], 'b');
    EXPECT_EQ(b[4], 0x44);  // the rest of Arg1 stays as it was
    EXPECT_EQ(a.SaveParams(), p);
}

TEST(CommandRecord, WritingAFieldLeavesEveryOtherByte)
{
    tautomatitem a;
    QByteArray raw(tautomatitem::Size, '\0');
    for (int i = 0; i < raw.size(); ++i)
        raw[i] = char(i * 7 + 1);
    ASSERT_TRUE(a.FromBytes(raw));
    a.SetCode(13);
    QByteArray expect = raw;
    expect[0] = 13;
    EXPECT_EQ(a.ToByteArray(), expect);
    EXPECT_FALSE(a.SetFileName(QString(256, QLatin1Char('x'))));  // refused, not cut
    EXPECT_EQ(a.ToByteArray(), expect);
    EXPECT_FALSE(a.FromBytes(raw.left(1423)));
}

TEST(CommandRecord, SaveParamsBlockLayout)
{
    tsaveparams p;
    p.BitsPerSample = 1;
    p.SamplesPerPixel = 2;
    p.DpiX = 3;
    p.DpiY = 4;
    p.GifVersion.Assign(QStringLiteral("G"));
    p.GifImageIndex = 5;
    p.GifXPos = 6;
    p.GifYPos = 7;
    p.GifDelayTime = 8;
    p.GifTransparent = 9;
    p.GifTransparentColor = TIORGB{10, 11, 12};
    p.GifInterlaced = 13;
    p.GifScreenWidth = 14;
    p.GifScreenHeight = 15;
    p.GifBackground = TIORGB{16, 17, 18};
    p.GifAspectRatio = 19;
    p.TiffCompression = 20;
    p.TiffPhotometric = 21;
    p.TiffPlanarConfig = 22;
    p.TiffImageIndex = 23;
    p.TiffXPos = 24;
    p.TiffYPos = 25;
    p.TiffDocumentName.Assign(QStringLiteral("D"));
    p.TiffImageDescription.Assign(QStringLiteral("I"));
    p.TiffPageName.Assign(QStringLiteral("P"));
    p.TiffPageNumber = 26;
    p.TiffPageCount = 27;
    p.JpegColorSpace = 28;
    p.JpegQuality = 29;
    p.JpegDctMethod = 30;
    p.JpegOptimalHuffman = 31;
    p.JpegSmoothing = 32;
    p.JpegProgressive = 33;
    p.BmpCompression = 34;
    p.BmpVersion = 35;
    p.PcxVersion = 36;
    p.PcxCompression = 37;
    p.IcoWidth = 38;
    p.IcoHeight = 39;
    p.CurWidth = 40;
    p.CurHeight = 41;
    TMemoryStream s;
    p.Write(s);
    ASSERT_EQ(s.Size(), 1164);
    const uint8_t* m = s.Memory();
    // offset, size (1, 4, or 0 for a short string whose length byte is 1), value
    const struct {
        int offset;
        int size;
        uint32_t value;
    } table[] = {{0, 4, 1},     {4, 4, 2},     {8, 4, 3},     {12, 4, 4},    {16, 0, 'G'},  {272, 4, 5},
                 {276, 4, 6},   {280, 4, 7},   {284, 4, 8},   {288, 1, 9},   {289, 1, 10},  {290, 1, 11},
                 {291, 1, 12},  {292, 1, 13},  {296, 4, 14},  {300, 4, 15},  {304, 1, 16},  {305, 1, 17},
                 {306, 1, 18},  {308, 4, 19},  {312, 4, 0},   {316, 4, 0},   {320, 1, 20},  {321, 1, 21},
                 {324, 4, 22},  {328, 4, 23},  {332, 4, 24},  {336, 4, 25},  {340, 0, 'D'}, {596, 0, 'I'},
                 {852, 0, 'P'}, {1108, 4, 26}, {1112, 4, 27}, {1116, 4, 0},  {1120, 1, 28}, {1124, 4, 29},
                 {1128, 1, 30}, {1129, 1, 31}, {1132, 4, 32}, {1136, 1, 33}, {1137, 1, 34}, {1138, 1, 35},
                 {1140, 4, 36}, {1144, 1, 37}, {1148, 4, 38}, {1152, 4, 39}, {1156, 4, 40}, {1160, 4, 41}};
    for (const auto& f : table) {
        if (f.size == 0) {
            EXPECT_EQ(m[f.offset], 1) << f.offset;
            EXPECT_EQ(m[f.offset + 1], f.value) << f.offset;
        } else if (f.size == 1) {
            EXPECT_EQ(m[f.offset], f.value) << f.offset;
        } else {
            EXPECT_EQ(le32(m + f.offset), f.value) << f.offset;
        }
    }
    for (int pad : {293, 294, 295, 307, 322, 323, 1121, 1122, 1123, 1130, 1131, 1139, 1145, 1146, 1147})
        EXPECT_EQ(m[pad], 0) << "padding " << pad;
}

TEST(CommandRecord, BatchRecordsOutsideTheOperationsAreRefused)
{
    struct Case {
        uint8_t code;
        int32_t a1, a2, a3;
        const char* name;
        bool ok;
    };
    const Case cases[] = {
        {cmdNewImage, 640, 480, 0, nullptr, true},
        {cmdNewImage, 0, 480, 0, nullptr, false},
        {cmdNewImage, 100000, 10, 0, nullptr, false},
        {cmdNewImage, 30000, 30000, 0, nullptr, false},  // 900 million pixels
        {cmdResizeCanvas, -5, 10, 0, nullptr, false},
        {cmdResample, 10, 10, 6, nullptr, true},
        {cmdResample, 10, 10, 7, nullptr, false},
        {cmdResample, 10, 10, 0x106, nullptr, true},  // only the low byte counts
        {cmdReduceColors, 256, 0, 0, nullptr, true},
        {cmdReduceColors, 1, 0, 0, nullptr, false},
        {cmdReduceColors, 1 << 30, 0, 0, nullptr, false},
        {cmdBWThreshold, -1, 0, 0, nullptr, true},
        {cmdBWThreshold, 256, 0, 0, nullptr, false},
        {cmdOpen, 0, 0, 0, "/tmp/a.jpg", true},
        {cmdOpen, 0, 0, 0, "", false},
        {cmdSave, 0, 0, 0, "a\tb.bmp", false},
        {200, 0, 0, 0, nullptr, true},  // unknown: does nothing, needs no check
    };
    for (const Case& c : cases) {
        tautomatitem a;
        a.SetCode(c.code);
        a.SetArg(1, c.a1);
        a.SetArg(2, c.a2);
        a.SetArg(3, c.a3);
        if (c.name)
            a.SetFileName(QString::fromUtf8(c.name));
        const TRecordCheck r = CheckRecord(a);
        EXPECT_EQ(r.ok(), c.ok) << int(c.code) << " " << c.a1 << " " << c.a2 << " " << c.a3;
        EXPECT_EQ(r.english.isEmpty(), c.ok);
    }
    tautomatitem bad;
    bad.SetCode(cmdOpen);
    QByteArray raw = bad.ToByteArray();
    raw[1] = 2;
    raw[2] = char(0xC3);  // a lone lead byte is no UTF-8
    raw[3] = 'x';
    bad.FromBytes(raw);
    EXPECT_FALSE(CheckRecord(bad).ok());
}

// A save record's parameters reach the writer chosen by its name: each must be one that
// format can store. The all-zero block of a fresh option file passes.
TEST(CommandRecord, SaveRecordsWithParametersNoFormatStoresAreRefused)
{
    struct Case {
        const char* name;
        void (*set)(tsaveparams&);
        bool ok;
        const char* field;  // named in the message
    };
    const Case cases[] = {
        {"/t/a.pcx", [](tsaveparams&) {}, true, nullptr},
        {"/t/a.pcx", [](tsaveparams& p) { p.BitsPerSample = p.SamplesPerPixel = 65536; }, false, "BitsPerSample 65536"},
        {"/t/a.bmp", [](tsaveparams& p) { p.SamplesPerPixel = -1; }, false, "SamplesPerPixel -1"},
        {"/t/a.png", [](tsaveparams& p) { p.DpiX = 387389207; }, false, "DpiX 387389207"},
        {"/t/a.tif", [](tsaveparams& p) { p.DpiX = 387389207; }, true, nullptr},
        {"/t/a.png", [](tsaveparams& p) { p.DpiY = 54546085; }, true, nullptr},
        {"/t/a.xyz", [](tsaveparams& p) { p.DpiY = 54546086; }, false, "DpiY 54546086"},  // written as BMP
        {"/t/a.jpg", [](tsaveparams& p) { p.DpiX = 65536; }, false, "DpiX 65536"},
        {"/t/a.jpg", [](tsaveparams& p) { p.JpegQuality = 101; }, false, "JpegQuality 101"},
        {"/t/a.gif", [](tsaveparams& p) { p.GifDelayTime = 70000; }, false, "GifDelayTime 70000"},
        {"/t/a.tif", [](tsaveparams& p) { p.TiffCompression = 9; }, false, "TiffCompression 9"},
        {"/t/a.tif", [](tsaveparams& p) { p.TiffPageNumber = 65536; }, false, "TiffPageNumber 65536"},
        {"/t/a.bmp", [](tsaveparams& p) { p.BmpVersion = 4; }, false, "BmpVersion 4"},
        {"/t/a.bmp", [](tsaveparams& p) { p.CurHeight = 4097; }, false, "CurHeight 4097"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tsaveparams p;
        c.set(p);
        tautomatitem a;
        a.SetCode(cmdSave);
        a.SetFileName(QString::fromUtf8(c.name));
        a.SetSaveParams(p);
        const TRecordCheck r = CheckRecord(a);
        EXPECT_EQ(r.ok(), c.ok);
        if (c.field) {
            EXPECT_EQ(r.english, QStringLiteral("Invalid save parameter in batch command: ") + QLatin1String(c.field));
        }
        // The option file's copy is brought into range instead.
        p.Clamp(65535);
        EXPECT_TRUE(p.Problem(65535).isEmpty());
    }
}

}  // namespace
