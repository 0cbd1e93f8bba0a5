// Writing and reading the fixed blocks of the option record, field by field.
#include "app/options/option_blocks.h"

#include "app/text/translation.h"
#include "imaging/io/tiff/tiff_codes.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <type_traits>

namespace {

void writeZeros(TStream& s, int n)
{
    for (int i = 0; i < n; ++i)
        s.WriteU8(0);
}

void skip(TStream& s, int n)
{
    uint8_t buf[8];
    while (n > 0) {
        const int k = n < 8 ? n : 8;
        s.ReadBuffer(buf, k);
        n -= k;
    }
}

void writeRGB(TStream& s, const TIORGB& c)
{
    s.WriteU8(c.b);
    s.WriteU8(c.g);
    s.WriteU8(c.r);
}

TIORGB readRGB(TStream& s)
{
    TIORGB c;
    c.b = s.ReadU8();
    c.g = s.ReadU8();
    c.r = s.ReadU8();
    return c;
}

}  // namespace

// --- tneudialog

tneudialog tneudialog::Defaults()
{
    tneudialog d;
    d.width = 300.0;
    d.height = 300.0;
    d.resolution = 600.0 / 2.54;
    d.resunit = 1;
    d.proportional = 1;
    return d;
}

void tneudialog::Write(TStream& s) const
{
    s.WriteF64(width);
    s.WriteF64(height);
    s.WriteF64(resolution);
    s.WriteI32(widthunit);
    s.WriteI32(heightunit);
    s.WriteI32(resunit);
    s.WriteI32(filter);
    s.WriteI32(background);
    s.WriteU8(mode);
    s.WriteU8(showfilter);
    s.WriteU8(proportional);
    writeZeros(s, 1);
}

void tneudialog::Read(TStream& s)
{
    width = s.ReadF64();
    height = s.ReadF64();
    resolution = s.ReadF64();
    widthunit = s.ReadI32();
    heightunit = s.ReadI32();
    resunit = s.ReadI32();
    filter = s.ReadI32();
    background = s.ReadI32();
    mode = s.ReadU8();
    showfilter = s.ReadU8();
    proportional = s.ReadU8();
    skip(s, 1);
}

// --- tprintdialog

tprintdialog tprintdialog::Defaults()
{
    tprintdialog d;
    d.resunit = d.pagewidthunit = d.pageheightunit = 1;
    d.leftunit = d.topunit = d.widthunit = d.heightunit = 1;
    d.proportional = 1;
    d.fontsize = 6;
    return d;
}

void tprintdialog::Write(TStream& s) const
{
    s.WriteF64(width);
    s.WriteF64(height);
    s.WriteI32(resunit);
    s.WriteI32(pagewidthunit);
    s.WriteI32(pageheightunit);
    s.WriteI32(leftunit);
    s.WriteI32(topunit);
    s.WriteI32(widthunit);
    s.WriteI32(heightunit);
    s.WriteI32(copies);
    s.WriteF64(left);
    s.WriteF64(top);
    s.WriteI32(placement);
    s.WriteU8(proportional);
    s.WriteU8(autopreview);
    s.WriteU8(jobperpage);
    s.WriteU8(cutlines);
    s.WriteI32(mode);
    s.WriteU8(infoflags);
    writeZeros(s, 3);
    s.WriteI32(fontsize);
}

void tprintdialog::Read(TStream& s)
{
    width = s.ReadF64();
    height = s.ReadF64();
    resunit = s.ReadI32();
    pagewidthunit = s.ReadI32();
    pageheightunit = s.ReadI32();
    leftunit = s.ReadI32();
    topunit = s.ReadI32();
    widthunit = s.ReadI32();
    heightunit = s.ReadI32();
    copies = s.ReadI32();
    left = s.ReadF64();
    top = s.ReadF64();
    placement = s.ReadI32();
    proportional = s.ReadU8();
    autopreview = s.ReadU8();
    jobperpage = s.ReadU8();
    cutlines = s.ReadU8();
    mode = s.ReadI32();
    infoflags = s.ReadU8();
    skip(s, 3);
    fontsize = s.ReadI32();
}

// --- tsaveparams

bool tsaveparams::IsBlank() const
{
    TMemoryStream s;
    Write(s);
    const QByteArray bytes = s.Bytes();
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

void tsaveparams::Write(TStream& s) const
{
    s.WriteI32(BitsPerSample);
    s.WriteI32(SamplesPerPixel);
    s.WriteI32(DpiX);
    s.WriteI32(DpiY);
    GifVersion.Write(s);
    s.WriteI32(GifImageIndex);
    s.WriteI32(GifXPos);
    s.WriteI32(GifYPos);
    s.WriteI32(GifDelayTime);
    s.WriteU8(GifTransparent);
    writeRGB(s, GifTransparentColor);
    s.WriteU8(GifInterlaced);
    writeZeros(s, 3);
    s.WriteI32(GifScreenWidth);
    s.WriteI32(GifScreenHeight);
    writeRGB(s, GifBackground);
    writeZeros(s, 1);
    s.WriteI32(GifAspectRatio);
    writeZeros(s, 8);  // GIF coder hook slots
    s.WriteU8(TiffCompression);
    s.WriteU8(TiffPhotometric);
    writeZeros(s, 2);
    s.WriteI32(TiffPlanarConfig);
    s.WriteI32(TiffImageIndex);
    s.WriteI32(TiffXPos);
    s.WriteI32(TiffYPos);
    TiffDocumentName.Write(s);
    TiffImageDescription.Write(s);
    TiffPageName.Write(s);
    s.WriteI32(TiffPageNumber);
    s.WriteI32(TiffPageCount);
    writeZeros(s, 4);  // TIFF coder hook slot
    s.WriteU8(JpegColorSpace);
    writeZeros(s, 3);
    s.WriteI32(JpegQuality);
    s.WriteU8(JpegDctMethod);
    s.WriteU8(JpegOptimalHuffman);
    writeZeros(s, 2);
    s.WriteI32(JpegSmoothing);
    s.WriteU8(JpegProgressive);
    s.WriteU8(BmpCompression);
    s.WriteU8(BmpVersion);
    writeZeros(s, 1);
    s.WriteI32(PcxVersion);
    s.WriteU8(PcxCompression);
    writeZeros(s, 3);
    s.WriteI32(IcoWidth);
    s.WriteI32(IcoHeight);
    s.WriteI32(CurWidth);
    s.WriteI32(CurHeight);
}

void tsaveparams::Read(TStream& s)
{
    BitsPerSample = s.ReadI32();
    SamplesPerPixel = s.ReadI32();
    DpiX = s.ReadI32();
    DpiY = s.ReadI32();
    GifVersion.Read(s);
    GifImageIndex = s.ReadI32();
    GifXPos = s.ReadI32();
    GifYPos = s.ReadI32();
    GifDelayTime = s.ReadI32();
    GifTransparent = s.ReadU8();
    GifTransparentColor = readRGB(s);
    GifInterlaced = s.ReadU8();
    skip(s, 3);
    GifScreenWidth = s.ReadI32();
    GifScreenHeight = s.ReadI32();
    GifBackground = readRGB(s);
    skip(s, 1);
    GifAspectRatio = s.ReadI32();
    skip(s, 8);
    TiffCompression = s.ReadU8();
    TiffPhotometric = s.ReadU8();
    skip(s, 2);
    TiffPlanarConfig = s.ReadI32();
    TiffImageIndex = s.ReadI32();
    TiffXPos = s.ReadI32();
    TiffYPos = s.ReadI32();
    TiffDocumentName.Read(s);
    TiffImageDescription.Read(s);
    TiffPageName.Read(s);
    TiffPageNumber = s.ReadI32();
    TiffPageCount = s.ReadI32();
    skip(s, 4);
    JpegColorSpace = s.ReadU8();
    skip(s, 3);
    JpegQuality = s.ReadI32();
    JpegDctMethod = s.ReadU8();
    JpegOptimalHuffman = s.ReadU8();
    skip(s, 2);
    JpegSmoothing = s.ReadI32();
    JpegProgressive = s.ReadU8();
    BmpCompression = s.ReadU8();
    BmpVersion = s.ReadU8();
    skip(s, 1);
    PcxVersion = s.ReadI32();
    PcxCompression = s.ReadU8();
    skip(s, 3);
    IcoWidth = s.ReadI32();
    IcoHeight = s.ReadI32();
    CurWidth = s.ReadI32();
    CurHeight = s.ReadI32();
}

// --- tslideshowoptions

tslideshowoptions tslideshowoptions::Defaults()
{
    tslideshowoptions d;
    d.sound = 2;
    d.fixedwidth = 300;
    d.fixedheight = 300;
    d.scaling = 1;
    d.filter = 1;
    d.seconds = 15;
    d.fontsize = 20;
    d.nexttimed = 1;
    d.nextonkey = 1;
    d.hidemouse = 1;
    d.hidetaskbar = 1;
    d.showtext = 1;
    d.types[0] = 1;  // jpg
    d.types[1] = 1;  // bmp
    return d;
}

void tslideshowoptions::Write(TStream& s) const
{
    for (int32_t v :
         {sound, window, fixedwidth, fixedheight, order, scaling, filter, seconds, listsort, source, dirsort, fontsize})
        s.WriteI32(v);
    for (uint8_t v : {nexttimed, nextonkey, hidemouse, repeat, subdirs, hidetaskbar, showtext})
        s.WriteU8(v);
    soundfile.Write(s);
    directory.Write(s);
    lastfolder.Write(s);
    s.WriteBuffer(types.data(), static_cast<int64_t>(types.size()));
    writeZeros(s, 3);
}

void tslideshowoptions::Read(TStream& s)
{
    for (int32_t* v : {&sound, &window, &fixedwidth, &fixedheight, &order, &scaling, &filter, &seconds, &listsort,
                       &source, &dirsort, &fontsize})
        *v = s.ReadI32();
    for (uint8_t* v : {&nexttimed, &nextonkey, &hidemouse, &repeat, &subdirs, &hidetaskbar, &showtext})
        *v = s.ReadU8();
    soundfile.Read(s);
    directory.Read(s);
    lastfolder.Read(s);
    s.ReadBuffer(types.data(), static_cast<int64_t>(types.size()));
    skip(s, 3);
}

void tsaveparams::ApplyChoicesTo(TIOParamsVals& p, const std::function<bool()>& savedBlackAndWhite) const
{
    p.JpegColorSpace = JpegColorSpace;
    p.JpegQuality = JpegQuality;
    p.JpegDctMethod = JpegDctMethod;
    p.JpegOptimalHuffman = JpegOptimalHuffman;
    p.JpegProgressive = JpegProgressive;
    p.BmpCompression = BmpCompression;
    p.PcxCompression = PcxCompression;
    const bool fax = TiffCompression >= tcpCcittRle && TiffCompression <= tcpGroup4;
    if (!fax || (savedBlackAndWhite && savedBlackAndWhite()))
        p.TiffCompression = TiffCompression;
}

namespace {

// Visits every number of the block with the largest value its format writes; the least
// is 0 for all (the option file's first block is all zero, and every writer takes 0).
template <class Block, class Visit> void forEachSaveNumber(Block& b, int maxDpi, Visit visit)
{
    constexpr int64_t any = INT32_MAX;
    visit("BitsPerSample", b.BitsPerSample, 16);
    visit("SamplesPerPixel", b.SamplesPerPixel, 4);
    visit("DpiX", b.DpiX, maxDpi);
    visit("DpiY", b.DpiY, maxDpi);
    visit("GifImageIndex", b.GifImageIndex, any);
    visit("GifXPos", b.GifXPos, 65535);
    visit("GifYPos", b.GifYPos, 65535);
    visit("GifDelayTime", b.GifDelayTime, 65535);
    visit("GifTransparent", b.GifTransparent, 1);
    visit("GifInterlaced", b.GifInterlaced, 1);
    visit("GifScreenWidth", b.GifScreenWidth, 65535);
    visit("GifScreenHeight", b.GifScreenHeight, 65535);
    visit("GifAspectRatio", b.GifAspectRatio, 255);
    visit("TiffCompression", b.TiffCompression, 8);
    visit("TiffPhotometric", b.TiffPhotometric, 7);
    visit("TiffPlanarConfig", b.TiffPlanarConfig, 2);
    visit("TiffImageIndex", b.TiffImageIndex, any);
    visit("TiffXPos", b.TiffXPos, any);
    visit("TiffYPos", b.TiffYPos, any);
    visit("TiffPageNumber", b.TiffPageNumber, 65535);
    visit("TiffPageCount", b.TiffPageCount, 65535);
    visit("JpegColorSpace", b.JpegColorSpace, 4);
    visit("JpegQuality", b.JpegQuality, 100);
    visit("JpegDctMethod", b.JpegDctMethod, 2);
    visit("JpegOptimalHuffman", b.JpegOptimalHuffman, 1);
    visit("JpegSmoothing", b.JpegSmoothing, 100);
    visit("JpegProgressive", b.JpegProgressive, 1);
    visit("BmpCompression", b.BmpCompression, 1);
    visit("BmpVersion", b.BmpVersion, 3);
    visit("PcxVersion", b.PcxVersion, 255);
    visit("PcxCompression", b.PcxCompression, 1);
    visit("IcoWidth", b.IcoWidth, kMaxIconSide);
    visit("IcoHeight", b.IcoHeight, kMaxIconSide);
    visit("CurWidth", b.CurWidth, kMaxIconSide);
    visit("CurHeight", b.CurHeight, kMaxIconSide);
}

}  // namespace

QString tsaveparams::Problem(int maxDpi) const
{
    QString problem;
    forEachSaveNumber(*this, maxDpi, [&](const char* name, const auto& v, int64_t max) {
        if (problem.isEmpty() && (int64_t(v) < 0 || int64_t(v) > max))
            problem = QLatin1String(name) + QLatin1Char(' ') + QString::number(int64_t(v));
    });
    return problem;
}

void tsaveparams::Clamp(int maxDpi)
{
    forEachSaveNumber(*this, maxDpi, [](const char*, auto& v, int64_t max) {
        using T = std::remove_reference_t<decltype(v)>;
        v = T(std::clamp<int64_t>(int64_t(v), 0, max));
    });
}

// --- tverzdialog

tverzdialog tverzdialog::Defaults()
{
    tverzdialog d;
    d.types[0] = 1;  // JPEG
    d.types[1] = 1;  // BMP
    return d;
}

void tverzdialog::Write(TStream& s) const
{
    s.WriteI32(source);
    writeZeros(s, 4);  // string slot
    s.WriteBuffer(types.data(), static_cast<int64_t>(types.size()));
    s.WriteU8(subdirs);
    writeZeros(s, 1);
    writeZeros(s, 4);  // string slot
}

void tverzdialog::Read(TStream& s)
{
    source = s.ReadI32();
    skip(s, 4);
    s.ReadBuffer(types.data(), static_cast<int64_t>(types.size()));
    subdirs = s.ReadU8();
    skip(s, 1);
    skip(s, 4);
}

// --- tautodialog

tautodialog tautodialog::Defaults()
{
    tautodialog d;
    d.startname.Assign(TranslatedText(QStringLiteral("unbenannt")));
    d.keepformat = 1;
    d.existing = 1;
    return d;
}
