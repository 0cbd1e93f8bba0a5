// The PCX entry of the codec table.

#include "imaging/io/codec_table.h"
#include "imaging/io/pcx/pcx.h"
#include "platform/core/streams.h"

namespace {

QString pcxSuffix(const TIOParamsVals& p)
{
    return p.PcxCompression == 0 ? QStringLiteral(" Uncompressed") : QString();
}

// A PCX file is the rest of the stream.
int readPcx(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadPCXStream(s, b, p, r, s.Size() - s.Position());
    return 1;
}

}  // namespace

constexpr TCodec kPcxCodec = {.FileType = ioPCX,
                              .Extensions = {"pcx"},
                              .Name = "PaintBrush (PCX)",
                              .DescriptionSuffix = pcxSuffix,
                              .Format = "PCX",
                              .Read = readPcx,
                              .OwnWriter = true,
                              .Write = WritePCXStream,
                              .StreamTag = "PCX2",
                              .TagAfterAbort = false,
                              .MaxDpi = 65535,
                              .ParamPage = iopgPCX,
                              .SaveFilterIndex = 3};
