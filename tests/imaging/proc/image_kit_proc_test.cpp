// The processing component: undo, work area, crop, colours, histogram, merge and progress.
#include "common/bitmap_memory.h"
#include "common/test_support.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/dib.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/view/image_kit_view.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/image_control.h"
#include "proc_test_util.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <new>

using namespace proctest;

namespace {

// A view showing a copy of the given bitmap, with a processing component attached.
struct ViewRig {
    std::unique_ptr<TImageKitView> view = std::make_unique<TImageKitView>();
    TImageKitProc proc;
    explicit ViewRig(const TBitmap& image)
    {
        view->SetBounds(0, 0, 200, 200);
        view->Bitmap()->Assign(image);
        view->Update();
        proc.SetAttachedImageKit(view.get());
    }
    TBitmap& bm() { return *view->Bitmap(); }
    void polygon(const std::vector<TPoint>& pts)
    {
        view->SetSelectionBase(iksbBitmap);
        view->Deselect();
        for (const TPoint& p : pts)
            view->AddSelPoint(p.X, p.Y);
        view->SetSelectionBase(iksbClientArea);
    }
};

const std::vector<TPoint> kTriangle{{0, 0}, {20, 0}, {0, 20}};

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

}  // namespace

// ---- undo ---------------------------------------------------------------------------------

TEST(ProcUndo, LimitThreeKeepsTheLastThreeNewestFirst)
{
    TBitmap bm(4, 2, pf24bit);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    EXPECT_EQ(proc.UndoLimit, 3);
    for (int i = 1; i <= 4; ++i) {
        FillBitmapRect(&bm, 0, 0, 3, 1, RGB(i, i, i));
        proc.SaveUndo();
    }
    EXPECT_EQ(proc.UndoCount(), 3);
    FillBitmapRect(&bm, 0, 0, 3, 1, RGB(5, 5, 5));
    for (int want : {4, 3, 2}) {
        ASSERT_TRUE(proc.CanUndo());
        proc.Undo();
        EXPECT_EQ(Get(bm, 3, 1), (Px{want, want, want}));
        EXPECT_EQ(proc.CurrentBitmap(), &bm);
    }
    EXPECT_FALSE(proc.CanUndo());
    proc.Undo();
    EXPECT_EQ(Get(bm, 0, 0), (Px{2, 2, 2}));
}

TEST(ProcUndo, RestoresSizeAndFormatIntoTheSameBitmapObject)
{
    TBitmap bm = Pattern(5, 3);
    const TBitmap before = bm;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SaveUndo();
    bm.Assign(TBitmap(9, 9, pf1bit));
    proc.Undo();
    EXPECT_EQ(proc.CurrentBitmap(), &bm);
    EXPECT_TRUE(SamePixels(bm, before));
}

TEST(ProcUndo, LimitOneReplacesAndLimitZeroStoresNothing)
{
    TBitmap bm = Filled(3, 3, {10, 20, 30});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.UndoLimit = 1;
    proc.Negative();
    proc.Negative();
    EXPECT_EQ(proc.UndoCount(), 1);
    proc.Undo();
    EXPECT_EQ(Get(bm, 1, 1), (Px{245, 235, 225}));
    EXPECT_FALSE(proc.CanUndo());

    proc.UndoLimit = 0;
    proc.SaveUndo();
    proc.Negative();
    EXPECT_FALSE(proc.CanUndo());
    proc.Undo();
    EXPECT_EQ(Get(bm, 1, 1), (Px{10, 20, 30}));
}

TEST(ProcUndo, AutoUndoOffPushesNothing)
{
    TBitmap bm = Pattern(3, 3);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SetAutoUndo(false);
    proc.Negative();
    proc.ConvertToGray();
    EXPECT_FALSE(proc.CanUndo());
}

// An operation that runs out of memory changes neither the image nor the stack: with
// the limit of 3 reached, three undos still lead back to the original.
TEST(ProcUndo, OperationOutOfMemoryLeavesImageAndStackAsTheyWere)
{
    struct Case {
        const char* name;
        std::function<void(TImageKitProc&)> op;
        int allowed = 0;  // bitmap allocations that still succeed
        TPixelFormat format = pf24bit;
    };
    const Case cases[] = {
        {"negative", [](TImageKitProc& p) { p.Negative(); }},
        {"negative 1-bit", [](TImageKitProc& p) { p.Negative(); }, 0, pf1bit},
        {"grey", [](TImageKitProc& p) { p.ConvertToGray(); }},
        {"clear", [](TImageKitProc& p) { p.Clear(); }},
        {"resample", [](TImageKitProc& p) { p.Resample(40, 30, rfLanczos3); }},
        {"stretch", [](TImageKitProc& p) { p.Resample(-1, 4, rfNone); }},
        {"rotate 200", [](TImageKitProc& p) { p.Rotate(200, true); }, 1},
        {"rotate 270", [](TImageKitProc& p) { p.Rotate(270, false); }},
        {"flip", [](TImageKitProc& p) { p.Flip(0); }},
        {"canvas", [](TImageKitProc& p) { p.ResizeCanvas(20, 20); }},
        {"colours", [](TImageKitProc& p) { p.ReduceColors(16); }},
        {"black and white", [](TImageKitProc& p) { p.ConvertToBWThreshold(100); }},
        {"crop",
         [](TImageKitProc& p) {
             p.SelectRect(1, 1, 5, 4);
             p.CropToSelection();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bm = Pattern(13, 9);
        bm.SetPixelFormat(c.format);
        TImageKitProc proc;
        proc.SetAttachedBitmap(&bm);
        std::vector<TBitmap> states{bm};
        for (int direction : {0, 1, 0}) {
            proc.Flip(direction);
            states.push_back(bm);
        }
        {
            const TBitmapMemoryRefusal refusal(c.allowed);
            EXPECT_THROW(c.op(proc), EOutOfMemory);
        }
        EXPECT_TRUE(SamePixels(bm, states[3]));
        EXPECT_EQ(proc.UndoCount(), 3);
        for (int i = 2; i >= 0; --i) {
            proc.Undo();
            EXPECT_TRUE(SamePixels(bm, states[size_t(i)])) << i;
        }
    }
}

// Whatever stops an operation halfway, the rows it changed are taken back, with undo on
// or with the pixels only held elsewhere (each row is copied as it is changed then, so
// rows not reached would hold nothing); running out of memory anywhere is reported as such.
TEST(ProcUndo, OperationFailingHalfwayIsTakenBack)
{
    const std::pair<std::function<void()>, const char*> failures[] = {
        {[] { throw EAbort(QStringLiteral("stop")); }, "stop"},
        {[] { throw std::bad_alloc(); }, "Out of memory"},
    };
    const TScopedParallelThreads threads(4, 1);
    for (const bool undo : {true, false})
        for (const auto& [fail, message] : failures) {
            SCOPED_TRACE(std::string(message) + (undo ? " with undo" : " held elsewhere"));
            TBitmap bm = Pattern(40, 64);
            const TBitmap before = bm;
            const TBitmap unchanged = Pattern(40, 64);
            TImageKitProc proc;
            proc.SetAutoUndo(undo);
            proc.SetAttachedBitmap(&bm);
            proc.OnProgress = [&, fail = fail](TObject*, int percent) {
                if (percent >= 50)
                    fail();
            };
            try {
                proc.Negative();
                ADD_FAILURE() << "no exception";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), QString::fromUtf8(message));
            }
            EXPECT_TRUE(SamePixels(bm, unchanged));
            EXPECT_TRUE(SamePixels(before, unchanged));
            EXPECT_EQ(proc.UndoCount(), 0);
        }
}

// A point operation over pixels that another bitmap holds: the result is whole, every
// row and column (outside the work area too), and the holder keeps the old pixels.
TEST(ProcUndo, SharedPixelsAreCopiedWhereTheyChange)
{
    const TScopedParallelThreads threads(4, 1);
    for (const bool wholeImage : {true, false}) {
        SCOPED_TRACE(wholeImage ? "whole image" : "columns 3 to 30");
        TBitmap bm = Pattern(41, 37);
        const TBitmap held = bm;
        TBitmap expected = Pattern(41, 37);
        TImageKitProc proc, reference;
        proc.SetAttachedBitmap(&bm);
        reference.SetAttachedBitmap(&expected);
        if (!wholeImage) {
            proc.SelectRect(3, 0, 30, 36);
            reference.SelectRect(3, 0, 30, 36);
        }
        // The reference's pixels are its own: it changes them in place.
        reference.SetAutoUndo(false);
        proc.Negative();
        reference.Negative();
        EXPECT_TRUE(SamePixels(bm, expected));
        EXPECT_TRUE(SamePixels(held, Pattern(41, 37)));
        proc.Undo();
        EXPECT_TRUE(SamePixels(bm, Pattern(41, 37)));
    }
}

// ---- work area ---------------------------------------------------------------------------

TEST(ProcWorkArea, StoredRectangleIsInclusiveOnABareBitmap)
{
    TBitmap bm = Filled(8, 6, {0, 0, 0});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(2, 1, 4, 3);
    proc.Negative();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 2 && x <= 4 && y >= 1 && y <= 3;
            EXPECT_EQ(Get(bm, x, y).r, in ? 255 : 0) << x << "," << y;
        }
    int x1, y1, x2, y2;
    std::vector<TPoint> poly;
    EXPECT_TRUE(proc.GetWorkArea(x1, y1, x2, y2, poly));
    EXPECT_TRUE(poly.empty());
    proc.SelectRect(-1, -1, -1, -1);
    EXPECT_FALSE(proc.GetWorkArea(x1, y1, x2, y2, poly));
    EXPECT_EQ(x2, 7);
    EXPECT_EQ(y2, 5);
}

TEST(ProcWorkArea, ViewSelectionWinsAndStoredRectangleIsIgnoredWithoutIt)
{
    ViewRig rig(Filled(20, 10, {0, 0, 0}));
    rig.proc.SelectRect(2, 2, 5, 5);
    ASSERT_TRUE(rig.view->HasSelection());
    rig.proc.Negative();
    EXPECT_EQ(Get(rig.bm(), 2, 2).r, 255);
    EXPECT_EQ(Get(rig.bm(), 5, 5).r, 255);
    EXPECT_EQ(Get(rig.bm(), 6, 5).r, 0);
    EXPECT_EQ(Get(rig.bm(), 1, 2).r, 0);

    // Without a selection the whole image is used, not the rectangle stored above.
    rig.view->Deselect();
    rig.proc.Negative();
    EXPECT_EQ(Get(rig.bm(), 2, 2).r, 0);
    EXPECT_EQ(Get(rig.bm(), 19, 9).r, 255);
}

TEST(ProcWorkArea, AreaOutsideTheImageDoesNothingAndPushesNoUndo)
{
    TBitmap bm = Pattern(10, 10);
    const TBitmap before = bm;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(50, 50, 60, 60);
    proc.ConvertToGray();
    proc.Negative();
    const TBitmap other = Filled(2, 2, {1, 1, 1});
    proc.Merge(&other, 50);
    proc.CropToSelection();
    proc.CutToClipboard();
    EXPECT_FALSE(proc.CanUndo());
    EXPECT_TRUE(SamePixels(bm, before));
    EXPECT_EQ(proc.CountColors(), 0);
}

// ---- polygons ------------------------------------------------------------------------------

TEST(ProcPolygon, OperationsChangeOnlyPixelsInsideThePolygon)
{
    const TBitmap image = Pattern(20, 20, 4);
    const TBitmap other = Filled(5, 5, {255, 255, 255});
    const int inside[][2] = {{2, 2}, {8, 3}, {3, 12}};
    const int outside[][2] = {{17, 17}, {12, 15}, {19, 19}};
    for (int op = 0; op < 3; ++op) {
        ViewRig rig(image);
        rig.polygon(kTriangle);
        ASSERT_TRUE(rig.view->HasSelection());
        if (op == 0)
            rig.proc.Negative();
        else if (op == 1)
            rig.proc.ConvertToGray();
        else
            rig.proc.Merge(&other, 0);
        for (auto& p : inside)
            EXPECT_FALSE(Get(rig.bm(), p[0], p[1]) == Get(image, p[0], p[1])) << op << " " << p[0] << "," << p[1];
        for (auto& p : outside)
            EXPECT_EQ(Get(rig.bm(), p[0], p[1]), Get(image, p[0], p[1])) << op << " " << p[0] << "," << p[1];
        EXPECT_TRUE(rig.proc.CanUndo());
    }
}

TEST(ProcPolygon, CropAndCutKeepTheBoundingBoxAndFillOutside)
{
    const TBitmap image = Pattern(30, 30, 2);
    {
        ViewRig rig(image);
        rig.view->SetBackground(RGB(7, 8, 9));
        rig.polygon({{5, 5}, {25, 5}, {5, 25}});
        rig.proc.CropToSelection();
        ASSERT_EQ(rig.bm().Width(), 21);
        ASSERT_EQ(rig.bm().Height(), 21);
        EXPECT_EQ(Get(rig.bm(), 2, 2), Get(image, 7, 7));
        EXPECT_EQ(Get(rig.bm(), 18, 18), (Px{7, 8, 9}));
    }
    {
        ViewRig rig(image);
        rig.view->SetBackground(RGB(7, 8, 9));
        rig.polygon({{5, 5}, {25, 5}, {5, 25}});
        rig.proc.CutToClipboard();
        EXPECT_EQ(Get(rig.bm(), 7, 7), (Px{7, 8, 9}));
        EXPECT_EQ(Get(rig.bm(), 23, 23), Get(image, 23, 23));
        EXPECT_EQ(Get(rig.bm(), 2, 2), Get(image, 2, 2));
        QByteArray bmp;
        ASSERT_TRUE(Clipboard::GetBmpFile(bmp));
        TBitmap piece;
        BMPFileToBitmap(bmp, &piece);
        ASSERT_EQ(piece.Width(), 21);
        EXPECT_EQ(Get(piece, 2, 2), Get(image, 7, 7));
        EXPECT_EQ(Get(piece, 18, 18), (Px{7, 8, 9}));
    }
}

TEST(ProcPolygon, PolygonCoveringNoPixelDoesNothing)
{
    // Three clicks on one spot, and three points on one line: boxes of 1 × 1 and 9 × 1
    // whose polygon holds no pixel. Nothing may change, not even the undo stack.
    const TBitmap image = Pattern(12, 12, 6);
    for (const std::vector<TPoint>& pts :
         {std::vector<TPoint>{{5, 5}, {5, 5}, {5, 5}}, std::vector<TPoint>{{2, 4}, {6, 4}, {10, 4}}}) {
        ViewRig rig(image);
        rig.polygon(pts);
        ASSERT_TRUE(rig.view->HasSelection());
        Clipboard::Clear();
        rig.proc.CropToSelection();
        rig.proc.Negative();
        rig.proc.ConvertToGray();
        rig.proc.CutToClipboard();
        rig.proc.CopyToClipboard();
        EXPECT_FALSE(rig.proc.CanUndo());
        EXPECT_TRUE(SamePixels(rig.bm(), image));
        QByteArray bmp;
        EXPECT_FALSE(Clipboard::GetBmpFile(bmp));
    }
}

TEST(ProcPolygon, FarReachingPolygonCostsOnlyTheImagesRows)
{
    // A triangle reaching two thousand million pixels out holds the whole 16 × 12 image;
    // the region is built for the image's rows, not for four thousand million.
    const TBitmap image = Pattern(16, 12, 9);
    ViewRig rig(image);
    rig.polygon({{-2000000000, -10}, {2000000000, -10}, {0, 2000000000}});
    ASSERT_TRUE(rig.view->HasSelection());
    rig.proc.Negative();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const Px was = Get(image, x, y), now = Get(rig.bm(), x, y);
            ASSERT_EQ(now, (Px{255 - was.r, 255 - was.g, 255 - was.b})) << x << "," << y;
        }
    rig.view->SetBackground(RGB(7, 8, 9));
    rig.proc.CutToClipboard();
    EXPECT_EQ(Get(rig.bm(), 0, 0), (Px{7, 8, 9}));
    EXPECT_EQ(Get(rig.bm(), 15, 11), (Px{7, 8, 9}));
    EXPECT_EQ(rig.proc.UndoCount(), 2);
}

// ---- progress ------------------------------------------------------------------------------

TEST(ProcProgress, TruncOfRowsDoneOverRowsPlusAHalf)
{
    TBitmap bm = Pattern(5, 3);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    std::vector<int> seen;
    proc.OnProgress = [&](TObject* sender, int p) {
        EXPECT_EQ(sender, &proc);
        seen.push_back(p);
    };
    proc.ConvertToGray();
    EXPECT_EQ(seen, (std::vector<int>{28, 57, 85}));
    seen.clear();
    proc.SelectRect(0, 1, 4, 1);
    proc.Negative();
    EXPECT_EQ(seen, (std::vector<int>{66}));

    TBitmap tall = Pattern(2, 200);
    proc.SetAttachedBitmap(&tall);
    proc.SelectRect(-1, -1, -1, -1);
    seen.clear();
    const TBitmap other = Filled(1, 1, {0, 0, 0});
    proc.Merge(&other, 50);
    ASSERT_EQ(seen.size(), 200u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 99);
}

// ---- merge, histogram, colours, crop ---------------------------------------------------------

TEST(ProcMerge, PercentageIsTheOldImagesShare)
{
    struct Case {
        int percent;
        Px old, other, want;
    };
    const Case cases[] = {
        {75, {200, 100, 50}, {100, 50, 0}, {175, 88, 38}},  // 87.5 → 88, 37.5 → 38
        {50, {3, 5, 255}, {0, 0, 255}, {2, 2, 255}},        // 1.5 → 2, 2.5 → 2 (halves to even)
        {0, {200, 100, 50}, {1, 2, 3}, {1, 2, 3}},
        {100, {200, 100, 50}, {1, 2, 3}, {200, 100, 50}},
        // Exact halves where 0.01 · old + 0.99 · other computed separately lands below.
        {1, {32, 39, 46}, {82, 189, 96}, {82, 188, 96}},  // 81.5, 187.5, 95.5
        {1, {67, 89, 0}, {217, 239, 0}, {216, 238, 0}},   // 215.5, 237.5
    };
    for (const Case& c : cases) {
        TBitmap bm = Filled(4, 4, c.old);
        const TBitmap other = Filled(4, 4, c.other);
        TImageKitProc proc;
        proc.SetAttachedBitmap(&bm);
        proc.Merge(&other, c.percent);
        EXPECT_EQ(Get(bm, 2, 2), c.want) << c.percent;
    }
}

// Every pair of old and other byte values, at percentages in and outside 0 … 100,
// against the exact quotient rounded half to even and clamped.
TEST(ProcMerge, EveryBytePairMatchesTheRoundedQuotient)
{
    TBitmap old(256, 256, pf24bit), other(256, 256, pf24bit);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            Set(old, x, y, {x, 255 - x, (x + y) & 255});
            Set(other, x, y, {y, y, 255 - y});
        }
    for (int percent : {0, 1, 37, 40, 50, 63, 99, 100, -20, 150}) {
        SCOPED_TRACE(percent);
        TBitmap bm(old);
        TImageKitProc proc;
        proc.SetAttachedBitmap(&bm);
        proc.Merge(&other, percent);
        const auto blend = [&](int d, int s) {
            return ClampByte(Round(double(d * percent + s * (100 - percent)) / 100.0));
        };
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const Px d = Get(old, x, y), s = Get(other, x, y);
                ASSERT_EQ(Get(bm, x, y), (Px{blend(d.r, s.r), blend(d.g, s.g), blend(d.b, s.b)})) << x << "," << y;
            }
    }
}

TEST(ProcMerge, OtherImageIsStretchedOverTheWorkArea)
{
    TBitmap bm = Filled(12, 12, {0, 0, 0});
    TBitmap other(2, 2, pf24bit);
    Set(other, 0, 0, {200, 0, 0});
    Set(other, 1, 0, {0, 200, 0});
    Set(other, 0, 1, {0, 0, 200});
    Set(other, 1, 1, {100, 100, 100});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(2, 2, 9, 9);
    proc.Merge(&other, 50);
    EXPECT_EQ(Get(bm, 3, 3), (Px{100, 0, 0}));
    EXPECT_EQ(Get(bm, 8, 3), (Px{0, 100, 0}));
    EXPECT_EQ(Get(bm, 3, 8), (Px{0, 0, 100}));
    EXPECT_EQ(Get(bm, 8, 8), (Px{50, 50, 50}));
    EXPECT_EQ(Get(bm, 1, 1), (Px{0, 0, 0}));
    EXPECT_EQ(Get(bm, 10, 10), (Px{0, 0, 0}));
}

TEST(ProcHistogram, MatchesPilChannelCountsAndOurGrey)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    TBitmap bm = Pattern(61, 37, 3);
    const QString path = TempDir() + QStringLiteral("/h.ppm");
    writeFile(path, Ppm(bm));
    const QString script = QStringLiteral("import sys\nfrom PIL import Image\n"
                                          "im = Image.open(sys.argv[1]).convert('RGB')\n"
                                          "h = im.histogram()\n"
                                          "g = [0] * 256\n"
                                          "for r, gg, b in im.getdata(): g[(r * 30 + gg * 59 + b * 11) // 100] += 1\n"
                                          "print(' '.join(map(str, h + g)))\n");
    QByteArray out;
    ASSERT_EQ(RunTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}, &out), 0);
    const QList<QByteArray> v = out.trimmed().split(' ');
    ASSERT_EQ(v.size(), 1024);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    TIKHistogram h;
    proc.GetHistogram(h);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(h[i].Red, v[i].toInt()) << i;
        EXPECT_EQ(h[i].Green, v[256 + i].toInt()) << i;
        EXPECT_EQ(h[i].Blue, v[512 + i].toInt()) << i;
        EXPECT_EQ(h[i].Gray, v[768 + i].toInt()) << i;
    }
    // The rectangle counts only its pixels; a 1-bit image gives an empty table.
    proc.SelectRect(0, 0, 1, 1);
    proc.GetHistogram(h);
    int total = 0;
    for (const auto& e : h)
        total += e.Gray;
    EXPECT_EQ(total, 4);
    TBitmap mono(3, 3, pf1bit);
    proc.SetAttachedBitmap(&mono);
    proc.GetHistogram(h);
    EXPECT_EQ(h[255].Gray, 0);
}

TEST(ProcColors, CountMatchesImageMagick)
{
    REQUIRE_TOOLS(QStringLiteral("identify"), QStringLiteral("convert"));
    const QString dir = TempDir();
    auto identifyK = [&](const QString& spec) {
        QByteArray out;
        EXPECT_EQ(RunTool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%k"), spec}, &out),
                  0);
        return out.trimmed().toInt();
    };
    // A photograph-sized image with about a million colours, and a small patterned one.
    TBitmap big(1024, 1024, pf24bit);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            Set(big, x, y, {(x * 7 + y) & 255, (y * 3 + (x >> 8)) & 255, (x ^ (y * 5)) & 255});
    TBitmap small = Pattern(97, 61, 1);
    for (TBitmap* bm : {&big, &small}) {
        const QString path = dir + QStringLiteral("/c%1.ppm").arg(bm->Width());
        writeFile(path, Ppm(*bm));
        TImageKitProc proc;
        proc.SetAttachedBitmap(bm);
        EXPECT_EQ(proc.CountColors(), identifyK(path)) << bm->Width();
        proc.SelectRect(10, 5, 40, 30);
        TBitmap part;
        CopyBitmapArea(bm, &part, 10, 5, 40, 30);
        const QString partPath = dir + QStringLiteral("/p%1.ppm").arg(bm->Width());
        writeFile(partPath, Ppm(part));
        EXPECT_EQ(proc.CountColors(), identifyK(partPath)) << bm->Width();
    }
}

TEST(ProcColors, UniformOneBitAndOtherFormats)
{
    TBitmap bm = Filled(9, 9, {4, 5, 6});
    TImageKitProc proc;
    EXPECT_EQ(proc.CountColors(), 0);
    proc.SetAttachedBitmap(&bm);
    EXPECT_EQ(proc.CountColors(), 1);
    TBitmap mono(5, 5, pf1bit);
    proc.SetAttachedBitmap(&mono);
    EXPECT_EQ(proc.CountColors(), 2);
    TBitmap b32(5, 5, pf32bit);
    proc.SetAttachedBitmap(&b32);
    EXPECT_EQ(proc.CountColors(), 0);
    EXPECT_FALSE(proc.CanUndo());
}

TEST(ProcCrop, InclusiveCornersAndSelectAll)
{
    const TBitmap image = Pattern(12, 8);
    TBitmap bm = image;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(2, 3, 5, 7);
    proc.CropToSelection();
    ASSERT_EQ(bm.Width(), 4);
    ASSERT_EQ(bm.Height(), 5);
    EXPECT_EQ(Get(bm, 0, 0), Get(image, 2, 3));
    EXPECT_EQ(Get(bm, 3, 4), Get(image, 5, 7));
    proc.Undo();
    EXPECT_TRUE(SamePixels(bm, image));
    // Select-all passes width and height: the crop keeps w × h.
    proc.SelectRect(0, 0, 12, 8);
    proc.CropToSelection();
    EXPECT_TRUE(SamePixels(bm, image));
    proc.CopyToClipboard();
    QByteArray bmp;
    ASSERT_TRUE(Clipboard::GetBmpFile(bmp));
    EXPECT_EQ(U32(bmp, 14 + 4), 12u);
    EXPECT_EQ(U32(bmp, 14 + 8), 8u);

    ViewRig rig(image);
    rig.proc.SelectRect(0, 0, 12, 8);
    rig.proc.CropToSelection();
    EXPECT_TRUE(SamePixels(rig.bm(), image));
}

TEST(ProcBasic, ClearGreyAndNegative)
{
    TBitmap bm = Filled(3, 2, {100, 150, 200});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.ConvertToGray();
    EXPECT_EQ(Get(bm, 2, 1), (Px{140, 140, 140}));  // (3000 + 8850 + 2200) / 100
    proc.Negative();
    EXPECT_EQ(Get(bm, 0, 0), (Px{115, 115, 115}));
    proc.SetBackground(RGB(1, 2, 3));
    proc.Clear();
    EXPECT_EQ(Get(bm, 1, 1), (Px{1, 2, 3}));
    EXPECT_EQ(proc.UndoCount(), 3);

    TBitmap mono(10, 1, pf1bit);
    proc.SetAttachedBitmap(&mono);
    proc.SelectRect(3, 0, 6, 0);
    proc.Negative();
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(Bit(mono, x, 0), !(x >= 3 && x <= 6)) << x;
    // Grey is for 24-bit images only.
    proc.ConvertToGray();
    EXPECT_EQ(proc.UndoCount(), 3);
}

// ---- attachment ------------------------------------------------------------------------------

TEST(ProcAttach, ViewListenerJoinsAndLeaves)
{
    auto view = std::make_unique<TImageKitView>();
    int changes = 0;
    view->OnImageChange = [&](TObject*) { ++changes; };
    {
        TImageKitProc proc;
        proc.SetAttachedImageKit(view.get());
        EXPECT_EQ(view->BitmapChangeListenerCount(), 1);
        EXPECT_EQ(proc.CurrentBitmap(), view->Bitmap());
        view->Bitmap()->Assign(Pattern(4, 4));
        proc.Negative();
        EXPECT_EQ(changes, 1);
        view->SetBackground(RGB(9, 9, 9));
        EXPECT_EQ(proc.Background(), RGB(9, 9, 9));
        proc.SetAttachedBitmap(nullptr);  // ignored while a view is attached
        EXPECT_EQ(proc.AttachedImageKit(), view.get());
    }
    EXPECT_EQ(view->BitmapChangeListenerCount(), 0);
}

TEST(ProcAttach, ViewFreedFirstIsForgotten)
{
    auto view = std::make_unique<TImageKitView>();
    TImageKitProc proc;
    proc.SetAttachedImageKit(view.get());
    view.reset();
    EXPECT_EQ(proc.AttachedImageKit(), nullptr);
    EXPECT_EQ(proc.CurrentBitmap(), nullptr);
    proc.Negative();
    proc.Undo();
    // Owned by the view: freed with it without touching the dead listener list.
    auto owner = std::make_unique<TImageKitView>();
    auto* child = new TImageKitProc(owner.get());
    child->SetAttachedImageKit(owner.get());
    owner.reset();
}

TEST(ProcAttach, TImageRepaintsAndBareBitmapDropsTheView)
{
    auto image = std::make_unique<TImage>();
    image->PictureBitmap()->Assign(Filled(3, 3, {0, 0, 0}));
    auto view = std::make_unique<TImageKitView>();
    TImageKitProc proc;
    proc.SetAttachedImageKit(view.get());
    proc.SetAttachedTImage(image.get());
    EXPECT_EQ(proc.AttachedImageKit(), nullptr);
    EXPECT_EQ(view->BitmapChangeListenerCount(), 0);
    EXPECT_EQ(proc.CurrentBitmap(), image->PictureBitmap());
    const int before = image->ChangeCount();
    proc.Negative();
    EXPECT_EQ(Get(*image->PictureBitmap(), 1, 1), (Px{255, 255, 255}));
    EXPECT_GT(image->ChangeCount(), before);
    EXPECT_EQ(proc.Background(), 0);  // own colour without a view
    image.reset();
    EXPECT_EQ(proc.AttachedTImage(), nullptr);
    EXPECT_EQ(proc.CurrentBitmap(), nullptr);

    TBitmap bare = Filled(2, 2, {0, 0, 0});
    proc.SetAttachedImageKit(view.get());
    proc.SetAttachedBitmap(&bare);
    EXPECT_EQ(proc.AttachedImageKit(), nullptr);
    EXPECT_EQ(view->BitmapChangeListenerCount(), 0);
    proc.Negative();
    EXPECT_EQ(Get(bare, 0, 0).r, 255);
}

namespace {

// A view whose bitmap is replaced, as the multi-image view's is.
class SwitchingView : public TIKView {
public:
    TBitmap first = Filled(4, 4, {0, 0, 0});
    TBitmap second = Filled(6, 6, {0, 0, 0});
    bool useSecond = false;
    TBitmap* GetBitmap() override { return useSecond ? &second : &first; }
};

}  // namespace

TEST(ProcAttach, ListenerFollowsAReplacedBitmapAndOtherViewsUseTheStoredRectangle)
{
    SwitchingView view;
    TImageKitProc proc;
    proc.SetAttachedImageKit(&view);
    EXPECT_EQ(proc.CurrentBitmap(), &view.first);
    view.useSecond = true;
    view.CallBitmapChangeListeners();
    EXPECT_EQ(proc.CurrentBitmap(), &view.second);
    // Not an image view: the rectangle set on the component is the work area.
    proc.SelectRect(1, 1, 2, 2);
    proc.Negative();
    EXPECT_EQ(Get(view.second, 1, 1).r, 255);
    EXPECT_EQ(Get(view.second, 3, 3).r, 0);
    EXPECT_EQ(Get(view.first, 1, 1).r, 0);
}

// ---- clipboard -------------------------------------------------------------------------------

TEST(ProcClipboard, CopyAndPasteRoundTripWithinTheProcess)
{
    TBitmap a = Pattern(9, 7, 8);
    TImageKitProc pa;
    pa.SetAttachedBitmap(&a);
    pa.SelectRect(2, 1, 6, 5);
    pa.CopyToClipboard();
    EXPECT_FALSE(pa.CanUndo());

    QByteArray bmp;
    ASSERT_TRUE(Clipboard::GetBmpFile(bmp));
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(bmp, 2), uint32_t(bmp.size()));
    EXPECT_EQ(U32(bmp, 14 + 4), 5u);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), QSize(5, 5));

    TBitmap b = Filled(3, 3, {0, 0, 0});
    TImageKitProc pb;
    pb.SetAttachedBitmap(&b);
    pb.PasteFromClipboard();
    TBitmap want;
    CopyBitmapArea(&a, &want, 2, 1, 6, 5);
    EXPECT_TRUE(SamePixels(b, want));
    pb.Undo();
    EXPECT_EQ(b.Width(), 3);

    // Without a work area the whole image goes; 1-bit stays 1-bit.
    TBitmap mono(13, 3, pf1bit);
    for (int x = 0; x < 13; ++x)
        SetBit(mono, x, 1, x % 3 == 0);
    pa.SetAttachedBitmap(&mono);
    pa.SelectRect(-1, -1, -1, -1);
    pa.CopyToClipboard();
    pb.PasteFromClipboard();
    EXPECT_TRUE(SamePixels(b, mono));
}

TEST(ProcClipboard, CutFillsTheAreaAndNeedsOne)
{
    const TBitmap image = Pattern(6, 6);
    TBitmap bm = image;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SetBackground(RGB(5, 6, 7));
    Clipboard::Clear();
    proc.CutToClipboard();  // no work area: nothing, not even an undo entry
    EXPECT_FALSE(proc.CanUndo());
    EXPECT_TRUE(SamePixels(bm, image));
    QByteArray bmp;
    EXPECT_FALSE(Clipboard::GetBmpFile(bmp));

    proc.SelectRect(1, 1, 2, 3);
    proc.CutToClipboard();
    EXPECT_EQ(proc.UndoCount(), 1);
    EXPECT_EQ(Get(bm, 1, 1), (Px{5, 6, 7}));
    EXPECT_EQ(Get(bm, 2, 3), (Px{5, 6, 7}));
    EXPECT_EQ(Get(bm, 3, 3), Get(image, 3, 3));
    ASSERT_TRUE(Clipboard::GetBmpFile(bmp));
    TBitmap piece;
    BMPFileToBitmap(bmp, &piece);
    ASSERT_EQ(piece.Width(), 2);
    ASSERT_EQ(piece.Height(), 3);
    EXPECT_EQ(Get(piece, 1, 2), Get(image, 2, 3));
}

TEST(ProcClipboard, PasteToSelectionStretchesIntoTheRectangle)
{
    TBitmap src(2, 2, pf24bit);
    Set(src, 0, 0, {255, 0, 0});
    Set(src, 1, 0, {0, 255, 0});
    Set(src, 0, 1, {0, 0, 255});
    Set(src, 1, 1, {9, 9, 9});
    TImageKitProc pa;
    pa.SetAttachedBitmap(&src);
    pa.CopyImageToClipboard();

    TBitmap bm = Filled(10, 10, {0, 0, 0});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(2, 2, 7, 7);
    proc.PasteToSelection();
    EXPECT_EQ(bm.Width(), 10);
    EXPECT_EQ(Get(bm, 3, 3), (Px{255, 0, 0}));
    EXPECT_EQ(Get(bm, 6, 3), (Px{0, 255, 0}));
    EXPECT_EQ(Get(bm, 3, 6), (Px{0, 0, 255}));
    EXPECT_EQ(Get(bm, 6, 6), (Px{9, 9, 9}));
    EXPECT_EQ(Get(bm, 1, 1), (Px{0, 0, 0}));
    EXPECT_EQ(Get(bm, 8, 8), (Px{0, 0, 0}));
    EXPECT_EQ(proc.UndoCount(), 1);
}

TEST(ProcClipboard, BadBlockPastesNothingAndPushesNoUndo)
{
    QByteArray bad = DIBToBMPFile(DibHeader(4, 4, 24) + QByteArray(48, '\0'));
    PutU32(bad, 14 + 4, 0x7FFFFFFF);  // width far past the data
    Clipboard::SetBitmap(bad, QImage());
    TBitmap bm = Pattern(3, 3);
    const TBitmap before = bm;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    EXPECT_THROW(proc.PasteFromClipboard(), EInvalidGraphic);
    proc.SelectRect(0, 0, 1, 1);
    EXPECT_THROW(proc.PasteToSelection(), EInvalidGraphic);
    EXPECT_FALSE(proc.CanUndo());
    EXPECT_TRUE(SamePixels(bm, before));
}

TEST(ProcClipboard, ImageFromAnotherProgramIsConverted)
{
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(qRgb(10, 20, 30));
    QGuiApplication::clipboard()->setImage(argb);
    TBitmap bm = Pattern(1, 1);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.PasteFromClipboard();
    ASSERT_EQ(bm.PixelFormat(), pf24bit);
    ASSERT_EQ(bm.Width(), 3);
    EXPECT_EQ(Get(bm, 2, 1), (Px{10, 20, 30}));

    QImage mono(9, 1, QImage::Format_MonoLSB);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0u);           // all white
    mono.setPixel(4, 0, 1);  // one black pixel
    QGuiApplication::clipboard()->setImage(mono);
    proc.PasteFromClipboard();
    ASSERT_EQ(bm.PixelFormat(), pf1bit);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(Bit(bm, x, 0), x != 4) << x;
}

// ---- whole-image operations forwarded to the geometry and colour-reduction routines ----------

TEST(ProcForwarding, WholeImageOperationsPushUndoAndIgnoreTheWorkArea)
{
    TBitmap bm = Pattern(6, 4);
    const TBitmap image = bm;
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SelectRect(1, 1, 2, 2);
    proc.Flip(0);
    EXPECT_EQ(Get(bm, 0, 0), Get(image, 5, 0));
    proc.Rotate(90, false);
    EXPECT_EQ(bm.Width(), 4);
    EXPECT_EQ(bm.Height(), 6);
    proc.SetBackground(RGB(3, 3, 3));
    proc.ResizeCanvas(8, 8);
    EXPECT_EQ(Get(bm, 7, 7), (Px{3, 3, 3}));
    proc.ResizeCanvas(0, 5);  // refused: no entry
    proc.Resample(-1, 4, rfNone);
    EXPECT_EQ(bm.Width(), 4);
    proc.ReduceColors(2);
    EXPECT_EQ(bm.PixelFormat(), pf1bit);
    proc.ConvertToGray();  // 24-bit only: ignored
    proc.ConvertTo24Bit();
    EXPECT_EQ(bm.PixelFormat(), pf24bit);
    proc.UndoLimit = 10;
    EXPECT_EQ(proc.UndoCount(), 3);  // the limit of 3 was in force until now
    for (int i = 0; i < 3; ++i)
        proc.Undo();
    EXPECT_EQ(bm.Width(), 8);
    EXPECT_EQ(bm.Height(), 8);
}

TEST(ProcForwarding, ImpossibleResampleSizesLeaveNoUndoEntry)
{
    TBitmap bm = Pattern(6, 4);
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.Resample(0, 4, rfTriangle);
    proc.Resample(-1, -1, rfTriangle);
    proc.Resample(-1, 0, rfTriangle);
    EXPECT_EQ(proc.UndoCount(), 0);
    EXPECT_EQ(bm.Width(), 6);
    proc.Resample(-1, 8, rfTriangle);  // width follows the aspect ratio
    EXPECT_EQ(proc.UndoCount(), 1);
    EXPECT_EQ(bm.Width(), 12);
    EXPECT_EQ(bm.Height(), 8);
}

// A rotation whose result no reader would open again (a thin line turned 45° spans a
// square of 28 285 × 28 285 pixels) is refused, in the component's language, before
// anything changes; one that fits goes ahead.
TEST(ProcForwarding, RotationsLargerThanTheReadersTakeAreRefusedUpFront)
{
    const struct {
        TMsgLanguage language;
        const char* start;
    } cases[] = {{msGerman, "Das gedrehte Bild wäre zu groß"}, {msEnglish, "The rotated image would be too large"}};
    for (const auto& c : cases) {
        TBitmap bm = Pattern(1, 40000);
        const TBitmap image = bm;
        TImageKitProc proc;
        proc.SetAttachedBitmap(&bm);
        proc.SetMsgLanguage(c.language);
        try {
            proc.Rotate(45, true);
            ADD_FAILURE() << "not refused";
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().startsWith(QString::fromUtf8(c.start))) << e.Message().toStdString();
        }
        EXPECT_EQ(proc.UndoCount(), 0);
        EXPECT_TRUE(bm.Image() == image.Image());
        proc.Rotate(90, false);  // 40000 × 1 fits
        EXPECT_EQ(bm.Width(), 40000);
        EXPECT_EQ(proc.UndoCount(), 1);
    }
}
