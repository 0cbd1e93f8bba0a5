// Loading: the reader comes from the codec table by the file name's extension, and
// every format's load fails the same way. A file that cannot be opened raises the
// stream's own error (it is not a bad picture); a lack of memory passes unchanged;
// anything else the reader raises becomes EInvalidGraphic "unrecognized <format>",
// with the reader's own words in front when they say more.

#include "imaging/io/image_kit_io.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/gif/gif.h"
#include "imaging/io/pcx/pcx.h"
#include "imaging/io/stream_frame.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

namespace {

QString withDetail(const Exception& e, const QString& generic)
{
    const QString m = e.Message();
    if (m.isEmpty() || m.compare(generic, Qt::CaseInsensitive) == 0)
        return generic;
    return m + QStringLiteral(" : ") + generic;
}

}  // namespace

void TImageKitIO::afterLoad(const QString& fileName, uint8_t fileType)
{
    params_->FileName = fileName;
    params_->FileType = fileType;
    tellViewDpi();
    Update();
}

int TImageKitIO::loadFile(const QString& fileName, const TCodec& codec)
{
    Aborting = false;
    if (!bitmap_)
        return 0;
    TFileStream fs(fileName, fmOpenRead);
    // A refused file leaves the parameters as they were, whatever the reader or the
    // load had already written into them.
    TIOParamsVals before;
    before.Assign(*params_);
    if (codec.BackgroundIn)
        codec.BackgroundIn(*params_, Background());
    auto restore = [&] { params_->Assign(before); };
    int images = 0;
    QImage drawn;
    try {
        if (codec.Render) {
            drawn = codec.Render(fs, *params_, Background());
        } else if (codec.Read) {
            TProgressRec rec = progressRec();
            images = codec.Read(fs, *bitmap_, *params_, rec);
        } else {
            RefuseUnavailable(codec);
        }
    } catch (const EOutOfMemory&) {
        restore();
        throw;
    } catch (const Exception& e) {
        restore();
        throw EInvalidGraphic(withDetail(e, Refusal(codec)));
    }
    if (codec.Render) {
        bitmap_->SetImage(drawn);
        params_->BitsPerSample = 8;
        params_->SamplesPerPixel = 3;
        params_->Width = bitmap_->Width();
        params_->Height = bitmap_->Height();
        params_->DpiX = ScreenDpiX();
        params_->DpiY = ScreenDpiY();
        params_->FreeColorMap();
        images = 1;
    }
    if (codec.BackgroundOut)
        SetBackground(codec.BackgroundOut(*params_));
    afterLoad(fileName, codec.FileType);
    return images;
}

void TImageKitIO::TakeDecoded(const QString& fileName, uint8_t fileType, const TBitmap& decoded)
{
    Aborting = false;
    if (!bitmap_)
        return;
    bitmap_->Assign(decoded);
    progressRec().Report(100);
    afterLoad(fileName, fileType);
}

void TImageKitIO::LoadFromFile(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    if (const TCodec* codec = CodecForFileName(fileName)) {
        loadFile(fileName, *codec);
        return;
    }
    // No reader for the extension: nothing is loaded.
    params_->FileName.clear();
    params_->FileType = ioUnknown;
}

void TImageKitIO::LoadFromFileJPEG(const QString& fileName) { loadFile(fileName, CodecOf(ioJPEG)); }
void TImageKitIO::LoadFromFilePNG(const QString& fileName) { loadFile(fileName, CodecOf(ioPNG)); }
int TImageKitIO::LoadFromFileTIFF(const QString& fileName) { return loadFile(fileName, CodecOf(ioTIFF)); }
void TImageKitIO::LoadFromFilePCX(const QString& fileName) { loadFile(fileName, CodecOf(ioPCX)); }
int TImageKitIO::LoadFromFileGIF(const QString& fileName) { return loadFile(fileName, CodecOf(ioGIF)); }
void TImageKitIO::LoadFromFileBMP(const QString& fileName) { loadFile(fileName, CodecOf(ioBMP)); }
void TImageKitIO::LoadFromFileICO(const QString& fileName) { loadFile(fileName, CodecOf(ioICO)); }
void TImageKitIO::LoadFromFileCUR(const QString& fileName) { loadFile(fileName, CodecOf(ioCUR)); }

void TImageKitIO::LoadFromFileWMF(const QString& fileName)
{
    // ".wmf" is a Windows metafile, any other name an enhanced one.
    const TCodec* codec = CodecForFileName(fileName);
    loadFile(fileName, codec && codec->FileType == ioWMF ? *codec : CodecOf(ioEMF));
}

void TImageKitIO::LoadFromStreamPCX(TStream& stream)
{
    Aborting = false;
    if (!bitmap_)
        return;
    const TCodec& codec = CodecOf(ioPCX);
    const QString refusal = Refusal(codec) + QStringLiteral(" stream");
    TStreamFrame frame;
    try {
        frame = ReadPCXStreamHeader(stream, StreamHeaders);
    } catch (const EOutOfMemory&) {
        throw;
    } catch (const Exception&) {
        throw EInvalidGraphic(refusal);
    }
    try {
        // The frame, not the stream, says how many bytes the picture takes.
        TProgressRec rec = progressRec();
        ReadPCXStream(stream, *bitmap_, *params_, rec, frame.Length);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(withDetail(e, refusal));
    }
    params_->FileName.clear();
    params_->FileType = ioPCX;
    tellViewDpi();
    Update();
    if (frame.Framed)
        frame.SkipPast(stream);
}

void TImageKitIO::LoadFromStreamJPEG(TStream& stream)
{
    Aborting = false;
    if (!bitmap_)
        return;
    const TCodec& codec = CodecOf(ioJPEG);
    try {
        const TStreamFrame frame = ReadTaggedStreamHeader(stream, codec.StreamTag);
        TProgressRec rec = progressRec();
        codec.Read(stream, *bitmap_, *params_, rec);
        if (frame.Framed)
            frame.SkipPast(stream);
    } catch (const EOutOfMemory&) {
        throw;
    } catch (const Exception&) {
        throw EInvalidGraphic(Refusal(codec) + QStringLiteral(" stream"));
    }
    tellViewDpi();
    params_->FileName.clear();
    params_->FileType = ioJPEG;
    Update();
}

int TImageKitIO::GetGIFImageCount(const QString& fileName)
{
    // Every failure counts as no frames.
    try {
        return DeleteGIFFrame(fileName, -1, false);
    } catch (const Exception&) {
        return 0;
    }
}

int TImageKitIO::GetTIFFImageCount(const QString& fileName)
{
    TFileStream fs(fileName, fmOpenRead);
    return GetTIFFStreamImageCount(fs);
}
