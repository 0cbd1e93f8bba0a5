// Decoding ahead holds no more pictures than its window, whatever the files.
#include "app/util/decode_ahead.h"
#include "platform/core/parallel_for.h"
#include "common/test_support.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include <atomic>

TEST(DecodeAhead, NoMoreFilesStartThanTheWindowPastTheOneTaken)
{
    const QString dir = TempDir() + QStringLiteral("/ahead");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        files << dir + QStringLiteral("/f%1.jpg").arg(i);
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(qRgb(20 * i, 40, 60));
        ASSERT_TRUE(img.save(files.back()));
    }
    struct Case {
        int threads, perThread, taken;
    } const cases[] = {{2, 1, 0}, {2, 1, 5}, {4, 2, 3}, {3, 1, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.threads << " threads, " << c.perThread << " a thread, took " << c.taken);
        TScopedParallelThreads scope(c.threads, 0);
        std::atomic<int> decoded{0};
        {
            TDecodeAhead::TOptions options;
            options.aheadPerThread = c.perThread;
            options.finish = [&decoded](TDecodedPicture&) { ++decoded; };
            TDecodeAhead ahead(files, TIOParamsVals(), options);
            const TDecodedPicture* p = ahead.Take(c.taken);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Bitmap.Width(), 64);
            // An index passed over is gone for good.
            if (c.taken > 0) {
                EXPECT_EQ(ahead.Take(c.taken - 1), nullptr);
            }
        }  // the workers have ended: every file they started is counted
        const int window = c.threads * c.perThread;
        EXPECT_GE(decoded.load(), 1);
        EXPECT_LE(decoded.load(), std::min<int>(int(files.size()), c.taken + 1 + window));
    }
}
