#include "fuzz/fuzz_support.h"

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

}  // namespace fuzz
