// The list of codec entries and the look-ups over it; each format defines its entry in its folder.
#include "imaging/io/codec_table.h"

#include "imaging/io/bmp/bmp.h"
#include "imaging/io/drawn_formats.h"
#include "imaging/io/gif/gif.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/pcx/pcx.h"
#include "imaging/io/png/png.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"

#include <QFileInfo>
#include <iterator>

namespace {

// In FileType order, so that an entry is found by its number.
constexpr const TCodec* kCodecs[] = {&kTiffCodec, &kGifCodec, &kJpegCodec, &kPcxCodec, &kBmpCodec,
                                     &kIcoCodec,  &kCurCodec, &kPngCodec,  &kWmfCodec, &kEmfCodec};

}  // namespace

QString CodecSuffixOf(const char* const* table, int count, int value)
{
    return value >= 0 && value < count ? QLatin1String(table[value]) : QString();
}

const TCodec* CodecForFileName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix.isEmpty())
        return nullptr;
    for (const TCodec* codec : kCodecs)
        for (const char* ext : codec->Extensions)
            if (ext && suffix == QLatin1String(ext))
                return codec;
    return nullptr;
}

const TCodec* CodecForType(int fileType)
{
    const int i = fileType - 1;
    if (i < 0 || i >= int(std::size(kCodecs)))
        return nullptr;
    // The entries live in their formats' files, so their order is checked here rather
    // than at compile time.
    const TCodec* codec = kCodecs[i];
    return codec->FileType == fileType ? codec : nullptr;
}

const TCodec& SaveCodecForFileName(const QString& fileName)
{
    const TCodec* codec = CodecForFileName(fileName);
    return codec && codec->OwnWriter ? *codec : *CodecForType(ioBMP);
}

const TCodec* SaveDialogCodecForFileName(const QString& fileName)
{
    const QString name = fileName.toLower();
    for (const TCodec* codec : kCodecs)
        for (const char* ext : codec->Extensions)
            if (codec->SaveFilterIndex > 0 && ext && name.endsWith(u'.' + QLatin1String(ext)))
                return codec;
    return nullptr;
}

bool CanWrite(const TCodec& codec)
{
    return codec.OwnWriter && codec.Write && (!codec.WriterReady || codec.WriterReady());
}

QString Refusal(const TCodec& codec) { return QStringLiteral("unrecognized %1").arg(QLatin1String(codec.Format)); }

void RefuseUnavailable(const TCodec& codec)
{
    throw EInvalidGraphic(QStringLiteral("%1 codec not available").arg(QLatin1String(codec.Format)));
}
