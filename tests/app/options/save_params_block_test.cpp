// The save-parameter block: which of its fields reach the next image, and its texts cut
// to their slots at a character boundary.
#include "app/options/option_blocks.h"

#include <gtest/gtest.h>

namespace {

// A block as a fax's "save as" leaves it: every field differs from a photo's parameters.
tsaveparams FaxBlock()
{
    tsaveparams b;
    b.BitsPerSample = 1;
    b.SamplesPerPixel = 1;
    b.DpiX = 204;
    b.DpiY = 98;
    b.GifVersion = TShortString::Cut(QStringLiteral("GIF87a"));
    b.GifImageIndex = 3;
    b.GifXPos = 4;
    b.GifTransparent = 1;
    b.GifTransparentColor = {1, 2, 3};
    b.GifScreenWidth = 640;
    b.TiffCompression = 4;
    b.TiffPhotometric = 0;
    b.TiffPlanarConfig = 2;
    b.TiffImageIndex = 2;
    b.TiffXPos = 7;
    b.TiffDocumentName = TShortString::Cut(QStringLiteral("Fax"));
    b.TiffImageDescription = TShortString::Cut(QStringLiteral("Seite"));
    b.TiffPageNumber = 1;
    b.TiffPageCount = 9;
    b.JpegColorSpace = 1;
    b.JpegQuality = 85;
    b.JpegDctMethod = 2;
    b.JpegOptimalHuffman = 1;
    b.JpegSmoothing = 30;
    b.JpegProgressive = 1;
    b.BmpCompression = 1;
    b.BmpVersion = 3;
    b.PcxVersion = 2;
    b.PcxCompression = 0;
    b.IcoWidth = 48;
    return b;
}

TEST(SaveParamsBlock, RemembersChoicesButNeverTheImagesOwnProperties)
{
    TIOParamsVals photo;
    photo.DpiX = photo.DpiY = 300;
    photo.TiffImageDescription = QStringLiteral("Urlaub");
    photo.TiffPhotometric = 2;
    FaxBlock().ApplyChoicesTo(photo, [] { return false; });
    // The choices of the last "save as".
    EXPECT_EQ(photo.JpegQuality, 85);
    EXPECT_EQ(photo.JpegColorSpace, 1);
    EXPECT_EQ(photo.JpegDctMethod, 2);
    EXPECT_EQ(photo.JpegOptimalHuffman, 1);
    EXPECT_EQ(photo.JpegProgressive, 1);
    EXPECT_EQ(photo.BmpCompression, 1);
    EXPECT_EQ(photo.PcxCompression, 0);
    // The photo's own: depth, resolution, texts, positions, indices, GIF frame.
    const TIOParamsVals fresh;
    EXPECT_EQ(photo.BitsPerSample, 8);
    EXPECT_EQ(photo.SamplesPerPixel, 3);
    EXPECT_EQ(photo.DpiX, 300);
    EXPECT_EQ(photo.DpiY, 300);
    EXPECT_EQ(photo.TiffPhotometric, 2);
    EXPECT_EQ(photo.TiffCompression, 0);  // a fax coding needs black and white
    EXPECT_EQ(photo.TiffImageDescription, QStringLiteral("Urlaub"));
    EXPECT_EQ(photo.TiffDocumentName, QString());
    EXPECT_EQ(photo.TiffXPos, 0);
    EXPECT_EQ(photo.TiffImageIndex, 0);
    EXPECT_EQ(photo.TiffPageCount, 0);
    EXPECT_EQ(photo.TiffPlanarConfig, fresh.TiffPlanarConfig);
    EXPECT_EQ(photo.GifVersion, fresh.GifVersion);
    EXPECT_EQ(photo.GifImageIndex, 0);
    EXPECT_EQ(photo.GifTransparent, 0);
    EXPECT_EQ(photo.GifScreenWidth, 0);
    EXPECT_EQ(photo.JpegSmoothing, 0);
    EXPECT_EQ(photo.BmpVersion, fresh.BmpVersion);
    EXPECT_EQ(photo.PcxVersion, fresh.PcxVersion);
    EXPECT_EQ(photo.IcoWidth, fresh.IcoWidth);
}

TEST(SaveParamsBlock, TiffCompressionIsAPreferenceFaxOnlyForBlackAndWhite)
{
    const struct {
        uint8_t remembered;
        bool blackAndWhite;
        uint8_t own;
        uint8_t want;
        bool asked;
    } cases[] = {
        {4, true, 0, 4, true},   {4, false, 0, 0, true}, {1, false, 8, 8, true},
        {8, false, 0, 8, false}, {0, true, 4, 0, false}, {5, false, 4, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.remembered) * 10 + int(c.own));
        tsaveparams b;
        b.TiffCompression = c.remembered;
        TIOParamsVals p;
        p.TiffCompression = c.own;
        bool asked = false;
        b.ApplyChoicesTo(p, [&] {
            asked = true;
            return c.blackAndWhite;
        });
        EXPECT_EQ(p.TiffCompression, c.want);
        // The image's colours are looked at only for a fax coding.
        EXPECT_EQ(asked, c.asked);
    }
}

TEST(ShortString, CutKeepsWholeCharactersThatFit)
{
    const QString japanese(86, QChar(0x65E5));               // three bytes each: 258
    const QString smile = QString::fromUcs4(U"\U0001F600");  // four bytes, two UTF-16 units
    const struct {
        QString text;
        QString want;
    } cases[] = {
        {QStringLiteral("Grüße"), QStringLiteral("Grüße")},
        {QString(255, QLatin1Char('x')), QString(255, QLatin1Char('x'))},
        {QString(400, QLatin1Char('x')), QString(255, QLatin1Char('x'))},
        {japanese, QString(85, QChar(0x65E5))},
        {QString(127, QChar(0x00FC)) + QStringLiteral("ab"), QString(127, QChar(0x00FC)) + QStringLiteral("a")},
        {QString(253, QLatin1Char('a')) + smile, QString(253, QLatin1Char('a'))},
        {QString(251, QLatin1Char('a')) + smile + smile, QString(251, QLatin1Char('a')) + smile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(8).toStdString());
        const TShortString s = TShortString::Cut(c.text);
        EXPECT_LE(s.Bytes().size(), TShortString::MaxBytes);
        EXPECT_EQ(s.Text(), c.want);
        EXPECT_TRUE(c.text.startsWith(s.Text()));
    }
}

}  // namespace
