// The view's nearest-neighbour stretch: every destination pixel is the source pixel under
// its centre, whatever the bit depth, also at the last pixel of the image's last row.

#include "imaging/view/view_stretch.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(ViewStretch, EveryPixelTakesTheSourcePixelUnderItsCentre)
{
    struct Case {
        int w, h;  // 4 wide: 24-bit rows with no padding, the last pixel ends the buffer
        QImage::Format format;
        QRect src;
        int dw, dh;
    };
    const Case cases[] = {
        {4, 3, QImage::Format_BGR888, {0, 0, 4, 3}, 13, 7}, {4, 3, QImage::Format_BGR888, {1, 1, 3, 2}, 3, 2},
        {5, 4, QImage::Format_BGR888, {0, 0, 5, 4}, 2, 3},  {7, 5, QImage::Format_BGR888, {2, 1, 5, 4}, 11, 9},
        {9, 6, QImage::Format_Mono, {0, 0, 9, 6}, 20, 5},   {9, 6, QImage::Format_Indexed8, {1, 0, 8, 6}, 4, 12},
        {6, 4, QImage::Format_RGB32, {0, 0, 6, 4}, 17, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << int(c.format) << " to " << c.dw << "x"
                                        << c.dh);
        QImage image(c.w, c.h, c.format);
        if (c.format == QImage::Format_Mono)
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        if (c.format == QImage::Format_Indexed8) {
            QList<QRgb> table;
            for (int i = 0; i < 256; ++i)
                table << qRgb(i, 255 - i, i / 2);
            image.setColorTable(table);
        }
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const int v = x * 37 + y * 91 + 5;
                if (c.format == QImage::Format_Mono || c.format == QImage::Format_Indexed8)
                    image.setPixel(x, y, uint(c.format == QImage::Format_Mono ? (x + y) % 2 : v % 256));
                else
                    image.setPixel(x, y, qRgb(v % 256, v * 3 % 256, v * 7 % 256));
            }
        QImage out;
        StretchNearest(image, c.src, c.dw, c.dh, out);
        ASSERT_EQ(out.size(), QSize(c.dw, c.dh));
        for (int y = 0; y < c.dh; ++y)
            for (int x = 0; x < c.dw; ++x) {
                const int sx = c.src.x() + (2 * x + 1) * c.src.width() / (2 * c.dw);
                const int sy = c.src.y() + (2 * y + 1) * c.src.height() / (2 * c.dh);
                ASSERT_EQ(out.pixel(x, y), image.pixel(sx, sy) | 0xFF000000u) << x << "," << y;
            }
    }
}

}  // namespace
