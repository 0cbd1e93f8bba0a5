// The combined image component: ownership, forwarding, undo and assignment.
#include "imaging/kit/image_kit.h"
#include "common/test_support.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace {

void paint(TBitmap& bmp, int w, int h, uint8_t seed)
{
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < 3 * w; ++x)
            row[x] = uint8_t(seed + x * 7 + y * 13);
    }
}

}  // namespace

TEST(ImageKit, NewComponentOwnsAttachedObjectsWithAutoUndoOn)
{
    TImageKit kit;
    ASSERT_NE(kit.Proc(), nullptr);
    ASSERT_NE(kit.IO(), nullptr);
    EXPECT_TRUE(kit.AutoUndo());
    EXPECT_EQ(kit.Proc()->AttachedImageKit(), &kit);
    EXPECT_EQ(kit.IO()->AttachedImageKit(), &kit);
    EXPECT_EQ(kit.Proc()->CurrentBitmap(), kit.Bitmap());
    EXPECT_EQ(kit.NColors(), nc24bit);
    EXPECT_TRUE(kit.StreamHeaders());
}

TEST(ImageKit, SettersReachBothObjectsAndGettersReadTheProcessingObject)
{
    TImageKit kit;
    kit.SetMsgLanguage(msGerman);
    EXPECT_EQ(kit.Proc()->MsgLanguage(), msGerman);
    EXPECT_EQ(kit.IO()->MsgLanguage, msGerman);
    kit.IO()->MsgLanguage = msFrench;
    EXPECT_EQ(kit.MsgLanguage(), msGerman);
    kit.Proc()->SetMsgLanguage(msSpanish);
    EXPECT_EQ(kit.MsgLanguage(), msSpanish);

    int procCalls = 0, ioCalls = 0;
    kit.SetOnProgress([&](TObject*, int) { ++procCalls; });
    ASSERT_TRUE(bool(kit.Proc()->OnProgress));
    ASSERT_TRUE(bool(kit.IO()->OnProgress));
    kit.IO()->OnProgress = [&](TObject*, int) { ++ioCalls; };
    kit.OnProgress()(nullptr, 50);
    EXPECT_EQ(procCalls, 1);
    EXPECT_EQ(ioCalls, 0);
}

TEST(ImageKit, NColorsAlwaysKeepsTwentyFourBits)
{
    TImageKit kit;
    kit.Bitmap()->SetPixelFormat(pf1bit);
    kit.Bitmap()->SetSize(9, 3);
    kit.SetNColors(nc8bit);
    EXPECT_EQ(kit.NColors(), nc24bit);
    EXPECT_EQ(kit.Bitmap()->PixelFormat(), pf24bit);
}

TEST(ImageKit, ForwardedEditsUndoThroughTheProcessingObject)
{
    TImageKit kit;
    paint(*kit.Bitmap(), 5, 4, 10);
    kit.Update();
    const QImage before = kit.Bitmap()->Image().copy();
    kit.Negative();
    EXPECT_TRUE(kit.CanUndo());
    EXPECT_EQ(kit.Bitmap()->ScanLine(0)[0], uint8_t(255 - before.constScanLine(0)[0]));
    kit.Undo();
    EXPECT_EQ(kit.Bitmap()->Image(), before);
    kit.Resample(10, 8, rfTriangle);
    EXPECT_EQ(kit.Bitmap()->Width(), 10);
    EXPECT_EQ(kit.Bitmap()->Height(), 8);
}

TEST(ImageKit, AssignFromInputOutputCopiesOnlyParameters)
{
    TImageKit kit;
    paint(*kit.Bitmap(), 6, 6, 1);
    const QImage image = kit.Bitmap()->Image().copy();
    TImageKitIO other;
    other.Params().JpegQuality = 93;
    kit.Assign(&other);
    EXPECT_EQ(kit.IOParams().JpegQuality, 93);
    EXPECT_EQ(kit.Bitmap()->Image(), image);
}

TEST(ImageKit, AssignFromAnotherKitCopiesParametersAndImage)
{
    TImageKit source, target;
    paint(*source.Bitmap(), 7, 3, 40);
    source.IOParams().JpegQuality = 12;
    target.Assign(&source);
    EXPECT_EQ(target.IOParams().JpegQuality, 12);
    EXPECT_EQ(target.Bitmap()->Image(), source.Bitmap()->Image());
}

TEST(ImageKit, LoadsAndSavesThroughItsInputOutputObject)
{
    const QString file = TempDir() + QStringLiteral("/k.bmp");
    {
        TImageKit kit;
        paint(*kit.Bitmap(), 13, 5, 77);
        kit.IO()->SaveToFile(file);
    }
    TImageKit kit;
    kit.LoadFromFile(file);
    ASSERT_EQ(kit.Bitmap()->Width(), 13);
    ASSERT_EQ(kit.Bitmap()->Height(), 5);
    TBitmap expected;
    paint(expected, 13, 5, 77);
    EXPECT_EQ(kit.Bitmap()->Image(), expected.Image());
}

TEST(ImageKit, DestroyingTheComponentFreesBothObjects)
{
    QPointer<TImageKitProc> proc;
    QPointer<TImageKitIO> io;
    {
        TImageKit kit;
        proc = kit.Proc();
        io = kit.IO();
        paint(*kit.Bitmap(), 3, 3, 0);
        kit.Negative();
    }
    EXPECT_TRUE(proc.isNull());
    EXPECT_TRUE(io.isNull());
}

TEST(ImageKit, DestructionFreesProcessingThenInputOutputThenTheView)
{
    std::vector<QString> order;
    int listenersWhenProcGoes = -1;
    {
        auto* kit = new TImageKit;
        TImageKit* raw = kit;
        QObject::connect(kit->Proc(), &QObject::destroyed, [&] {
            order.push_back(QStringLiteral("proc"));
            // The processing object has left the view's listeners; the view still stands.
            listenersWhenProcGoes = raw->BitmapChangeListenerCount();
        });
        QObject::connect(kit->IO(), &QObject::destroyed, [&] { order.push_back(QStringLiteral("io")); });
        QObject::connect(kit, &QObject::destroyed, [&] { order.push_back(QStringLiteral("view")); });
        delete kit;
    }
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("proc"), QStringLiteral("io"), QStringLiteral("view")}));
    EXPECT_EQ(listenersWhenProcGoes, 1);  // only the input/output object is left
}
