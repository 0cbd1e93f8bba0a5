// The JPEG entry of the codec table.

#include "imaging/io/codec_table.h"
#include "imaging/io/jpeg/jpeg.h"

namespace {

QString jpegSuffix(const TIOParamsVals& p)
{
    static const char* const c[] = {"", " Gray level", " YCbCr", " CMYK", " YCbCrK"};
    return CodecSuffixOf(c, 5, p.JpegColorSpace);
}

int readJpeg(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadJPEGStream(s, b, p, r);
    return 1;
}

}  // namespace

constexpr TCodec kJpegCodec = {.FileType = ioJPEG,
                               .Extensions = {"jpg", "jpeg"},
                               .Name = "JPEG Bitmap (JPG)",
                               .DescriptionSuffix = jpegSuffix,
                               .Format = "JPEG",
                               .Read = readJpeg,
                               .OwnWriter = true,
                               .Write = WriteJPEGStream,
                               .StreamTag = "JFIF",
                               .TagAfterAbort = true,
                               .MaxDpi = 65535,
                               .ParamPage = iopgJPEG,
                               .SaveFilterIndex = 1};
