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

using namespace wmftest;

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
        } catch (const EInvalidGraphic&) {
        }
    }
    WmfWriter w;
    w.rec(0x0324, {30000, 1, 2});     // polygon claiming 30000 points
    w.rec(0x0538, {2, 40000, 40000}); // poly-polygon with absurd counts
    w.rec(0x012D, {900});             // select a missing object
    w.rec(0x0521, {500, 0x4141});     // text longer than its record
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
    w.rec(0x0521, {5, 0x6548, 0x6C6C, 0x006F, 20, 10});          // text "Hello"
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
    std::mt19937 rng(77);
    int drawn = 0;
    for (int i = 0; i < 600; ++i) {
        QByteArray d = good;
        if (i % 3 == 0) {
            d.truncate(int(rng() % uint32_t(d.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int k = 0; k < flips; ++k) {
                // mostly inside the records, where the counts and sizes are
                const int at = 22 + int(rng() % uint32_t(d.size() - 22));
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
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_GT(drawn, 0);
}

TEST(MetafileEmf, RandomlyDamagedFilesDrawOrRefuseCleanly)
{
    const LibEmf* emf = OpenLibEmf();
    if (!emf)
        GTEST_SKIP() << "libEMF missing";
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
    std::mt19937 rng(99);
    int drawn = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray d = good;
        if (i % 3 == 0) {
            d.truncate(int(rng() % uint32_t(d.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int k = 0; k < flips; ++k) {
                const int at = 88 + int(rng() % uint32_t(d.size() - 88));
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
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_GT(drawn, 0);
}
