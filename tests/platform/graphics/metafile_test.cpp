// Windows metafiles written record by record and enhanced metafiles made by libEMF:
// damaged and hostile files draw or refuse cleanly.

#include "common/test_support.h"
#include "common/metafile_samples.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/metafile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>
#include <time.h>

using namespace wmftest;

namespace {

// Draws `count` damaged copies of a metafile (cut short, or a few bytes behind its
// header changed): each draws or is refused with EInvalidGraphic. Returns how many drew.
int drawDamagedCopies(const QByteArray& good, int headerSize, int count, uint32_t seed)
{
    std::mt19937 rng(seed);
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        QByteArray d = good;
        if (i % 3 == 0) {
            d.truncate(int(rng() % uint32_t(d.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int k = 0; k < flips; ++k) {
                const int at = headerSize + int(rng() % uint32_t(d.size() - headerSize));
                d[at] = char(i % 2 ? rng() : (rng() & 1 ? 0xFF : 0x7F));
            }
        }
        SCOPED_TRACE(i);
        try {
            TMetafile m;
            m.LoadFromData(d);
            QImage img(m.Width(), m.Height(), QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            m.Draw(p, TRect(0, 0, m.Width(), m.Height()));
            ++drawn;
        } catch (const EInvalidGraphic&) {}
    }
    return drawn;
}

}  // namespace

TEST(MetafileWmf, HostileRecordsStopCleanly)
{
    QByteArray good = SampleWmf();
    TMetafile mf;
    mf.LoadFromData(good);
    EXPECT_EQ(mf.Width(), 200);
    // records whose sizes run past the end, counts past the record, object indices
    // past the table: drawing ends or skips, never reads outside the data
    for (int cut = 40; cut < good.size(); cut += 7) {
        QByteArray c = good.left(cut);
        TMetafile m;
        try {
            m.LoadFromData(c);
            QImage img(200, 100, QImage::Format_RGB32);
            QPainter p(&img);
            m.Draw(p, TRect(0, 0, 200, 100));
        } catch (const EInvalidGraphic&) {}
    }
    WmfWriter w;
    w.rec(0x0324, {30000, 1, 2});                                      // polygon claiming 30000 points
    w.rec(0x0538, {2, 40000, 40000});                                  // poly-polygon with absurd counts
    w.rec(0x012D, {900});                                              // select a missing object
    w.rec(0x0521, {500, 0x4141});                                      // text longer than its record
    w.rec(0x0B41, {0x20, 0xCC, 1, 1, 0, 0, 1, 1, 0, 0, 40, 0, 0, 0});  // blit with a broken bitmap
    TMetafile m;
    m.LoadFromData(w.build(50, 50, 96, 1));
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    EXPECT_THROW(m.Draw(p, TRect(0, 0, 50, 50)), EInvalidGraphic);

    EXPECT_THROW(mf.LoadFromData(QByteArray(10, 'x')), EInvalidGraphic);
    QByteArray noSize = good;
    noSize[10] = 0;  // right = left
    noSize[11] = 0;
    EXPECT_THROW(mf.LoadFromData(noSize), EInvalidGraphic);
}

TEST(MetafileWmf, RandomlyDamagedFilesDrawOrRefuseCleanly)
{
    // the sample plus text, a poly-polygon, a save/restore pair and a DIB blit
    WmfWriter w;
    w.rec(0x020C, {100, 200});
    w.rec(0x02FB, {12, 0, 0, 0, 400, 0, 0, 0, 0x4141, 0x4141, 0});  // font "AAAA"
    w.rec(0x012D, {0});
    w.rec(0x0521, {5, 0x6548, 0x6C6C, 0x006F, 20, 10});  // text "Hello"
    w.rec(0x001E, {});
    w.rec(0x0538, {2, 3, 3, 0, 0, 50, 0, 0, 50, 60, 60, 90, 60, 60, 90});
    w.rec(0x0127, {uint16_t(-1)});
    QByteArray dib(40, '\0');
    dib[0] = 40;
    dib[4] = 2;
    dib[8] = 2;
    dib[12] = 1;
    dib[14] = 24;
    dib += QByteArray::fromHex("0000ff00ff000000ff0000ffffff0000");
    w.rec(0x0F43, {0x20, 0xCC, 2, 2, 0, 0, 2, 2, 0, 0, 40, 40, 150, 60}, dib);  // stretch DIB
    const QByteArray good = w.build(200, 100, 96, 2);
    // mostly inside the records, where the counts and sizes are
    EXPECT_GT(drawDamagedCopies(good, 22, 600, 77), 0);
}

TEST(MetafileEmf, RandomlyDamagedFilesDrawOrRefuseCleanly)
{
    REQUIRE_TOOLS(QStringLiteral("lib:libEMF.so.1"));
    const LibEmf* emf = OpenLibEmf();
    ASSERT_NE(emf, nullptr);
    const auto& [create, close, del, brush, select, rectangle, ellipse, stock] = *emf;
    using Rect = LibEmf::Rect;
    const QString path = TempDir() + QStringLiteral("/m.emf");
    const QByteArray name = path.toLocal8Bit();
    const Rect frame{0, 0, 2646, 1323};
    void* dc = create(nullptr, name.constData(), &frame, nullptr);
    ASSERT_NE(dc, nullptr);
    select(dc, brush(0x00FF00));
    rectangle(dc, 0, 0, 50, 50);
    ellipse(dc, 60, 10, 90, 40);
    del(close(dc));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    EXPECT_GT(drawDamagedCopies(good, 88, 300, 99), 0);
}

namespace {

// Plays a metafile onto a white image of its own size.
QImage play(const QByteArray& wmf)
{
    TMetafile m;
    m.LoadFromData(wmf);
    QImage img(m.Width(), m.Height(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    m.Draw(p, TRect(0, 0, m.Width(), m.Height()));
    return img;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

}  // namespace

TEST(MetafileWmf, SavesPastTheDepthBoundStillRestore)
{
    // Red is selected when the saves happen, blue after them; the restore must bring
    // red back however deep the saves went.
    struct Case {
        int saves;
        int restore;
    };
    for (const Case c : {Case{3, -1}, Case{3, 1}, Case{5000, -1}, Case{5000, -5000}, Case{5000, 1}}) {
        SCOPED_TRACE(testing::Message() << c.saves << " saves, restore " << c.restore);
        WmfWriter w;
        w.rec(0x02FC, {0, 0x00FF, 0, 0});  // brush 0 red
        w.rec(0x02FA, {5, 0, 0, 0, 0});    // pen 1 null
        w.rec(0x012D, {0});
        w.rec(0x012D, {1});
        for (int i = 0; i < c.saves; ++i)
            w.rec(0x001E, {});
        w.rec(0x02FC, {0, 0, 0x00FF, 0});  // brush 2 blue
        w.rec(0x012D, {2});
        w.rec(0x0127, {c.restore});
        w.rec(0x041B, {40, 40, 0, 0});  // rectangle 0,0 – 40,40
        const QImage img = play(w.build(40, 40, 96, 3));
        EXPECT_EQ(img.pixel(20, 20), qRgb(255, 0, 0));
    }
}

TEST(MetafileWmf, ExclusionFloodKeepsTheFirstExclusionsAndLinearTime)
{
    // 60000 exclusions scattered over the picture, then one fill of the whole. Without a
    // bound on the clip region each exclusion costs time in all before it.
    WmfWriter w;
    w.rec(0x02FC, {0, 0, 0, 0});     // brush 0 black
    w.rec(0x02FA, {5, 0, 0, 0, 0});  // pen 1 null
    w.rec(0x012D, {0});
    w.rec(0x012D, {1});
    w.rec(0x0415, {30, 30, 10, 10});  // exclude 10,10 – 30,30 first
    for (int i = 0; i < 60000; ++i) {
        const int x = 40 + (i % 110) * 3, y = 40 + (i / 110 % 80) * 3;
        w.rec(0x0415, {y + 2, x + 2, y, x});
    }
    w.rec(0x041B, {300, 400, 0, 0});
    const QByteArray wmf = w.build(400, 300, 96, 2);
    const double start = cpuSeconds();
    const QImage img = play(wmf);
    EXPECT_LT(cpuSeconds() - start, 30.0);  // quadratic play takes minutes
    EXPECT_EQ(img.pixel(20, 20), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(MetafileWmf, CanvasAreaIsBounded)
{
    // Placeable frames at 96 units per inch: the canvas follows the frame up to 2^24
    // pixels, whatever the sides.
    struct Case {
        int right, bottom;
        bool loads;
    };
    for (const Case c : {Case{1000, 1000, true}, Case{16000, 16000, false}, Case{12000, 12000, false}}) {
        SCOPED_TRACE(testing::Message() << c.right << " × " << c.bottom);
        TMetafile m;
        WmfWriter w;
        if (c.loads) {
            EXPECT_NO_THROW(m.LoadFromData(w.build(c.right, c.bottom, 96, 0)));
        } else {
            EXPECT_THROW(m.LoadFromData(w.build(c.right, c.bottom, 96, 0)), EInvalidGraphic);
        }
    }
}
