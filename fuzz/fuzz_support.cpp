// Shared pieces of the reader harnesses: the application, refusals and every writer.
#include "fuzz/fuzz_support.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/metafile.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

namespace fuzz {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kandrivel-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void Refusable(const std::function<void()>& body)
{
    try {
        body();
    } catch (const Exception&) {
        // a refusal with a message is the wanted outcome for a bad file
    }
}

void ReadCodec(const uint8_t* data, size_t size, TStreamReader reader)
{
    EnsureApplication();
    TMemoryStream stream(Bytes(data, size));
    TBitmap bitmap;
    TIOParamsVals params;
    TProgressRec progress;
    Refusable([&] { reader(stream, bitmap, params, progress); });
}

void RenderMetafile(const uint8_t* data, size_t size)
{
    EnsureApplication();
    Refusable([&] {
        TMetafile mf;
        mf.LoadFromData(Bytes(data, size));
        QImage img(mf.Width() - 1, mf.Height() - 1, QImage::Format_BGR888);
        if (img.isNull())
            return;
        img.fill(Qt::white);
        QPainter p(&img);
        mf.Draw(p, TRect(0, 0, mf.Width(), mf.Height()));
    });
}

void SaveEveryFormat(const TBitmap& bitmap, const TIOParamsVals& params)
{
    if (bitmap.Empty() || int64_t(bitmap.Width()) * bitmap.Height() > kMaxSavedPixels)
        return;
    for (int type = ioTIFF; const TCodec* codec = CodecForType(type); ++type) {
        if (!CanWrite(*codec))
            continue;
        TBitmap copy;
        copy.Assign(bitmap);
        TImageKitIO io;
        io.SetAttachedBitmap(&copy);
        io.Params().Assign(params);
        TMemoryStream out;
        Refusable([&] { io.SaveToStream(out, TIOFileType(type)); });
    }
}

void SamplePicture(TBitmap& bitmap, bool mono)
{
    bitmap.SetSize(1, 1);
    bitmap.SetPixelFormat(mono ? pf1bit : pf24bit);
    bitmap.SetSize(13, 5);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        const int bytes = mono ? (bitmap.Width() + 7) / 8 : 3 * bitmap.Width();
        for (int i = 0; i < bytes; ++i)
            row[i] = uint8_t(mono ? 0x5A ^ (y * 0x33) : (i * 37 + y * 91) & 0xF0);
    }
}

}  // namespace fuzz
