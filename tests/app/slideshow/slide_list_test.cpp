// Slide lists: the list file, the directory walk, sorting and shuffling.
#include "app/options/option_blocks.h"
#include "app/slideshow/slide_list.h"
#include "common/test_support.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QStringList relative(const QString& root, const QStringList& files)
{
    QStringList out;
    for (const QString& f : files)
        out.append(QDir(root).relativeFilePath(f));
    return out;
}

tslideshowoptions typesOn(std::initializer_list<int> flags, bool subdirs)
{
    tslideshowoptions o;
    for (int f : flags)
        o.types[size_t(f)] = 1;
    o.subdirs = subdirs;
    return o;
}

// A scripted random source: hands out the given draws in turn.
TSlideRandom script(std::vector<int> draws)
{
    return [draws, i = size_t(0)](int) mutable { return draws[i++ % draws.size()]; };
}

}  // namespace

TEST(SlideListFile, WritesCrLfLinesAndReadsThemBack)
{
    const QString file = TempDir() + QStringLiteral("/liste.sld");
    const QStringList files = {QStringLiteral("/bilder/a.jpg"), QStringLiteral("/bilder/Ä ö/b.bmp"),
                               QStringLiteral("/x/c.png")};
    WriteSlideList(file, files);
    EXPECT_EQ(ReadWholeFile(file),
              QByteArray("/bilder/a.jpg\r\n") + QStringLiteral("/bilder/Ä ö/b.bmp").toUtf8() + "\r\n/x/c.png\r\n");
    EXPECT_EQ(ReadSlideList(file), files);

    // Bare LF lines, empty lines and a last line without an end.
    WriteFileSafely(file, "/a.jpg\n\r\n/b.jpg");
    EXPECT_EQ(ReadSlideList(file), (QStringList{QStringLiteral("/a.jpg"), QStringLiteral("/b.jpg")}));
    EXPECT_TRUE(ReadSlideList(TempDir() + QStringLiteral("/fehlt.sld")).isEmpty());
    EXPECT_THROW(ReadSlideList(TempDir()), EReadError);  // a folder, not a list
}

TEST(SlideListFile, DirectoryWalkKeepsTheChosenTypesAndStaysOutOfLinkLoops)
{
    const QString root = TempDir() + QStringLiteral("/walk");
    for (const char* f : {"a.JPG", "b.jpeg", "c.bmp", "d.tif", "e.tiff", "f.gif", "g.png", "h.txt", "noext",
                          ".hidden.jpg", "sub/i.jpg", "sub/deeper/j.tif", ".versteckt/k.jpg", "Z.PCX"})
        touch(root + QLatin1Char('/') + QLatin1String(f));
    QDir().mkpath(root + QStringLiteral("/folder.jpg"));  // a directory with a picture's name
    ASSERT_EQ(symlink(root.toUtf8().constData(), (root + QStringLiteral("/sub/loop")).toUtf8().constData()), 0);

    struct Case {
        std::initializer_list<int> flags;
        bool subdirs;
        QStringList expected;
    };
    const Case cases[] = {
        {{0}, false, {".hidden.jpg", "a.JPG", "b.jpeg"}},
        {{0}, true, {".hidden.jpg", "a.JPG", "b.jpeg", "sub/i.jpg"}},
        {{4}, true, {"d.tif", "e.tiff", "sub/deeper/j.tif"}},
        {{1, 2, 9}, false, {"c.bmp", "g.png", "Z.PCX"}},
        {{3}, false, {"f.gif"}},
        {{}, true, {}},
    };
    for (const Case& c : cases) {
        const QStringList got = relative(root, CollectSlideDirectory(root, typesOn(c.flags, c.subdirs)));
        EXPECT_EQ(got, c.expected) << got.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(CollectSlideDirectory(root + QStringLiteral("/fehlt"), typesOn({0}, true)).isEmpty());
}

TEST(SlideListFile, SortsByNameIgnoringCaseAndShufflesBySwapping)
{
    QStringList names = {"b.jpg", "B.jpg", "a.jpg", "C.jpg", "A.jpg", "c.jpg"};
    SortSlidesByName(names);
    EXPECT_EQ(names, (QStringList{"A.jpg", "a.jpg", "B.jpg", "b.jpg", "C.jpg", "c.jpg"}));

    struct Case {
        std::vector<int> draws;
        QStringList expected;
    };
    const QStringList start = {"0", "1", "2", "3"};
    const Case cases[] = {
        {{0, 1, 2, 3}, start},                 // each swaps with itself
        {{3, 3, 3, 3}, {"3", "0", "1", "2"}},  // 0↔3, 1↔3, 2↔3, 3↔3
        {{1, 0, 3, 2}, {"0", "1", "2", "3"}},  // swapped and back
        {{2, 2, 0, 0}, {"3", "0", "2", "1"}},
    };
    for (const Case& c : cases) {
        QStringList l = start;
        SortSlides(l, slsRandom, script(c.draws));
        EXPECT_EQ(l, c.expected);
        QStringList kept = start;
        SortSlides(kept, slsNone, script(c.draws));
        EXPECT_EQ(kept, start);
    }
}
