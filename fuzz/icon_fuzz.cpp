// Icon and cursor files, decoded and drawn at a requested size as the file load does.
// The first byte picks the requested size, so that the entry choice is explored too.
#include "fuzz/fuzz_support.h"

#include "platform/graphics/icon.h"

#include <QImage>
#include <QPainter>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    fuzz::EnsureApplication();
    const int side = 16 << (data[0] & 3);
    fuzz::Refusable([&] {
        TIcon icon;
        icon.SetRequestedSize(side, side);
        icon.LoadFromData(fuzz::Bytes(data + 1, size - 1));
        QImage img(side, side, QImage::Format_BGR888);
        img.fill(Qt::white);
        QPainter p(&img);
        icon.Draw(p, TRect(0, 0, side, side));
    });
    return 0;
}
