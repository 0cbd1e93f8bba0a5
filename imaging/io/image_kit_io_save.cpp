// Saving: the writer comes from the codec table by the file name's extension (a name
// without a writer of its own is saved as a Windows bitmap). Every file save goes
// through a temporary file that replaces the target only when the writer finished.

#include "imaging/io/image_kit_io.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/stream_frame.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QFileInfo>

// Every save starts here: a bitmap in another format is written as 24-bit. False when
// there is nothing to save.
bool TImageKitIO::prepareSave()
{
    Aborting = false;
    if (!bitmap_)
        return false;
    if (bitmap_->PixelFormat() != pf24bit && bitmap_->PixelFormat() != pf1bit) {
        bitmap_->SetPixelFormat(pf24bit);
        bitmap_->Changed();
    }
    return true;
}

void TImageKitIO::writeWith(TStream& stream, const TCodec& codec)
{
    if (!codec.Write)
        RefuseUnavailable(codec);
    TProgressRec rec = progressRec();
    codec.Write(stream, *bitmap_, *params_, rec);
}

void TImageKitIO::saveFile(const QString& fileName, const TCodec& codec)
{
    if (!prepareSave())
        return;
    TSafeFileStream fs(fileName);
    writeWith(fs, codec);
    // An aborted writer did not finish: the old file stays.
    if (!Aborting)
        fs.Commit();
}

TDetachedSave::TDetachedSave(const TBitmap& bitmap, const TIOParamsVals& params, const TCodec& codec,
                             const QString& fileName)
    : bitmap_(bitmap), params_(std::make_unique<TIOParamsVals>()), codec_(codec), fileName_(fileName)
{
    params_->Assign(params);
}

TDetachedSave::~TDetachedSave() = default;

void TDetachedSave::Write()
{
    // The temporary file is made here too: creating a file is slow on some file systems,
    // and a failure to create it is told in its turn like any other.
    stream_ = std::make_unique<TSafeFileStream>(fileName_);
    // Without progress: the bar and the abort flag belong to the UI thread.
    TProgressRec rec;
    rec.Aborting = &aborting_;
    codec_.Write(*stream_, bitmap_, *params_, rec);
    stream_->Sync();
}

void TDetachedSave::Commit()
{
    if (!stream_)
        throw EWriteError(QStringLiteral("Cannot write file \"%1\".").arg(fileName_));
    stream_->Commit();
}

std::unique_ptr<TDetachedSave> TImageKitIO::DetachSave(const QString& fileName)
{
    const TCodec& codec = SaveCodecForFileName(fileName);
    if (!prepareSave())
        return nullptr;
    if (!codec.Write)
        RefuseUnavailable(codec);
    // Writers ask for the screen's resolution, which is read here, on the UI thread.
    ScreenDpiX();
    ScreenDpiY();
    return std::unique_ptr<TDetachedSave>(new TDetachedSave(*bitmap_, *params_, codec, fileName));
}

void TImageKitIO::saveStream(TStream& stream, const TCodec& codec)
{
    if (!prepareSave())
        return;
    if (!codec.StreamTag || !StreamHeaders) {
        writeWith(stream, codec);
        return;
    }
    WriteFramedStream(stream, codec.StreamTag, [&] {
        writeWith(stream, codec);
        return codec.TagAfterAbort || !Aborting;
    });
}

void TImageKitIO::SaveToFile(const QString& fileName) { saveFile(fileName, SaveCodecForFileName(fileName)); }
void TImageKitIO::SaveToFileJPEG(const QString& fileName) { saveFile(fileName, CodecOf(ioJPEG)); }
void TImageKitIO::SaveToFilePCX(const QString& fileName) { saveFile(fileName, CodecOf(ioPCX)); }
void TImageKitIO::SaveToFileGIF(const QString& fileName) { saveFile(fileName, CodecOf(ioGIF)); }
void TImageKitIO::SaveToFileTIFF(const QString& fileName) { saveFile(fileName, CodecOf(ioTIFF)); }
void TImageKitIO::SaveToFilePNG(const QString& fileName) { saveFile(fileName, CodecOf(ioPNG)); }
void TImageKitIO::SaveToFileBMP(const QString& fileName) { saveFile(fileName, CodecOf(ioBMP)); }

void TImageKitIO::SaveToStream(TStream& stream, TIOFileType fileType)
{
    const TCodec* codec = CodecForType(fileType);
    if (!codec)
        throw EInvalidGraphic(QStringLiteral("No writer for this file type"));
    saveStream(stream, *codec);
}

void TImageKitIO::SaveToStreamTIFF(TStream& stream) { saveStream(stream, CodecOf(ioTIFF)); }
void TImageKitIO::SaveToStreamPCX(TStream& stream) { saveStream(stream, CodecOf(ioPCX)); }
void TImageKitIO::SaveToStreamJPEG(TStream& stream) { saveStream(stream, CodecOf(ioJPEG)); }
void TImageKitIO::SaveToStreamGIF(TStream& stream) { saveStream(stream, CodecOf(ioGIF)); }
void TImageKitIO::SaveToStreamBMP(TStream& stream) { saveStream(stream, CodecOf(ioBMP)); }
void TImageKitIO::SaveToStreamPNG(TStream& stream) { saveStream(stream, CodecOf(ioPNG)); }

int TImageKitIO::InsertToFileTIFF(const QString& fileName)
{
    if (!prepareSave())
        return 0;
    // The file is rebuilt in memory and replaces the old one only when complete.
    TMemoryStream ms;
    if (QFileInfo::exists(fileName))
        ms.LoadFromFile(fileName);
    TProgressRec rec = progressRec();
    const int images = WriteTIFFStream(ms, true, *bitmap_, rec, *params_);
    if (Aborting)
        return images - 1;
    WriteFileSafely(fileName, ms.Bytes());
    return images;
}
