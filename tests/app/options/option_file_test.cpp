// The option file byte for byte: defaults, offsets, truncation and read-back.
#include "app/options/option_file.h"
#include "app/text/locale_env.h"
#include "app/text/language.h"
#include "platform/core/streams.h"
#include "common/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

namespace {

// Builds the expected file image field by field, at the offsets of the stored layout.
struct Image {
    QByteArray b;
    explicit Image(int size) : b(size, '\0') {}
    void u8(int at, uint8_t v) { b[at] = char(v); }
    void i32(int at, int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    }
    void f64(int at, double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            b[at + i] = char((u >> (8 * i)) & 0xFF);
    }
    void str(int at, const QByteArray& s)
    {
        i32(at, s.size());
        for (int i = 0; i < s.size(); ++i)
            b[at + 4 + i] = s[i];
    }
};

// Start offsets of the 51 fixed blocks, then the end of the fixed part.
const int kBlockStarts[] = {0,    4,    12,   13,   17,   21,   69,   73,   77,   161,  1325, 2161, 2165,
                            2169, 2173, 2174, 2178, 2182, 2186, 2190, 2194, 2218, 2219, 2220, 2221, 2222,
                            2234, 2238, 2246, 2247, 2255, 2259, 2263, 2267, 2268, 2269, 2270, 2271, 2275,
                            2279, 2280, 2281, 2282, 2298, 2299, 2370, 2371, 2372, 2373, 2374, 2375, 2379};

QByteArray expectedDefaults(uint8_t language)
{
    Image im(2379);
    im.i32(0, 0);    // background black
    im.u8(4, 1);     // rotate preview
    im.u8(5, 1);     // rotate antialias
    im.i32(8, 0);    // angle
    im.u8(12, 1);    // merge lock
    im.i32(13, 50);  // merge track bar
    // new-image dialog at 21
    im.f64(21 + 0, 300.0);
    im.f64(21 + 8, 300.0);
    im.f64(21 + 16, 236.2204724409449);
    im.i32(21 + 32, 1);  // resolution unit
    im.u8(21 + 46, 1);   // proportional
    im.i32(69, 11);      // open filter
    im.i32(73, 6);       // save filter
    // print dialog at 77
    for (int off = 16; off <= 40; off += 4)
        im.i32(77 + off, 1);  // the seven unit fields
    im.u8(77 + 68, 1);        // proportional
    im.i32(77 + 80, 6);       // font size
    // save parameters at 161: all zero
    // slide show at 1325
    const int s = 1325;
    im.i32(s + 0, 2);
    im.i32(s + 8, 300);
    im.i32(s + 12, 300);
    im.i32(s + 20, 1);
    im.i32(s + 24, 1);
    im.i32(s + 28, 15);
    im.i32(s + 44, 20);
    im.u8(s + 48, 1);
    im.u8(s + 49, 1);
    im.u8(s + 50, 1);
    im.u8(s + 53, 1);
    im.u8(s + 54, 1);
    im.u8(s + 823, 1);
    im.u8(s + 824, 1);
    im.i32(2174, 8);         // text font size
    im.i32(2178, 255);       // pen red
    im.i32(2182, 0xFF0000);  // fill blue
    im.i32(2186, 5);         // mouse mode zoom
    im.i32(2190, 2);         // tool rectangle
    im.u8(2194 + 8, 1);      // file-list JPEG flag
    im.u8(2194 + 9, 1);      // file-list BMP flag
    im.u8(2219, 1);          // DelayZoomFilter
    im.u8(2220, 1);          // DoubleBuffer
    im.i32(2222 + 4, 128);   // b/w threshold
    im.u8(2222 + 8, 1);      // b/w option
    im.i32(2238, 256);       // colour count
    im.u8(2238 + 4, 1);      // auto preview
    im.f64(2247, 600.0);     // ruler resolution
    im.i32(2255, 5);
    im.i32(2259, 85);
    im.i32(2263, 85);
    im.u8(2267, 5);
    im.u8(2268, 1);
    im.i32(2271, 7);
    im.u8(2279, 1);
    im.u8(2280, 1);
    im.u8(2281, language);
    for (int at = 2370; at <= 2374; ++at)
        im.u8(at, 1);
    im.i32(2375, 1);  // undo depth
    return im.b;
}

QByteArray expectedDefaultStrings()
{
    Image im(23 * 4 + 8 + 19);
    int at = 0;
    for (int i = 0; i < 12; ++i, at += 4)
        im.i32(at, 0);  // ten recent files, last directory, fill pattern
    im.str(at, "1999");
    at += 8;
    im.str(at, "Times New Roman");
    at += 19;
    for (int i = 0; i < 11; ++i, at += 4)
        im.i32(at, 0);  // batch record, eight quick starters, two folders
    return im.b;
}

QByteArray bytesOf(const toptions& o)
{
    TMemoryStream m;
    WriteOptions(o, m);
    return m.Bytes();
}

// Every field moved away from its default, all within range.
toptions changedOptions()
{
    toptions o = DefaultOptions(TempDir());
    o.newbackground = 0x123456;
    o.rotatepreview = 0;
    o.rotateantialias = 0;
    o.rotateangle = -45;
    o.mergelock = 0;
    o.mergetrack = 77;
    for (int i = 0; i < 10; ++i)
        o.recent[i] = QStringLiteral("/home/user/Bilder %1/Bild ä%1.jpg").arg(i);
    o.reserved1 = 0x01020304;
    o.neudialog.width = 640.5;
    o.neudialog.height = 480.25;
    o.neudialog.resolution = 118.11;
    o.neudialog.widthunit = 2;
    o.neudialog.heightunit = 1;
    o.neudialog.resunit = 0;
    o.neudialog.filter = 5;
    o.neudialog.background = 2;
    o.neudialog.mode = 1;
    o.neudialog.showfilter = 1;
    o.neudialog.proportional = 0;
    o.lastdir = QStringLiteral("/tmp/Grüße und mehr/");
    o.openfilter = 3;
    o.savefilter = 2;
    o.printdialog.width = 1000.5;
    o.printdialog.height = 700.25;
    o.printdialog.copies = 3;
    o.printdialog.left = 12.5;
    o.printdialog.top = 7.75;
    o.printdialog.mode = 2;
    o.printdialog.infoflags = 9;
    o.printdialog.cutlines = 1;
    o.printdialog.fontsize = 11;
    o.saveparams.BitsPerSample = 8;
    o.saveparams.SamplesPerPixel = 3;
    o.saveparams.DpiX = 300;
    o.saveparams.DpiY = 150;
    o.saveparams.GifVersion.Assign(QStringLiteral("GIF89a"));
    o.saveparams.GifTransparentColor = TIORGB{1, 2, 3};
    o.saveparams.GifBackground = TIORGB{4, 5, 6};
    o.saveparams.TiffDocumentName.Assign(QStringLiteral("Dokument ö"));
    o.saveparams.TiffPageCount = 4;
    o.saveparams.JpegQuality = 85;
    o.saveparams.JpegProgressive = 1;
    o.saveparams.PcxVersion = 5;
    o.saveparams.CurHeight = 32;
    o.slideshow.sound = 1;
    o.slideshow.seconds = 3;
    o.slideshow.soundfile.Assign(QStringLiteral("/musik/ton.wav"));
    o.slideshow.types[3] = 1;
    o.linestyle = 4;
    o.linewidth = 9;
    o.fillstyle = 8;
    o.fillpattern = QStringLiteral("/muster/8x8.bmp");
    o.texttext = QStringLiteral("Hallo Welt €");
    o.fontname = QStringLiteral("DejaVu Sans");
    o.fontstyle = 5;
    o.fontsize = 14;
    o.pencolor = 0x00FF00;
    o.fillcolor = 0x0000FF;
    o.mousemode = 1;
    o.tool = 9;
    for (int i = 0; i < 8; ++i)
        o.quickstart[i] = QStringLiteral("schnell %1.atm").arg(i + 2);
    o.verzdialog.source = 1;
    o.verzdialog.types = {0, 0, 1, 1, 1, 0, 0, 1, 1, 1};
    o.verzdialog.subdirs = 1;
    o.verzdialog.lastfolder = QStringLiteral("/letzter Ordner/");
    o.verzdialog.directory = QStringLiteral("/Verzeichnis/");
    o.batchrecord = QStringLiteral("aufnahme.atm");
    o.reserved2 = 7;
    o.DelayZoomFilter = 0;
    o.DoubleBuffer = 0;
    o.ZoomFilter = 6;
    o.bwmode = 1;
    o.bwthreshold = -1;
    o.bwoption = 0;
    o.reserved3 = 99;
    o.colorcount = 16;
    o.colorautopreview = 0;
    o.RulerUnit = 2;
    o.RulerResolution = 300.0;
    o.katspacing = 8;
    o.katwidth = 120;
    o.katheight = 90;
    o.katflags = 4;
    o.katautoupdate = 0;
    o.katautoremove = 1;
    o.katfontstyle = 3;
    o.katfontsize = 9;
    o.brushsize = 4;
    o.zoomonload = 0;
    o.fitonload = 0;
    o.language = 1;
    o.winleft = 10;
    o.wintop = 20;
    o.winright = 810;
    o.winbottom = 620;
    o.winstate = 2;
    o.reserved4[0] = 1;
    o.reserved4[70] = 2;
    o.showwelcome = 0;
    o.standardbar = 0;
    o.drawbar = 0;
    o.rulers = 0;
    o.statusbar = 0;
    o.undodepth = 25;
    return o;
}

class OptionFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = TempDir();
        helpDir = TempDir();
        qputenv("KANDRIVEL_HOME", home.toUtf8());
        SetLanguage(langGerman);
    }
    void TearDown() override { SetLanguage(langGerman); }
    TLocaleEnv locale;  // none: the help page decides
    void writeFile(const QByteArray& data, const QString& name = QStringLiteral("Kandrivel.cgf"))
    {
        QFile f(QDir(home).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QString home, helpDir;
};

}  // namespace

TEST_F(OptionFile, DefaultsAreWrittenByteForByteAtTheirOffsets)
{
    toptions o;
    readOptionFile(o, helpDir);  // no file, no English help page
    writeOptionFile(o);
    const QByteArray file = ReadWholeFile(QDir(home).filePath(QStringLiteral("Kandrivel.cgf")));
    ASSERT_EQ(file.size(), 2379 + expectedDefaultStrings().size());
    const QByteArray expected = expectedDefaults(0);
    for (int i = 0; i < 2379; ++i)
        ASSERT_EQ(uint8_t(file[i]), uint8_t(expected[i])) << "offset " << i;
    EXPECT_EQ(file.mid(2379), expectedDefaultStrings());
}

TEST_F(OptionFile, BlockBoundariesMatchTheStoredLayout)
{
    // Each block written alone ends where the next one starts.
    const toptions o = changedOptions();
    const QByteArray all = bytesOf(o);
    ASSERT_GE(all.size(), 2379);
    EXPECT_EQ(tneudialog::Size, 69 - 21);
    EXPECT_EQ(tprintdialog::Size, 161 - 77);
    EXPECT_EQ(tsaveparams::Size, 1325 - 161);
    EXPECT_EQ(tslideshowoptions::Size, 2161 - 1325);
    EXPECT_EQ(tverzdialog::Size, 2218 - 2194);
    TMemoryStream m;
    o.saveparams.Write(m);
    EXPECT_EQ(m.Size(), 1164);
    // A few hand-placed fields of the changed record.
    auto i32 = [&](int at) {
        return int32_t(uint8_t(all[at]) | uint8_t(all[at + 1]) << 8 | uint8_t(all[at + 2]) << 16 |
                       uint32_t(uint8_t(all[at + 3])) << 24);
    };
    EXPECT_EQ(i32(0), 0x123456);
    EXPECT_EQ(i32(8), -45);
    EXPECT_EQ(i32(13), 77);
    EXPECT_EQ(i32(161 + 8), 300);          // DpiX
    EXPECT_EQ(uint8_t(all[161 + 16]), 6);  // GifVersion length
    EXPECT_EQ(all.mid(161 + 17, 6), "GIF89a");
    EXPECT_EQ(uint8_t(all[161 + 289]), 1);   // transparent colour blue
    EXPECT_EQ(uint8_t(all[161 + 291]), 3);   // ... red
    EXPECT_EQ(i32(161 + 1124), 85);          // JPEG quality
    EXPECT_EQ(i32(161 + 1160), 32);          // cursor height
    EXPECT_EQ(i32(1325 + 4 * 7), 3);         // slide seconds
    EXPECT_EQ(uint8_t(all[1325 + 826]), 1);  // .gif flag
    EXPECT_EQ(i32(2194), 1);                 // file-list source
    EXPECT_EQ(i32(2194 + 4), 0);             // string slot
    EXPECT_EQ(i32(2194 + 20), 0);            // string slot
    EXPECT_EQ(uint8_t(all[2194 + 18]), 1);   // subdirectories
    EXPECT_EQ(uint8_t(all[2221]), 6);        // zoom filter
    EXPECT_EQ(i32(2190), 9);                 // tool
    EXPECT_EQ(uint8_t(all[2281]), 1);        // language
    EXPECT_EQ(i32(2282 + 8), 810);           // window right
    EXPECT_EQ(uint8_t(all[2298]), 2);        // window state
    EXPECT_EQ(uint8_t(all[2299]), 1);        // reserved block kept
    EXPECT_EQ(uint8_t(all[2369]), 2);
    EXPECT_EQ(i32(2375), 25);
    // The first string is the most recent file.
    const QByteArray first = o.recent[0].toUtf8();
    EXPECT_EQ(i32(2379), first.size());
    EXPECT_EQ(all.mid(2383, first.size()), first);
}

TEST_F(OptionFile, ChangedValuesReadBack)
{
    toptions o = changedOptions();
    writeOptionFile(o);
    toptions r;
    readOptionFile(r, helpDir);
    // Not held by the file: defaults at every start, in the language read.
    EXPECT_EQ(r.katfontname, QStringLiteral("Times New Roman"));
    EXPECT_EQ(r.autodialog.startname.Text(), QStringLiteral("noname"));
    EXPECT_EQ(r.autodialog.keepformat, 1);
    EXPECT_EQ(r.autodialog.existing, 1);
    EXPECT_EQ(CurrentLanguage(), langEnglish);
    o.katfontname = r.katfontname;
    o.autodialog = r.autodialog;
    EXPECT_TRUE(r == o);
    EXPECT_EQ(r.recent[3], QStringLiteral("/home/user/Bilder 3/Bild ä3.jpg"));
    EXPECT_EQ(r.texttext, QStringLiteral("Hallo Welt €"));
    EXPECT_EQ(r.lastdir, QStringLiteral("/tmp/Grüße und mehr/"));
    EXPECT_EQ(r.verzdialog.directory, QStringLiteral("/Verzeichnis/"));
    EXPECT_EQ(r.saveparams.TiffDocumentName.Text(), QStringLiteral("Dokument ö"));
    EXPECT_EQ(bytesOf(r), bytesOf(o));
}

TEST_F(OptionFile, BatchBlockAndCatalogFontTakeDefaultsWithAFile)
{
    toptions o = DefaultOptions(helpDir);
    o.autodialog.existing = 0;
    o.katfontname = QStringLiteral("Arial");
    writeOptionFile(o);
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.autodialog.existing, 1);  // never "overwrite" by accident
    EXPECT_EQ(r.autodialog.startname.Text(), QStringLiteral("unbenannt"));
    EXPECT_EQ(r.katfontname, QStringLiteral("Times New Roman"));
}

TEST_F(OptionFile, TruncationAtEveryBlockBoundaryKeepsDefaultsForTheRest)
{
    const toptions defaults = DefaultOptions(helpDir);
    const QByteArray def = bytesOf(defaults);
    const QByteArray changed = bytesOf(changedOptions());
    for (int cut : kBlockStarts) {
        for (int extra : {0, 1}) {
            const int len = cut + extra;
            if (len > 2379 + 3)
                continue;
            SCOPED_TRACE(len);
            writeFile(changed.left(len));
            toptions r;
            readOptionFile(r, helpDir);  // never throws
            const QByteArray got = bytesOf(r);
            // Complete blocks come from the file, the rest is the defaults' image.
            int whole = 0;
            for (int b : kBlockStarts)
                if (b <= len)
                    whole = b;
            EXPECT_EQ(got.left(whole), changed.left(whole));
            EXPECT_EQ(got.mid(whole, 2379 - whole), def.mid(whole, 2379 - whole));
            EXPECT_EQ(got.mid(2379), def.mid(2379));
        }
    }
}

TEST_F(OptionFile, TruncationInsideTheStringsKeepsTheStringsReadInFull)
{
    const toptions c = changedOptions();
    const QByteArray changed = bytesOf(c);
    // Offsets where each string starts.
    std::vector<int> starts;
    int at = 2379;
    while (at < changed.size()) {
        starts.push_back(at);
        const int n = int(uint8_t(changed[at]) | uint8_t(changed[at + 1]) << 8);
        at += 4 + n;
    }
    ASSERT_EQ(starts.size(), 25u);
    for (int k = 0; k < 25; ++k) {
        SCOPED_TRACE(k);
        writeFile(changed.left(starts[k] + 2));  // half a length field or a cut text
        toptions r;
        readOptionFile(r, helpDir);
        if (k < 10) {
            if (k > 0) {
                EXPECT_EQ(r.recent[k - 1], c.recent[k - 1]);
            }
            EXPECT_TRUE(r.recent[k].isEmpty());
        }
        if (k == 12) {
            EXPECT_EQ(r.fillpattern, c.fillpattern);
            EXPECT_EQ(r.texttext, QStringLiteral("1999"));  // default stays
        }
        if (k == 24) {
            EXPECT_EQ(r.verzdialog.lastfolder, c.verzdialog.lastfolder);
            EXPECT_TRUE(r.verzdialog.directory.isEmpty());
        }
        EXPECT_EQ(r.undodepth, 25);  // the fixed part was whole
    }
}

TEST_F(OptionFile, StringLengthBeyondTheFileIsRefused)
{
    QByteArray data = bytesOf(changedOptions()).left(2379);
    Image len(4);
    len.i32(0, 0x7FFFFFF0);
    data += len.b + "abc";
    writeFile(data);
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_TRUE(r.recent[0].isEmpty());
    EXPECT_EQ(r.texttext, QStringLiteral("1999"));
    EXPECT_EQ(r.fontname, QStringLiteral("Times New Roman"));
    EXPECT_EQ(r.tool, 9);
}

TEST_F(OptionFile, NegativeAndZeroLengthStringsReadAsEmpty)
{
    QByteArray data = bytesOf(DefaultOptions(helpDir)).left(2379);
    Image strs(8);
    strs.i32(0, 0);
    strs.i32(4, -5);
    data += strs.b;
    writeFile(data);
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_TRUE(r.recent[0].isEmpty());
    EXPECT_TRUE(r.recent[1].isEmpty());
}

TEST_F(OptionFile, CodedFieldsAreClamped)
{
    Image im(2379);
    im.b = bytesOf(DefaultOptions(helpDir)).left(2379);
    im.u8(2281, 5);                  // language
    im.u8(2221, 9);                  // zoom filter
    im.i32(2186, -3);                // mouse mode
    im.i32(2190, 12);                // tool
    im.i32(2161, 99);                // line style
    im.i32(2169, -1);                // fill style
    im.i32(2275, 7);                 // brush size
    im.u8(2246, 3);                  // ruler unit
    im.f64(2247, -1.0);              // ruler resolution
    im.i32(2375, -5);                // undo depth
    im.u8(2298, 9);                  // window state
    im.i32(1325 + 44, -1600000000);  // slide-show font size
    im.i32(1325 + 8, 0);             // slide-show fixed width
    im.i32(161, 65536);              // last save's BitsPerSample
    im.i32(161 + 8, 387389207);      // and its DpiX
    writeFile(im.b);
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.slideshow.fontsize, 1);
    EXPECT_EQ(r.slideshow.fixedwidth, 1);
    EXPECT_EQ(r.saveparams.BitsPerSample, 16);
    EXPECT_EQ(r.saveparams.DpiX, 65535);
    EXPECT_EQ(r.language, 1);
    EXPECT_EQ(r.ZoomFilter, 6);
    EXPECT_EQ(r.mousemode, 0);
    EXPECT_EQ(r.tool, 9);
    EXPECT_EQ(r.linestyle, 5);
    EXPECT_EQ(r.fillstyle, 0);
    EXPECT_EQ(r.brushsize, 4);
    EXPECT_EQ(r.RulerUnit, 2);
    EXPECT_EQ(r.RulerResolution, 600.0);
    EXPECT_EQ(r.undodepth, 0);
    EXPECT_EQ(r.winstate, 2);

    im.f64(2247, std::numeric_limits<double>::quiet_NaN());
    // A hand-edited depth would keep that many full bitmaps per window.
    im.i32(2375, std::numeric_limits<int32_t>::max());
    writeFile(im.b);
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.RulerResolution, 600.0);
    EXPECT_EQ(r.undodepth, kMaxUndoDepth);
}

TEST_F(OptionFile, LanguageFollowsTheEnglishHelpPageOnlyWithoutAFile)
{
    toptions o;
    readOptionFile(o, helpDir);
    EXPECT_EQ(o.language, 0);
    EXPECT_EQ(o.autodialog.startname.Text(), QStringLiteral("unbenannt"));

    QFile help(QDir(helpDir).filePath(QStringLiteral("Kandrivel(e).html")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    readOptionFile(o, helpDir);
    EXPECT_EQ(o.language, 1);
    EXPECT_EQ(CurrentLanguage(), langEnglish);
    EXPECT_EQ(o.autodialog.startname.Text(), QStringLiteral("noname"));

    // With a file its language byte decides, help page or not.
    o.language = 0;
    writeOptionFile(o);
    readOptionFile(o, helpDir);
    EXPECT_EQ(o.language, 0);
    EXPECT_EQ(CurrentLanguage(), langGerman);
}

TEST_F(OptionFile, OneFileNameMatchedWithoutRegardToCase)
{
    toptions o = changedOptions();
    TMemoryStream m;
    WriteOptions(o, m);
    writeFile(m.Bytes(), QStringLiteral("KANDRIVEL.CGF"));
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.tool, 9);
    r.tool = 3;
    writeOptionFile(r);
    const QStringList files = QDir(home).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{QStringLiteral("KANDRIVEL.CGF")});
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.tool, 3);
}

TEST_F(OptionFile, WritingReplacesTheFileThroughARename)
{
    toptions o = DefaultOptions(helpDir);
    writeOptionFile(o);
    const QString name = QDir(home).filePath(QStringLiteral("Kandrivel.cgf"));
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &before), 0);
    o.tool = 4;
    writeOptionFile(o);
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file, not the old one truncated
    EXPECT_EQ(QDir(home).entryList(QDir::Files).size(), 1);
}

TEST_F(OptionFile, MissingOrUnreadableFileGivesDefaults)
{
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_EQ(bytesOf(r), bytesOf(DefaultOptions(helpDir)));
    // A directory in the file's place is no file: defaults, no exception.
    QDir(home).mkdir(QStringLiteral("Kandrivel.cgf"));
    EXPECT_NO_THROW(readOptionFile(r, helpDir));
    EXPECT_EQ(r.tool, 2);
}

TEST(ShortString, LongTextIsRefusedNotCut)
{
    TShortString s;
    EXPECT_TRUE(s.Assign(QString(255, QLatin1Char('a'))));
    EXPECT_FALSE(s.Assign(QString(128, QChar(0x00FC))));  // 256 bytes of UTF-8
    EXPECT_EQ(s.Text(), QString(255, QLatin1Char('a')));  // unchanged
    EXPECT_TRUE(s.Assign(QStringLiteral("Grüße")));
    TMemoryStream m;
    m.WriteU8(0xEE);  // the slot starts after this byte
    s.Write(m);
    ASSERT_EQ(m.Size(), 257);
    const QByteArray b = m.Bytes();
    EXPECT_EQ(uint8_t(b[1]), 7);  // UTF-8 length
    EXPECT_EQ(b.mid(2, 7), QStringLiteral("Grüße").toUtf8());
    EXPECT_EQ(b.mid(9), QByteArray(248, '\0'));
    m.SetPosition(1);
    TShortString r;
    r.Read(m);
    EXPECT_EQ(r.Text(), QStringLiteral("Grüße"));
}

TEST_F(OptionFile, FileListStringSlotsInTheBlockAreIgnored)
{
    toptions o = changedOptions();
    QByteArray data = bytesOf(o);
    for (int at : {2194 + 4, 2194 + 20})
        for (int i = 0; i < 4; ++i)
            data[at + i] = char(0xAB);
    writeFile(data);
    toptions r;
    readOptionFile(r, helpDir);
    EXPECT_EQ(r.verzdialog.lastfolder, QStringLiteral("/letzter Ordner/"));
    EXPECT_EQ(r.verzdialog.directory, QStringLiteral("/Verzeichnis/"));
    EXPECT_EQ(r.verzdialog.source, 1);
    // Written back, the slots are zero again.
    writeOptionFile(r);
    const QByteArray again = ReadWholeFile(QDir(home).filePath(QStringLiteral("Kandrivel.cgf")));
    EXPECT_EQ(again.mid(2198, 4), QByteArray(4, '\0'));
    EXPECT_EQ(again.mid(2214, 4), QByteArray(4, '\0'));
}

// Fifteen fields taken from the stored layout tables, each at its absolute file offset.
TEST_F(OptionFile, EmbeddedBlockFieldsSitAtTheirFileOffsets)
{
    writeOptionFile(changedOptions());
    const QByteArray f = ReadWholeFile(QDir(home).filePath(QStringLiteral("Kandrivel.cgf")));
    ASSERT_GE(f.size(), 2379);
    auto u8 = [&](int at) { return int(uint8_t(f[at])); };
    auto i32 = [&](int at) {
        return int32_t(uint32_t(u8(at)) | uint32_t(u8(at + 1)) << 8 | uint32_t(u8(at + 2)) << 16 |
                       uint32_t(u8(at + 3)) << 24);
    };
    auto f64 = [&](int at) {
        uint64_t u = 0;
        for (int i = 7; i >= 0; --i)
            u = (u << 8) | uint64_t(u8(at + i));
        double d;
        std::memcpy(&d, &u, 8);
        return d;
    };
    // new-image dialog block at 21
    EXPECT_EQ(f64(21 + 8), 480.25);  // height
    EXPECT_EQ(i32(21 + 24), 2);      // width unit
    EXPECT_EQ(i32(21 + 36), 5);      // filter
    EXPECT_EQ(u8(21 + 45), 1);       // show filter
    // print block at 77
    EXPECT_EQ(i32(77 + 44), 3);     // copies
    EXPECT_EQ(f64(77 + 56), 7.75);  // top
    EXPECT_EQ(i32(77 + 72), 2);     // mode
    EXPECT_EQ(u8(77 + 76), 9);      // information lines
    EXPECT_EQ(i32(77 + 80), 11);    // font size
    // save parameters at 161
    EXPECT_EQ(i32(161 + 12), 150);  // DpiY
    EXPECT_EQ(u8(161 + 304), 4);    // GIF background blue
    EXPECT_EQ(u8(161 + 306), 6);    // ... red
    const QByteArray doc = QStringLiteral("Dokument ö").toUtf8();
    EXPECT_EQ(u8(161 + 340), doc.size());  // TIFF document name
    EXPECT_EQ(f.mid(161 + 341, doc.size()), doc);
    EXPECT_EQ(i32(161 + 1112), 4);  // TIFF page count
    EXPECT_EQ(u8(161 + 1136), 1);   // JPEG progressive
    EXPECT_EQ(i32(161 + 1140), 5);  // PCX version
    // slide show at 1325
    EXPECT_EQ(i32(1325 + 0), 1);  // sound
    const QByteArray snd("/musik/ton.wav");
    EXPECT_EQ(u8(1325 + 55), snd.size());  // sound file
    EXPECT_EQ(f.mid(1325 + 56, snd.size()), snd);
    // file-list block at 2194: ten type flags from +8
    const int types[10] = {0, 0, 1, 1, 1, 0, 0, 1, 1, 1};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(u8(2194 + 8 + i), types[i]) << "type " << i;
    // plain fields
    EXPECT_EQ(i32(2182), 0x0000FF);  // fill colour
    EXPECT_EQ(i32(2222 + 4), -1);    // b/w threshold
    EXPECT_EQ(i32(2238), 16);        // colour count
    EXPECT_EQ(u8(2246), 2);          // ruler unit
    EXPECT_EQ(f64(2247), 300.0);     // ruler resolution
    EXPECT_EQ(u8(2267), 4);          // catalog caption flags
    EXPECT_EQ(i32(2271), 9);         // catalog font size
    EXPECT_EQ(u8(2173), 5);          // text font style
    EXPECT_EQ(i32(2282 + 4), 20);    // window top
}
