// The BMP entry of the codec table.

#include "imaging/io/bmp/bmp.h"
#include "imaging/io/codec_table.h"
#include "platform/core/streams.h"

namespace {

QString bmpSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {" ver.1", " ver.3", " OS/2 v.1", " OS/2 v.2"};
    return CodecSuffixOf(c, 4, p.BmpVersion);
}

// The BMP reader is told how many bytes the picture may take: the rest of the stream.
int readBmp(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadBMPStream(s, b, s.Size() - s.Position(), r, p);
    return 1;
}

}  // namespace

constexpr TCodec kBmpCodec = {.FileType = ioBMP,
                              .Extensions = {"bmp"},
                              .Name = "Windows Bitmap (BMP)",
                              .DescriptionSuffix = bmpSuffix,
                              .Format = "BMP",
                              .Read = readBmp,
                              .OwnWriter = true,
                              .Write = WriteBMPStream,
                              .MaxDpi = kMaxPpmDpi,
                              .ParamPage = iopgBMP,
                              .SaveFilterIndex = 2};
