// File sizes by name, past 4 GiB too.
#include "imaging/common/file_size.h"

#include "common/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(FileSize, ReportsTheSizeOfAnExistingFile)
{
    const QString name = TempDir() + QStringLiteral("/seven.bin");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1234567");
    f.close();
    EXPECT_EQ(GetFileSizeByName(name), 7);
}

TEST(FileSize, InvalidSizeForMissingFilesAndFolders)
{
    const QString dir = TempDir();
    EXPECT_EQ(GetFileSizeByName(dir + QStringLiteral("/missing")), kInvalidFileSize);
    EXPECT_EQ(GetFileSizeByName(dir), kInvalidFileSize);
    EXPECT_EQ(GetFileSizeByName(QString()), kInvalidFileSize);
}

TEST(FileSize, FilesBeyondFourGiBKeepTheirSize)
{
    // A sparse file takes no disk space.
    const QString name = TempDir() + QStringLiteral("/big.bin");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const qint64 size = (qint64(5) << 30) + 3;
    if (!f.resize(size))
        GTEST_SKIP() << KANDRIVEL_SKIP_HARDWARE "the file system refuses a 5 GiB sparse file";
    f.close();
    EXPECT_EQ(GetFileSizeByName(name), size);
    QFile::remove(name);
}
