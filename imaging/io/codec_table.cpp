// The table of formats: extensions, descriptions, readers, writers and parameter texts.
#include "imaging/io/codec_table.h"

#include "imaging/io/bmp/bmp.h"
#include "imaging/io/drawn_formats.h"
#include "imaging/io/gif/gif.h"
#include "imaging/io/jpeg/jpeg_codec.h"
#include "imaging/io/pcx/pcx.h"
#include "imaging/io/png/png_codec.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <QFileInfo>
#include <iterator>

namespace {

QString suffixOf(const char* const* table, int count, int value)
{
    return value >= 0 && value < count ? QLatin1String(table[value]) : QString();
}

QString tiffSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {" Uncompressed", " Huffman", " Group 3 Fax", " Group 3 Fax 2D", " Group 4 Fax",
                                    " LZW", " Jpeg v.5", " Jpeg", " PackBits RLE"};
    return suffixOf(c, 9, p.TiffCompression);
}

QString gifSuffix(const TIOParamsVals& p) { return p.GifInterlaced ? QStringLiteral(" Interlaced") : QString(); }

QString jpegSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {"", " Gray level", " YCbCr", " CMYK", " YCbCrK"};
    return suffixOf(c, 5, p.JpegColorSpace);
}

QString pcxSuffix(const TIOParamsVals& p) { return p.PcxCompression == 0 ? QStringLiteral(" Uncompressed") : QString(); }

QString bmpSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {" ver.1", " ver.3", " OS/2 v.1", " OS/2 v.2"};
    return suffixOf(c, 4, p.BmpVersion);
}

QString pngSuffix(const TIOParamsVals& p) { return p.PngInterlaced ? QStringLiteral(" Interlaced") : QString(); }

int readJpeg(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadJPEGStream(s, b, p, r);
    return 1;
}

int readPng(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadPNGStream(s, b, p, r);
    return 1;
}

// The BMP reader is told how many bytes the picture may take: the rest of the stream.
int readBmp(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadBMPStream(s, b, s.Size() - s.Position(), r, p);
    return 1;
}

// A PCX file is the rest of the stream.
int readPcx(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadPCXStream(s, b, p, r, s.Size() - s.Position());
    return 1;
}

void writeTiff(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) { WriteTIFFStream(s, false, b, r, p); }

// PNG composes transparency over the component's background, and a file's own
// background colour becomes the component's.
void pngBackgroundIn(TIOParamsVals& p, TColor c) { p.PngBackground = ColorToIORGB(ColorToRGB(c)); }
TColor pngBackgroundOut(const TIOParamsVals& p) { return IORGBToColor(p.PngBackground); }
// A GIF leaves its transparent colour, else its screen's background, as the component's.
TColor gifBackgroundOut(const TIOParamsVals& p)
{
    return IORGBToColor(p.GifTransparent ? p.GifTransparentColor : p.GifBackground);
}

// GIF pixels need an LZW compressor, which the program leaves to be plugged in.
bool gifWriterReady() { return DefaultLzwHooks().GifCompress != nullptr; }

// Files that store pixels per metre in 31 bits (PNG, BMP) hold this much: what their
// readers give for the largest count, so that such a file can be saved back.
constexpr int kMaxPpmDpi = 54546085;

// In FileType order, so that an entry is found by its number.
constexpr TCodec kCodecs[] = {
    {.FileType = ioTIFF, .Extensions = {"tif", "tiff"}, .Name = "TIFF Bitmap (TIF)", .DescriptionSuffix = tiffSuffix,
     .Format = "TIFF", .Read = ReadTIFFStream, .OwnWriter = true, .Write = writeTiff, .StreamTag = "TIFF", .TagAfterAbort = true},
    {.FileType = ioGIF, .Extensions = {"gif"}, .Name = "CompuServe Bitmap (TIF)", .DescriptionSuffix = gifSuffix,
     .Format = "GIF", .Read = ReadGIFStream, .BackgroundOut = gifBackgroundOut, .OwnWriter = true,
     .Write = WriteGIFStream, .WriterReady = gifWriterReady},
    {.FileType = ioJPEG, .Extensions = {"jpg", "jpeg"}, .Name = "JPEG Bitmap (JPG)", .DescriptionSuffix = jpegSuffix,
     .Format = "JPEG", .Read = readJpeg, .OwnWriter = true, .Write = WriteJPEGStream,
     .StreamTag = "JFIF", .TagAfterAbort = true, .MaxDpi = 65535},
    {.FileType = ioPCX, .Extensions = {"pcx"}, .Name = "PaintBrush (PCX)", .DescriptionSuffix = pcxSuffix,
     .Format = "PCX", .Read = readPcx, .OwnWriter = true, .Write = WritePCXStream, .StreamTag = "PCX2",
     .TagAfterAbort = false, .MaxDpi = 65535},
    {.FileType = ioBMP, .Extensions = {"bmp"}, .Name = "Windows Bitmap (BMP)", .DescriptionSuffix = bmpSuffix,
     .Format = "BMP", .Read = readBmp, .OwnWriter = true, .Write = WriteBMPStream, .MaxDpi = kMaxPpmDpi},
    {.FileType = ioICO, .Extensions = {"ico"}, .Name = "Windows Icon (ICO)", .Format = "ICO",
     .Render = RenderIcon},
    {.FileType = ioCUR, .Extensions = {"cur"}, .Name = "Windows Cursor (CUR)", .Format = "CUR",
     .Render = RenderCursor},
    {.FileType = ioPNG, .Extensions = {"png"}, .Name = "Portable Network Graphics (PNG)", .DescriptionSuffix = pngSuffix,
     .Format = "PNG", .Read = readPng, .BackgroundIn = pngBackgroundIn, .BackgroundOut = pngBackgroundOut,
     .OwnWriter = true, .Write = WritePNGStream, .MaxDpi = kMaxPpmDpi},
    {.FileType = ioWMF, .Extensions = {"wmf"}, .Name = "Windows Metafile (WMF)", .Format = "WMF or EMF",
     .Render = RenderMetafile},
    {.FileType = ioEMF, .Extensions = {"emf"}, .Name = "Enhanced Windows Metafile (WMF)",
     .Format = "WMF or EMF", .Render = RenderMetafile},
};

constexpr bool inTypeOrder()
{
    for (size_t i = 0; i < std::size(kCodecs); ++i)
        if (kCodecs[i].FileType != int(i) + 1)
            return false;
    return true;
}
static_assert(inTypeOrder(), "codec entries stand in FileType order");

}  // namespace

const TCodec* CodecForFileName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix.isEmpty())
        return nullptr;
    for (const TCodec& codec : kCodecs)
        for (const char* ext : codec.Extensions)
            if (ext && suffix == QLatin1String(ext))
                return &codec;
    return nullptr;
}

const TCodec* CodecForType(int fileType)
{
    const int i = fileType - 1;
    if (i < 0 || i >= int(std::size(kCodecs)))
        return nullptr;
    return &kCodecs[i];
}

const TCodec& SaveCodecForFileName(const QString& fileName)
{
    const TCodec* codec = CodecForFileName(fileName);
    return codec && codec->OwnWriter ? *codec : *CodecForType(ioBMP);
}

bool CanWrite(const TCodec& codec)
{
    return codec.OwnWriter && codec.Write && (!codec.WriterReady || codec.WriterReady());
}

QString Refusal(const TCodec& codec)
{
    return QStringLiteral("unrecognized %1").arg(QLatin1String(codec.Format));
}

void RefuseUnavailable(const TCodec& codec)
{
    throw EInvalidGraphic(QStringLiteral("%1 codec not available").arg(QLatin1String(codec.Format)));
}
