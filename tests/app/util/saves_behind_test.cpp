// Saves written on worker threads: committed in order, a failure drops the ones behind it
// and leaves every target as it was.
#include "app/util/saves_behind.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "common/test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A save of a width x 1 picture; JPEG cannot hold more than 65500 columns.
std::unique_ptr<TDetachedSave> detached(const QString& name, int width)
{
    TBitmap bitmap(width, 1);
    TImageKitIO io;
    io.SetAttachedBitmap(&bitmap);
    return io.DetachSave(name);
}

QString freshDir(const char* name)
{
    const QString dir = TempDir() + QLatin1Char('/') + QLatin1String(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

TEST(SavesBehind, CommitInOrderAndAFailureDropsTheSavesBehindIt)
{
    // The writer refuses the picture, or the temporary file cannot be made (it is made
    // on the writer's thread): either way the failure is told in its turn.
    struct Case {
        const char* failing;
        int width;
        const char* why;
    };
    const Case cases[] = {{"b.jpg", 70000, "Unrecognized JPeg - image too large."},
                          {"missing/b.jpg", 8, "Cannot create file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        const QString dir = freshDir("behind_order");
        const QString kept = dir + QStringLiteral("/c.jpg");
        const QString failing = dir + QLatin1Char('/') + QLatin1String(c.failing);
        WriteFileSafely(kept, "old bytes");
        std::vector<QString> told;
        const auto outcome = [&told](const QString& what) {
            return TSavesBehind::TOutcome{[&told, what] { told.push_back(what + QStringLiteral(" saved")); },
                                          [&told, what](const QString& why) {
                                              told.push_back(what + QStringLiteral(": ") + why);
                                          },
                                          [&told, what] { told.push_back(what + QStringLiteral(" dropped")); }};
        };
        {
            TSavesBehind behind(3, 8);
            behind.Add(detached(dir + QStringLiteral("/a.jpg"), 8), dir + QStringLiteral("/a.jpg"), outcome("a"));
            behind.Add(detached(failing, c.width), failing, outcome("b"));
            behind.Add(detached(kept, 8), kept, outcome("c"));
            EXPECT_TRUE(behind.Targets(dir + QStringLiteral("/./c.jpg")));
            EXPECT_FALSE(behind.Settle(TSavesBehind::TWait::All));
            EXPECT_TRUE(behind.Empty());
            EXPECT_FALSE(behind.Targets(kept));
        }
        ASSERT_EQ(told.size(), 3u);
        EXPECT_EQ(told[0], QStringLiteral("a saved"));
        EXPECT_EQ(told[1], QStringLiteral("c dropped"));
        EXPECT_TRUE(told[2].startsWith(QStringLiteral("b: ") + QLatin1String(c.why))) << told[2].toStdString();
        EXPECT_EQ(ReadWholeFile(dir + QStringLiteral("/a.jpg")).left(2), QByteArray("\xFF\xD8"));
        EXPECT_EQ(ReadWholeFile(kept), QByteArray("old bytes"));
        // No file for b, and no temporary file left anywhere.
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                  (QStringList{QStringLiteral("a.jpg"), QStringLiteral("c.jpg")}));
    }
}

TEST(SavesBehind, SavesNeverSettledLeaveTheirTargetsAndTellNobody)
{
    const QString dir = freshDir("behind_drop");
    const QString target = dir + QStringLiteral("/x.jpg");
    WriteFileSafely(target, "old bytes");
    int told = 0;
    {
        TSavesBehind behind(2, 4);
        for (int i = 0; i < 4; ++i)
            behind.Add(detached(target, 64), target,
                       {[&told] { ++told; }, [&told](const QString&) { ++told; }, [&told] { ++told; }});
    }
    EXPECT_EQ(told, 0);
    EXPECT_EQ(ReadWholeFile(target), QByteArray("old bytes"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("x.jpg")});
}
