// The data directory.
#include "platform/core/data_directory.h"

#include "common/test_support.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(DataDirectory, FollowsKandrivelHomeAndCreatesIt)
{
    const QByteArray saved = qgetenv("KANDRIVEL_HOME");
    const QString dir = TempDir() + QStringLiteral("/sub/home");
    qputenv("KANDRIVEL_HOME", dir.toLocal8Bit());
    EXPECT_EQ(DataDirectory(), QDir(dir).absolutePath());
    EXPECT_TRUE(QDir(dir).exists());
    // Without it: ~/.config/Kandrivel (a scratch home, so the real one stays untouched).
    const QByteArray savedHome = qgetenv("HOME");
    const QString home = TempDir();
    qputenv("HOME", home.toLocal8Bit());
    qunsetenv("KANDRIVEL_HOME");
    EXPECT_EQ(DataDirectory(), home + QStringLiteral("/.config/Kandrivel"));
    EXPECT_TRUE(QDir(home + QStringLiteral("/.config/Kandrivel")).exists());
    qputenv("HOME", savedHome);
    qputenv("KANDRIVEL_HOME", saved);
}
