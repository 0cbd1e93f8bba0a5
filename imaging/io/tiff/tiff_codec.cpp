// The TIFF entry of the codec table.

#include "imaging/io/codec_table.h"
#include "imaging/io/tiff/tiff.h"

namespace {

QString tiffSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {" Uncompressed", " Huffman",  " Group 3 Fax", " Group 3 Fax 2D", " Group 4 Fax",
                                    " LZW",          " Jpeg v.5", " Jpeg",        " PackBits RLE"};
    return CodecSuffixOf(c, 9, p.TiffCompression);
}

void writeTiff(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) { WriteTIFFStream(s, false, b, r, p); }

}  // namespace

constexpr TCodec kTiffCodec = {.FileType = ioTIFF,
                               .Extensions = {"tif", "tiff"},
                               .Name = "TIFF Bitmap (TIF)",
                               .DescriptionSuffix = tiffSuffix,
                               .Format = "TIFF",
                               .Read = ReadTIFFStream,
                               .OwnWriter = true,
                               .Write = writeTiff,
                               .StreamTag = "TIFF",
                               .TagAfterAbort = true,
                               .ParamPage = iopgTIFF,
                               .SaveFilterIndex = 4};
