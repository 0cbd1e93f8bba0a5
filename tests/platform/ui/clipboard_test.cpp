// Images on the clipboard.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

TEST(Clipboard, BitmapGoesAsBmpFileAndImage)
{
    ASSERT_TRUE(Clipboard::Available());
    const QByteArray bmp("BM-not-checked-here");
    QImage img(2, 1, QImage::Format_BGR888);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(1, 0, qRgb(4, 5, 6));
    Clipboard::SetBitmap(bmp, img);
    EXPECT_TRUE(Clipboard::HasBitmap());
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->hasFormat(QStringLiteral("image/bmp")));
    QByteArray back;
    ASSERT_TRUE(Clipboard::GetBmpFile(back));
    EXPECT_EQ(back, bmp);
    QImage got;
    ASSERT_TRUE(Clipboard::GetImage(got));
    EXPECT_EQ(got.format(), QImage::Format_BGR888);
    EXPECT_EQ(got.pixel(1, 0) & 0xFFFFFFu, qRgb(4, 5, 6) & 0xFFFFFFu);

    Clipboard::Clear();
    EXPECT_FALSE(Clipboard::HasBitmap());
    EXPECT_FALSE(Clipboard::GetBmpFile(back));
    EXPECT_FALSE(Clipboard::GetImage(got));
}

TEST(Clipboard, ImagesOfOtherProgramsAreConverted)
{
    // A monochrome image with the table (white, black) becomes (black, white), pixels kept.
    QImage mono(10, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0u);
    mono.setPixel(7, 1, 1);
    QGuiApplication::clipboard()->setImage(mono);
    EXPECT_TRUE(Clipboard::HasBitmap());
    QByteArray bmp;
    EXPECT_FALSE(Clipboard::GetBmpFile(bmp));
    QImage got;
    ASSERT_TRUE(Clipboard::GetImage(got));
    ASSERT_EQ(got.format(), QImage::Format_Mono);
    EXPECT_EQ(got.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_EQ(got.pixelIndex(7, 1), 0);
    EXPECT_EQ(got.pixelIndex(6, 1), 1);
    EXPECT_EQ(got.pixelIndex(0, 0), 1);

    // A two-colour image that is not black and white becomes 24-bit with its colours.
    mono.setColorTable({qRgb(200, 0, 0), qRgb(0, 0, 200)});
    QGuiApplication::clipboard()->setImage(mono);
    ASSERT_TRUE(Clipboard::GetImage(got));
    ASSERT_EQ(got.format(), QImage::Format_BGR888);
    EXPECT_EQ(got.pixel(7, 1) & 0xFFFFFFu, qRgb(0, 0, 200) & 0xFFFFFFu);
    EXPECT_EQ(got.pixel(0, 0) & 0xFFFFFFu, qRgb(200, 0, 0) & 0xFFFFFFu);
}
