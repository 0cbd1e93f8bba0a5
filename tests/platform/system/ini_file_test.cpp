// Ini files: sections, atomic writes and damaged files.
#include "platform/system/ini_file.h"
#include "platform/core/streams.h"
#include "common/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString freshIni(const char* name)
{
    const QString path = TempDir() + QStringLiteral("/%1.ini").arg(QLatin1String(name));
    QFile::remove(path);
    return path;
}

}  // namespace

TEST(IniFile, ReadsWindowsStyleSections)
{
    const QString path = freshIni("read");
    WriteFileSafely(path, "\xEF\xBB\xBF; comment\r\nstray=before any section\r\n[ Main ]\r\n"
                          "  Name = \"spaced value\" \r\nSingle='x'\r\nHalf=\"open\r\nNum=0x1F\r\nNeg=-12\r\n"
                          "Bad=12abc\r\nEmpty=\r\n[other]\r\nName=second\r\n[main]\r\nName=duplicate\r\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.LoadError().isEmpty());
    struct Case {
        const char* section;
        const char* ident;
        const char* expected;
    };
    const Case cases[] = {
        {"MAIN", "name", "spaced value"}, {"Main", "Single", "x"},
        {"Main", "Half", "\"open"},       {"Main", "Empty", ""},
        {"Other", "Name", "second"},      {"Main", "stray", "default"},
        {"Missing", "Name", "default"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(QString::fromLatin1(c.section), QString::fromLatin1(c.ident),
                                 QStringLiteral("default")),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.ident;
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Num"), 0), 31);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Neg"), 0), -12);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Bad"), 7), 7);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Name"), 7), 7);
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("main"), QStringLiteral("EMPTY")));
}

TEST(IniFile, WritingKeepsWhatItDoesNotUnderstandAndReplacesAtomically)
{
    const QString path = freshIni("write");
    WriteFileSafely(path, "; keep me\n[A]\nx=1\n\n[B]\ny=2\njunk line\n");
    {
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("10"));
        ini.WriteString(QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("3"));
        ini.WriteString(QStringLiteral("C"), QStringLiteral("w"), QStringLiteral("two\nlines"));
        // Nothing reaches the disk before UpdateFile.
        EXPECT_EQ(ReadWholeFile(path), QByteArray("; keep me\n[A]\nx=1\n\n[B]\ny=2\njunk line\n"));
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadWholeFile(path),
              QByteArray("; keep me\n[A]\nx=10\nz=3\n\n[B]\ny=2\njunk line\n\n[C]\nw=two lines\n"));
    TIniFile back(path);
    EXPECT_EQ(back.ReadString(QStringLiteral("C"), QStringLiteral("w"), QString()), QStringLiteral("two lines"));
    EXPECT_EQ(back.ReadSections(), QStringList({"A", "B", "C"}));
}

TEST(IniFile, DamagedOrOversizedFilesGiveDefaults)
{
    const QString junk = freshIni("junk");
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += char((i * 73 + 11) & 0xFF);
    WriteFileSafely(junk, bytes);
    TIniFile damaged(junk);
    EXPECT_TRUE(damaged.LoadError().isEmpty());
    EXPECT_EQ(damaged.ReadInteger(QStringLiteral("Main"), QStringLiteral("X"), 5), 5);

    const QString big = freshIni("big");
    const QByteArray huge = "[Main]\nX=1\n" + QByteArray(TIniFile::kMaxFileSize, 'x');
    WriteFileSafely(big, huge);
    TIniFile oversized(big);
    EXPECT_FALSE(oversized.LoadError().isEmpty());
    EXPECT_EQ(oversized.ReadInteger(QStringLiteral("Main"), QStringLiteral("X"), 5), 5);
    oversized.WriteInteger(QStringLiteral("Main"), QStringLiteral("X"), 2);
    EXPECT_THROW(oversized.UpdateFile(), EIniFileError);
    EXPECT_EQ(ReadWholeFile(big), huge);
}
