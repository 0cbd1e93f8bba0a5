// Loading a preview on a worker: hostile files, abandoned loads, the loaded parameters.

#include "dialog_driver.h"
#include "imaging/dialogs/preview_loader.h"
#include "imaging/io/io_params.h"

#include <gtest/gtest.h>

using namespace dlgtest;

TEST(PreviewLoader, GoodFilesArriveWithBitmapAndParametersBadOnesEmpty)
{
    const QString dir = TempDir();
    SaveImage(dir + QStringLiteral("/a.png"), 37, 11, pf24bit, 300, 300);
    SaveImage(dir + QStringLiteral("/b.bmp"), 64, 3, pf1bit, 96, 96);
    WriteBytes(dir + QStringLiteral("/c.jpg"), QByteArray("\xff\xd8\xff\xe0", 4) + QByteArray(64, '\xff'));
    WriteBytes(dir + QStringLiteral("/d.bmp"), QByteArray("BM") + QByteArray(52, '\xff'));
    WriteBytes(dir + QStringLiteral("/e.txt"), QByteArray("hello"));
    const struct {
        const char* name;
        bool loaded;
        int w, h, bits;
    } rows[] = {{"a.png", true, 37, 11, 8}, {"b.bmp", true, 64, 3, 1}, {"c.jpg", false, 0, 0, 0},
                {"d.bmp", false, 0, 0, 0},  {"e.txt", false, 0, 0, 0}, {"missing.png", false, 0, 0, 0}};
    TPreviewLoader loader;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        bool arrived = false;
        TPreviewLoader::TResult got;
        loader.OnFinished = [&](const TPreviewLoader::TResult& res) {
            got = res;
            arrived = true;
        };
        loader.Start(dir + u'/' + QLatin1String(r.name));
        EXPECT_TRUE(loader.Busy());
        ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, kWait));
        EXPECT_FALSE(loader.Busy());
        EXPECT_EQ(got.Loaded, r.loaded);
        EXPECT_EQ(got.FileName, dir + u'/' + QLatin1String(r.name));
        if (!r.loaded) {
            EXPECT_FALSE(got.Bitmap);
            continue;
        }
        ASSERT_TRUE(got.Bitmap && got.Params);
        EXPECT_EQ(got.Bitmap->Width(), r.w);
        EXPECT_EQ(got.Bitmap->Height(), r.h);
        EXPECT_EQ(got.Params->Width, r.w);
        EXPECT_EQ(got.Params->BitsPerSample, r.bits);
        EXPECT_EQ(got.FileSize, QFileInfo(dir + u'/' + QLatin1String(r.name)).size());
    }
}

TEST(PreviewLoader, ANewerRequestDropsTheOlderResult)
{
    const QString dir = TempDir();
    SaveImage(dir + QStringLiteral("/big.bmp"), 1500, 1500, pf24bit, 96, 96);
    SaveImage(dir + QStringLiteral("/small.bmp"), 5, 7, pf24bit, 96, 96);
    TPreviewLoader loader;
    QStringList arrived;
    loader.OnFinished = [&](const TPreviewLoader::TResult& r) { arrived << QFileInfo(r.FileName).fileName(); };
    loader.Start(dir + QStringLiteral("/big.bmp"));
    loader.Start(dir + QStringLiteral("/small.bmp"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !arrived.isEmpty(); }, kWait));
    loader.WaitIdle();
    QCoreApplication::processEvents();
    EXPECT_EQ(arrived, QStringList{"small.bmp"});

    // Cancelled: nothing at all arrives.
    arrived.clear();
    loader.Start(dir + QStringLiteral("/small.bmp"));
    loader.Cancel();
    EXPECT_FALSE(loader.Busy());
    loader.WaitIdle();
    QCoreApplication::processEvents();
    EXPECT_TRUE(arrived.isEmpty());
}
