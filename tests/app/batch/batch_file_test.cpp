// Batch files and names: record round trips, numbered names, the directory walk and the file list.
#include "app/batch/batch_file.h"
#include "common/test_support.h"
#include "platform/core/exceptions.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString freshDir()
{
    static int n = 0;
    const QString d = TempDir() + QStringLiteral("/batchfile%1").arg(n++);
    QDir().mkpath(d);
    return d;
}

void touch(const QString& path, const QByteArray& data = "x")
{
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(BatchNames, NumberedNamePadsToFourDigitsAndKeepsLongerNumbers)
{
    const struct {
        int counter;
        const char* expected;
    } cases[] = {{1, "/d/unbenannt0001"},
                 {42, "/d/unbenannt0042"},
                 {9999, "/d/unbenannt9999"},
                 {12345, "/d/unbenannt12345"},
                 {0, "/d/unbenannt0000"}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberedName(QStringLiteral("/d"), QStringLiteral("unbenannt"), c.counter),
                  QString::fromLatin1(c.expected))
            << c.counter;
    EXPECT_EQ(NumberedName(QStringLiteral("/d/"), QStringLiteral("x"), 7), QStringLiteral("/d/x0007"));
}

TEST(BatchNames, TargetNameFollowsTheRulesForExistingFiles)
{
    struct Case {
        const char* what;
        int existing;  // 0 overwrite, 1 increment, 2 do not save
        bool keepformat, keepnames;
        int formatindex;
        const char* source;  // "" for a scanned or new image
        QSet<QString> present;
        int startCounter;
        TTargetName::Kind kind;
        const char* name;
        int endCounter;
    };
    const Case cases[] = {
        {"free name", 0, false, false, 3, "/src/a.jpg", {}, 1, TTargetName::Save, "/out/u0001.tiff", 1},
        {"overwrite", 0, false, false, 0, "/src/a.jpg", {"/out/u0001.jpg"}, 1, TTargetName::Save, "/out/u0001.jpg", 1},
        {"increment once", 1, false, false, 3, "", {"/out/u0001.tiff"}, 1, TTargetName::Save, "/out/u0002.tiff", 2},
        {"increment past a run",
         1,
         false,
         false,
         4,
         "",
         {"/out/u0005.png", "/out/u0006.png", "/out/u0007.png"},
         5,
         TTargetName::Save,
         "/out/u0008.png",
         8},
        {"do not save", 2, false, false, 1, "/src/a.bmp", {"/out/u0003.bmp"}, 3, TTargetName::Skip, "", 3},
        {"keep names and format overwrite in place",
         0,
         true,
         true,
         0,
         "/src/pic.png",
         {"/src/pic.png"},
         1,
         TTargetName::Save,
         "/src/pic.png",
         1},
        {"keep names, format box", 0, false, true, 2, "/src/pic.png", {}, 1, TTargetName::Save, "/src/pic.pcx", 1},
        {"keep names, numbered name takes over",
         1,
         true,
         true,
         0,
         "/src/pic.png",
         {"/src/pic.png"},
         4,
         TTargetName::Save,
         "/out/u0005.png",
         5},
        {"keep format of a jpeg", 0, true, false, 4, "/src/x.JPEG", {}, 9, TTargetName::Save, "/out/u0009.JPEG", 9},
        {"untitled image: numbered name and format box",
         0,
         true,
         true,
         3,
         "",
         {},
         2,
         TTargetName::Save,
         "/out/u0002.tiff",
         2},
        {"format without a writer keeps the format box",
         0,
         true,
         false,
         1,
         "/src/x.wmf",
         {},
         1,
         TTargetName::Save,
         "/out/u0001.bmp",
         1},
        {"damaged format index", 0, false, false, 77, "", {}, 1, TTargetName::Save, "/out/u0001.jpg", 1},
    };
    for (const Case& c : cases) {
        tautodialog s;
        s.startname.Assign(QStringLiteral("u"));
        s.existing = c.existing;
        s.keepformat = c.keepformat;
        s.keepnames = c.keepnames;
        s.formatindex = c.formatindex;
        int counter = c.startCounter;
        const TTargetName t = ResolveTargetName(s, QStringLiteral("/out"), QString::fromLatin1(c.source), counter,
                                                [&](const QString& n) { return c.present.contains(n); });
        EXPECT_EQ(t.kind, c.kind) << c.what;
        if (c.kind == TTargetName::Save) {
            EXPECT_EQ(t.name, QString::fromLatin1(c.name)) << c.what;
        }
        EXPECT_EQ(counter, c.endCounter) << c.what;
    }
}

TEST(BatchNames, NamesThatDoNotFitTheRecordAreRefusedNotCut)
{
    tautodialog s;
    s.startname.Assign(QString(250, QLatin1Char('n')));
    s.existing = 1;
    for (int present : {0, 1}) {
        int counter = 1;
        const QString dir = QStringLiteral("/out");
        const TTargetName t = ResolveTargetName(s, dir, {}, counter, [&](const QString&) { return present-- > 0; });
        EXPECT_EQ(t.kind, TTargetName::TooLong);
        EXPECT_GT(t.name.toUtf8().size(), 255);
    }
}

TEST(BatchFiles, RecordsRoundTripAndATrailingPieceIsIgnored)
{
    const QString dir = freshDir();
    for (int count : {0, 1, 3}) {
        std::vector<QByteArray> blocks;
        for (int i = 0; i < count; ++i) {
            tautomatitem item;
            item.SetCode(uint8_t(cmdGray + i));
            item.SetArg(1, 1000 * i + 7);
            blocks.push_back(item.ToByteArray());
        }
        const QString path = dir + QStringLiteral("/r%1.atm").arg(count);
        WriteBatchFile(path, blocks);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray all = f.readAll();
        f.close();
        ASSERT_EQ(all.size(), count * tautomatitem::Size);
        for (int extra : {0, 1, 1423}) {
            QFile g(path);
            ASSERT_TRUE(g.open(QIODevice::WriteOnly | QIODevice::Truncate));
            g.write(all + QByteArray(extra, '\x11'));
            g.close();
            const std::vector<tautomatitem> items = ReadBatchFile(path);
            ASSERT_EQ(int(items.size()), count) << extra;
            for (int i = 0; i < count; ++i)
                EXPECT_EQ(items[size_t(i)].ToByteArray(), blocks[size_t(i)]);
        }
    }
    EXPECT_THROW(ReadBatchFile(dir + QStringLiteral("/missing.atm")), EFOpenError);
    EXPECT_THROW(WriteBatchFile(dir + QStringLiteral("/short.atm"), {QByteArray(10, 0)}), EWriteError);
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/short.atm")));
}

TEST(BatchFiles, DirectoryWalkFiltersByTypeSortsAndSkipsDotAndLinkedDirectories)
{
    const QString d = freshDir();
    for (const char* f :
         {"b.JPG", "a.jpeg", "c.bmp", "d.pcx", "e.gif", "f.tif", "g.TIFF", "h.wmf", "i.emf", "j.ico", "k.cur", "l.png",
          "m.txt", "noext", "sub/z.png", "sub/a.jpg", "sub/deeper/q.bmp", ".hidden/x.jpg", "zz/w.jpg"})
        touch(d + QLatin1Char('/') + QString::fromLatin1(f));
    QFile::link(d + QStringLiteral("/sub"), d + QStringLiteral("/linked"));
    QFile::link(d + QStringLiteral("/l.png"), d + QStringLiteral("/ln.png"));

    auto rel = [&](const QStringList& l) {
        QStringList out;
        for (const QString& s : l)
            out << s.mid(d.size() + 1);
        return out;
    };
    std::array<uint8_t, 10> all{};
    all.fill(1);
    std::array<uint8_t, 10> jpegPng{};
    jpegPng[0] = jpegPng[9] = 1;
    std::array<uint8_t, 10> none{};
    const struct {
        std::array<uint8_t, 10> types;
        bool subdirs;
        QStringList expected;
    } cases[] = {
        {all,
         false,
         {"a.jpeg", "b.JPG", "c.bmp", "d.pcx", "e.gif", "f.tif", "g.TIFF", "h.wmf", "i.emf", "j.ico", "k.cur", "l.png",
          "ln.png"}},
        {jpegPng, true, {"a.jpeg", "b.JPG", "l.png", "ln.png", "sub/a.jpg", "sub/z.png", "zz/w.jpg"}},
        {all,
         true,
         {"a.jpeg", "b.JPG", "c.bmp", "d.pcx", "e.gif", "f.tif", "g.TIFF", "h.wmf", "i.emf", "j.ico", "k.cur", "l.png",
          "ln.png", "sub/a.jpg", "sub/deeper/q.bmp", "sub/z.png", "zz/w.jpg"}},
        {none, true, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rel(CollectDirectory(d, c.types, c.subdirs)), c.expected);
    EXPECT_TRUE(CollectDirectory(d + QStringLiteral("/nothing"), all, true).isEmpty());
}

TEST(BatchFiles, FileListIsWrittenWithCrLfAndReadBackTolerantly)
{
    const QString path = freshDir() + QStringLiteral("/verz.sld");
    const QStringList names{QStringLiteral("/a/b c.jpg"), QStringLiteral("/x/Ümlaut.png"), QStringLiteral("/y.bmp")};
    WriteFileList(path, names);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("/a/b c.jpg\r\n") + QStringLiteral("/x/Ümlaut.png").toUtf8() + "\r\n/y.bmp\r\n");
    f.close();
    EXPECT_EQ(ReadFileList(path), names);
    const struct {
        QByteArray text;
        QStringList expected;
    } cases[] = {{"a\nb", {"a", "b"}}, {"a\r\n\r\nb\r\n", {"a", "b"}}, {"", {}}, {"only", {"only"}}};
    for (const auto& c : cases) {
        touch(path, c.text);
        EXPECT_EQ(ReadFileList(path), c.expected) << c.text.constData();
    }
    EXPECT_THROW(ReadFileList(path + QStringLiteral(".gone")), EFOpenError);
}

}  // namespace
