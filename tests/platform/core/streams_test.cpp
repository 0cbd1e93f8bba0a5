// Memory and file streams, and saving through a temporary file.
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include "common/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <type_traits>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& name, const QByteArray& data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

int leftoverFiles(const QString& dir) { return int(QDir(dir).entryList(QDir::Files | QDir::Hidden).size()); }

}  // namespace

TEST(MemoryStream, ShortReadRaisesEReadErrorButReadReturnsWhatThereIs)
{
    TMemoryStream s(QByteArray("abc"));
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 3);
    EXPECT_EQ(s.Position(), 3);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    s.SetPosition(0);
    EXPECT_NO_THROW(s.ReadBuffer(buf, 3));
    EXPECT_EQ(QByteArray(buf, 3), "abc");
    EXPECT_THROW(s.ReadU32(), EReadError);
    // EReadError belongs to the stream errors.
    EXPECT_THROW(s.ReadU8(), EStreamError);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros)
{
    TMemoryStream s;
    s.WriteU8(0xAA);
    s.Seek(5, soFromCurrent);
    s.WriteU8(0xBB);
    EXPECT_EQ(s.Size(), 7);
    EXPECT_EQ(s.Bytes(), QByteArray::fromHex("AA0000000000BB"));
    s.SetSize(9);
    EXPECT_EQ(s.Bytes().right(2), QByteArray(2, '\0'));
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_THROW(s.Seek(-3, soFromCurrent), EStreamError);
}

TEST(MemoryStream, LittleEndianFieldsRoundTrip)
{
    TMemoryStream s;
    s.WriteU16(0x1234);
    s.WriteU32(0xA1B2C3D4);
    s.WriteI32(-2);
    s.WriteF64(1.5);
    EXPECT_EQ(s.Bytes().left(10), QByteArray::fromHex("3412D4C3B2A1FEFFFFFF"));
    EXPECT_EQ(s.Bytes().mid(10), QByteArray::fromHex("000000000000F83F"));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadU16(), 0x1234);
    EXPECT_EQ(s.ReadU32(), 0xA1B2C3D4u);
    EXPECT_EQ(s.ReadI32(), -2);
    EXPECT_EQ(s.ReadF64(), 1.5);
}

TEST(MemoryStream, CopyFromWithZeroCountCopiesTheWholeSource)
{
    TMemoryStream src(QByteArray("hello world"));
    src.SetPosition(6);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, 0), 11);
    EXPECT_EQ(dst.Bytes(), "hello world");
    src.SetPosition(6);
    TMemoryStream part;
    part.CopyFrom(src, 5);
    EXPECT_EQ(part.Bytes(), "world");
    EXPECT_THROW(part.CopyFrom(src, 1), EReadError);
}

TEST(FileStream, UnopenableFilesRaiseWithTheFileNameInTheMessage)
{
    const QString dir = TempDir();
    const QString missing = dir + QStringLiteral("/missing.bin");
    try {
        TFileStream s(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_TRUE(e.Message().contains(missing)) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \""))) << e.Message().toStdString();
    }
    EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EFOpenError);
    EXPECT_THROW((TFileStream{dir, fmOpenRead}), EFOpenError);
    EXPECT_THROW(TFileStream(dir + QStringLiteral("/no/such/dir/x.bin"), fmCreate), EFCreateError);
    EXPECT_THROW((TFileStream{dir, fmCreate}), EFCreateError);
    EXPECT_THROW(ReadWholeFile(dir), EFOpenError);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(FileStream, AFifoWithoutAWriterDoesNotHangTheOpen)
{
    const QString fifo = TempDir() + QStringLiteral("/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW((TFileStream{fifo, fmOpenWrite}), EFOpenError);  // no reader either
    TFileStream s(fifo, fmOpenRead);
    EXPECT_THROW(s.ReadU8(), EReadError);
}

TEST(FileStream, ShortReadAtEndOfFileRaises)
{
    const QString name = TempDir() + QStringLiteral("/five.bin");
    writeFile(name, "12345");
    TFileStream s(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(s.Size(), 5);
    char buf[8];
    s.Seek(-2, soFromEnd);
    EXPECT_EQ(s.Position(), 3);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    s.SetPosition(3);
    EXPECT_EQ(s.Read(buf, 8), 2);
    // A read-only stream cannot be written.
    EXPECT_THROW(s.WriteU8(1), EWriteError);
}

TEST(FileStream, OpenForWriteKeepsTheContentsAndCreateTruncates)
{
    const QString name = TempDir() + QStringLiteral("/data.bin");
    writeFile(name, "abcdef");
    {
        TFileStream s(name, fmOpenWrite);
        EXPECT_EQ(s.Size(), 6);
        s.Seek(2, soFromBeginning);
        s.WriteBuffer("XY", 2);
    }
    EXPECT_EQ(fileBytes(name), "abXYef");
    {
        TFileStream s(name, fmOpenReadWrite);
        s.Seek(0, soFromEnd);
        s.WriteU8('!');
        s.SetPosition(0);
        EXPECT_EQ(s.ReadU8(), 'a');
    }
    EXPECT_EQ(fileBytes(name), "abXYef!");
    {
        TFileStream s(name, fmCreate);
        EXPECT_EQ(s.Size(), 0);
        s.WriteBuffer("new", 3);
        s.SetPosition(0);
        char buf[3];
        s.ReadBuffer(buf, 3);
        EXPECT_EQ(QByteArray(buf, 3), "new");
    }
    EXPECT_EQ(fileBytes(name), "new");
}

TEST(SafeFileStream, UncommittedSaveLeavesTheOldFile)
{
    const QString dir = TempDir();
    const QString name = dir + QStringLiteral("/picture.bmp");
    writeFile(name, "old contents");
    {
        TSafeFileStream s(name);
        s.WriteBuffer("new", 3);
        // The target is untouched until Commit.
        EXPECT_EQ(fileBytes(name), "old contents");
    }
    EXPECT_EQ(fileBytes(name), "old contents");
    EXPECT_EQ(leftoverFiles(dir), 1);

    // A writer that fails half way (an exception) leaves it too.
    try {
        TSafeFileStream s(name);
        s.WriteBuffer("partial", 7);
        throw EInvalidGraphic(QStringLiteral("writer failed"));
    } catch (const EInvalidGraphic&) {}
    EXPECT_EQ(fileBytes(name), "old contents");
    EXPECT_EQ(leftoverFiles(dir), 1);
}

TEST(SafeFileStream, CommitReplacesTheFileAndKeepsItsPermissions)
{
    const QString dir = TempDir();
    const QString name = dir + QStringLiteral("/picture.bmp");
    writeFile(name, "old contents");
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0640), 0);
    {
        TSafeFileStream s(name);
        s.WriteBuffer("header..", 8);
        // Writers may go back to patch a header and read what they wrote.
        s.SetPosition(0);
        s.WriteBuffer("HEAD", 4);
        s.SetPosition(0);
        EXPECT_EQ(s.ReadU32(), 0x44414548u);
        EXPECT_EQ(s.Size(), 8);
        s.Commit();
        s.Commit();  // harmless
    }
    EXPECT_EQ(fileBytes(name), "HEADer..");
    EXPECT_EQ(leftoverFiles(dir), 1);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A new file gets the usual permissions, not a temporary file's 0600.
    const QString fresh = dir + QStringLiteral("/fresh.bin");
    WriteFileSafely(fresh, "x");
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(ReadWholeFile(fresh), "x");
}

TEST(SafeFileStream, SavingThroughALinkReplacesTheLinkedFile)
{
    const QString dir = TempDir();
    const QString real = dir + QStringLiteral("/real.txt");
    const QString link = dir + QStringLiteral("/link.txt");
    writeFile(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    WriteFileSafely(link, "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(real), "new");
}

TEST(SafeFileStream, UnwritableTargetsRaiseEFCreateError)
{
    const QString dir = TempDir();
    EXPECT_THROW(TSafeFileStream(dir + QStringLiteral("/no/such/dir/x.bin")), EFCreateError);
    EXPECT_THROW(TSafeFileStream{dir}, EFCreateError);
    EXPECT_THROW(ReadWholeFile(dir + QStringLiteral("/missing")), EFOpenError);
    if (::geteuid() != 0) {
        const QString ro = dir + QStringLiteral("/readonly.bin");
        writeFile(ro, "keep");
        ::chmod(QFile::encodeName(ro).constData(), 0444);
        EXPECT_THROW(TSafeFileStream{ro}, EFCreateError);
        EXPECT_EQ(fileBytes(ro), "keep");
    }
    EXPECT_EQ(leftoverFiles(dir), ::geteuid() != 0 ? 1 : 0);
}

TEST(SafeFileStream, FailedCommitRaisesAndLeavesWhatWasThere)
{
    const QString sub = TempDir() + QStringLiteral("/sub");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString name = sub + QStringLiteral("/f.bin");
    writeFile(name, "old");
    {
        TSafeFileStream s(name);
        s.WriteBuffer("new", 3);
        // Something else takes the name meanwhile (a non-empty folder): rename fails.
        ASSERT_TRUE(QFile::remove(name));
        ASSERT_TRUE(QDir().mkpath(name));
        writeFile(name + QStringLiteral("/inside"), "kept");
        EXPECT_THROW(s.Commit(), EWriteError);
        EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
    }
    EXPECT_EQ(fileBytes(name + QStringLiteral("/inside")), "kept");
    EXPECT_EQ(leftoverFiles(sub), 0);
}

TEST(FileStream, OwnsItsFileAndCannotBeCopied)
{
    // A copy would close the file twice; streams over a whole file move by reference only.
    static_assert(!std::is_copy_constructible_v<TFileStream>);
    static_assert(!std::is_copy_assignable_v<TFileStream>);
    static_assert(!std::is_copy_constructible_v<TSafeFileStream>);
    const QString name = TempDir() + QStringLiteral("/owned.bin");
    writeFile(name, QByteArray("abc"));
    {
        TFileStream fs(name, fmOpenRead);
        EXPECT_EQ(fs.Size(), 3);
    }
    // Closed with the stream: the file can be replaced and reopened.
    writeFile(name, QByteArray("abcd"));
    TFileStream again(name, fmOpenRead);
    EXPECT_EQ(again.Size(), 4);
}
