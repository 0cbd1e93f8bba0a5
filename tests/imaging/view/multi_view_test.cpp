// The multi-image view: layout, selection by mouse and keys, deletion rules, index
// safety, playback on a hand-driven timer, thumbnails and storage.

#include "imaging/view/multi_view.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

TBitmap solid(int w, int h, QRgb rgb, TPixelFormat format = pf24bit)
{
    TBitmap b(w, h, pf24bit);
    b.Image().fill(QColor(rgb));
    if (format != pf24bit)
        b.SetPixelFormat(format);
    return b;
}

// A view of the given size without border holding n 20 × 10 images.
std::unique_ptr<TImageKitMView> makeView(int w, int h, int n, int grid = -1)
{
    auto v = std::make_unique<TImageKitMView>();
    v->SetBorderStyle(bsNone);
    v->SetBounds(0, 0, w, h);
    v->SetGridWidth(grid);
    const TBitmap b = solid(20, 10, qRgb(10, 20, 30));
    for (int i = 0; i < n; ++i) {
        v->InsertImage(i);
        v->SetImage(i, &b);
    }
    return v;
}

// A press and release at a client point (the view has no border).
void click(QWidget* w, int x, int y)
{
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

}  // namespace

TEST(MultiViewLayout, CellsAndExtentFollowGridAndBorders)
{
    struct Row {
        int grid, clientW, thumbW, thumbH, hb, vb, count;
        int columns, lastX, lastY, extentW, extentH;
    };
    const Row rows[] = {
        {-1, 220, 100, 100, 4, 4, 5, 2, 4, 212, 212, 316},  // 2 columns, 3 rows
        {0, 220, 100, 100, 4, 4, 5, 0, 420, 4, 524, 108},   // one row
        {3, 100, 50, 30, 2, 6, 7, 3, 2, 78, 158, 114},      // 3 columns whatever fits
        {-1, 500, 60, 40, 10, 0, 9, 7, 80, 40, 500, 80},    // 7 fit in 500
        {-1, 30, 100, 100, 4, 4, 2, 1, 4, 108, 108, 212},   // none fits: still one column
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.grid * 1000 + r.clientW);
        TImageKitMView v;
        v.SetBorderStyle(bsNone);
        v.SetBounds(0, 0, r.clientW, 200);
        v.SetThumbWidth(r.thumbW);
        v.SetThumbHeight(r.thumbH);
        v.SetHorizBorder(r.hb);
        v.SetVertBorder(r.vb);
        v.SetGridWidth(r.grid);
        for (int i = 0; i < r.count; ++i)
            v.InsertImage(i);
        EXPECT_EQ(v.ColumnCount(), r.columns);
        const TRect last = v.ImageRect(r.count - 1);
        EXPECT_EQ(last.Left, r.lastX);
        EXPECT_EQ(last.Top, r.lastY);
        EXPECT_EQ(v.ExtentWidth(), r.extentW);
        EXPECT_EQ(v.ExtentHeight(), r.extentH);
        // A single-image display puts every image in the first cell.
        v.SetDisplayMode(mdSingle);
        EXPECT_EQ(v.ImageRect(r.count - 1), TRect(r.hb, r.vb, r.hb + r.thumbW, r.vb + r.thumbH));
    }
}

TEST(MultiViewKeys, ArrowsPagesHomeAndEndMoveTheSelection)
{
    // 220 × 220: two columns, two visible rows, so a page is four cells.
    struct Row {
        int grid, start, key, expected;
    };
    const Row rows[] = {
        {-1, 0, Qt::Key_Right, 1},    {-1, 1, Qt::Key_Left, 0},    {-1, 0, Qt::Key_Left, 0},
        {-1, 9, Qt::Key_Right, 9},    {-1, 0, Qt::Key_Down, 2},    {-1, 8, Qt::Key_Down, 9},
        {-1, 3, Qt::Key_Up, 1},       {-1, 1, Qt::Key_Up, 0},      {-1, 0, Qt::Key_PageDown, 4},
        {-1, 7, Qt::Key_PageDown, 7}, {-1, 5, Qt::Key_PageUp, 1},  {-1, 2, Qt::Key_PageUp, 2},
        {-1, 5, Qt::Key_Home, 0},     {-1, 2, Qt::Key_End, 9},     {0, 4, Qt::Key_Down, 5},
        {0, 4, Qt::Key_Up, 3},        {0, 4, Qt::Key_PageDown, 4}, {3, 1, Qt::Key_Down, 4},
        {-1, -1, Qt::Key_Right, -1},  {-1, -1, Qt::Key_End, 9},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.grid * 10000 + r.start * 100 + (r.key & 0xff));
        auto v = makeView(220, 220, 10, r.grid);
        if (r.start >= 0) {
            v->SetSelectedImage(r.start);
        } else {
            v->Deselect();
        }
        QTest::keyClick(v.get(), Qt::Key(r.key));
        EXPECT_EQ(v->SelectedImage(), r.expected);
        if (r.expected >= 0) {
            EXPECT_EQ(v->ImageVisibility(r.expected), 2);
        }
    }
}

TEST(MultiViewKeys, NothingMovesWhilePlaying)
{
    TTimer::SetManualTicks(true);
    auto v = makeView(220, 220, 4);
    v->SetSelectedImage(1);
    v->SetPlaying(true);
    QTest::keyClick(v.get(), Qt::Key_Right);
    click(v.get(), 10, 10);
    v->SetPlaying(false);
    EXPECT_EQ(v->SelectedImage(), 1);
    TTimer::SetManualTicks(false);
}

TEST(MultiViewMouse, ClickSelectsTheCellUnderThePointer)
{
    auto v = makeView(220, 220, 6);
    int told = -2;
    v->OnImageSelect = [&](TObject*, int idx) { told = idx; };
    struct Row {
        int x, y, expected;
    };
    // Cells at x 4 … 103 and 108 … 207, y 4 … 104 (bottom edge included) and 108 …
    for (const Row& r :
         {Row{4, 4, 0}, Row{103, 104, 0}, Row{108, 4, 1}, Row{5, 110, 2}, Row{207, 200, 3}, Row{105, 50, 3}}) {
        SCOPED_TRACE(r.x * 1000 + r.y);
        click(v.get(), r.x, r.y);
        EXPECT_EQ(v->SelectedImage(), r.expected);
        EXPECT_EQ(told, r.expected);
    }
}

TEST(MultiViewImages, DeletionKeepsTheSelectionOnItsImage)
{
    struct Row {
        int count, selected, deleted, expected;
    };
    const Row rows[] = {{5, 4, 4, 3},  {5, 2, 0, 1},   {5, 2, 2, 2}, {5, 2, 4, 2},
                        {1, 0, 0, -1}, {5, -1, 1, -1}, {5, 2, 5, 2}, {5, 2, -1, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.selected * 100 + r.deleted);
        auto v = makeView(220, 220, r.count);
        for (int i = 0; i < r.count; ++i)
            v->SetImageDelay(i, i + 1);
        if (r.selected >= 0) {
            v->SetSelectedImage(r.selected);
        } else {
            v->Deselect();
        }
        // The image that should end up selected, by its index before the deletion.
        const int image = v->ImageDelay(r.deleted >= 0 && r.expected >= r.deleted ? r.expected + 1 : r.expected);
        v->DeleteImage(r.deleted);
        EXPECT_EQ(v->SelectedImage(), r.expected);
        if (r.expected >= 0) {
            EXPECT_EQ(v->ImageDelay(r.expected), image);
            EXPECT_NE(v->GetBitmap(), nullptr);
        }
    }
}

TEST(MultiViewImages, IndexesOutOfRangeAreRefused)
{
    auto v = makeView(220, 220, 3);
    v->SetSelectedImage(1);
    const TBitmap b = solid(5, 5, qRgb(1, 2, 3));
    for (int bad : {-5, -1, 3, 99}) {
        SCOPED_TRACE(bad);
        v->SetSelectedImage(bad);
        v->DeleteImage(bad);
        v->SetImage(bad, &b);
        v->SetImageBackground(bad, 7);
        v->SetImageDelay(bad, 7);
        EXPECT_EQ(v->GetImageBitmap(bad), nullptr);
        v->ReleaseImageBitmap(bad);
        EXPECT_EQ(v->ImageVisibility(bad), 0);
        EXPECT_TRUE(v->ImageRect(bad).IsEmpty());
        EXPECT_EQ(v->ImageCount(), 3);
        EXPECT_EQ(v->SelectedImage(), 1);
    }
}

TEST(MultiViewPlayback, EachImageShowsForItsDelayAndAtLeastTenMilliseconds)
{
    TTimer::SetManualTicks(true);
    auto v = makeView(220, 220, 3);
    const int delays[] = {0, 30, 5};
    for (int i = 0; i < 3; ++i)
        v->SetImageDelay(i, delays[i]);
    v->SetSelectedImage(2);
    v->SetPlaying(true);
    EXPECT_EQ(v->DisplayMode(), mdSingle);
    EXPECT_EQ(v->SelectedImage(), -1);
    // The interval running after image k is shown is max(delay k, 10); the show loops.
    const int shown[] = {0, 1, 2, 0, 1};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(v->PlayTimer()->Enabled());
        EXPECT_EQ(v->PlayTimer()->Interval(), std::max(delays[shown[k]], 10));
        EXPECT_EQ(v->PlayIndex(), (shown[k] + 1) % 3);
        v->PlayTimer()->Tick();
    }
    v->SetPlaying(false);
    EXPECT_FALSE(v->PlayTimer()->Enabled());
    EXPECT_EQ(v->DisplayMode(), mdGrid);
    EXPECT_EQ(v->SelectedImage(), 2);

    // Without looping the show stops after the last image.
    v->PlayLoop = false;
    v->SetPlaying(true);
    for (int k = 0; k < 3; ++k)
        v->PlayTimer()->Tick();
    EXPECT_FALSE(v->Playing());
    EXPECT_FALSE(v->PlayTimer()->Enabled());
    TTimer::SetManualTicks(false);
}

TEST(MultiViewPaint, ThumbnailsFitTheirCellCentred)
{
    struct Row {
        int w, h, boxW, boxH, outW, outH;
        bool drawn;
    };
    const Row rows[] = {{50, 25, 100, 100, 100, 50, true},    {300, 600, 100, 100, 50, 100, true},
                        {100, 100, 100, 100, 100, 100, true}, {0, 10, 100, 100, 0, 0, false},
                        {10, 10, 0, 100, 0, 0, false},        {10, 10, 100, -5, 0, 0, false}};
    for (const Row& r : rows) {
        int w, h;
        EXPECT_EQ(ThumbnailSize(r.w, r.h, r.boxW, r.boxH, w, h), r.drawn);
        EXPECT_EQ(w, r.outW);
        EXPECT_EQ(h, r.outH);
    }
    // A 50 × 25 picture in a 100 × 100 cell: 100 × 50, rows 25 … 74 of the cell.
    TImageKitMView v;
    v.SetBorderStyle(bsNone);
    v.SetBounds(0, 0, 120, 120);
    v.SetBackground(RGB(0, 0, 255));
    v.InsertImage(0);
    const TBitmap pic = solid(50, 25, qRgb(255, 0, 0));
    v.SetImage(0, &pic);
    v.SetImageBackground(0, RGB(0, 255, 0));
    v.Deselect();
    TBitmap target(120, 120);
    TCanvas canvas(&target);
    v.PaintTo(&canvas);
    canvas.Release();
    struct Probe {
        int x, y;
        QRgb rgb;
    };
    for (const Probe& p :
         {Probe{4, 29, qRgb(255, 0, 0)}, Probe{103, 78, qRgb(255, 0, 0)}, Probe{50, 28, qRgb(0, 255, 0)},
          Probe{50, 79, qRgb(0, 255, 0)}, Probe{2, 50, qRgb(0, 0, 255)}, Probe{110, 110, qRgb(0, 0, 255)}}) {
        SCOPED_TRACE(p.x * 1000 + p.y);
        EXPECT_EQ(target.Image().pixel(p.x, p.y) & 0xFFFFFF, p.rgb & 0xFFFFFF);
    }
    // A zero-sized cell is not drawn at all.
    v.SetThumbHeight(0);
    v.PaintTo(&canvas);
}

// A picture taken out, drawn on in place and given back shows as it is now, both once
// it is packed again and while it is still held (the selected image).
TEST(MultiViewPaint, PictureEditedInPlaceIsDrawnAnew)
{
    TImageKitMView v;
    v.SetBorderStyle(bsNone);
    v.SetBounds(0, 0, 120, 120);
    v.InsertImage(0);
    const TBitmap pic = solid(100, 100, qRgb(255, 0, 0));
    v.SetImage(0, &pic);
    v.Deselect();
    const auto centre = [&] {
        TBitmap target(120, 120);
        TCanvas canvas(&target);
        v.PaintTo(&canvas);
        canvas.Release();
        return target.Image().pixel(54, 54) & 0xFFFFFF;
    };
    EXPECT_EQ(centre(), qRgb(255, 0, 0) & 0xFFFFFF);
    struct Step {
        bool keepHeld;
        QRgb colour;
    } steps[] = {{false, qRgb(0, 0, 255)}, {true, qRgb(0, 200, 0)}};
    for (const Step& s : steps) {
        TBitmap* b = v.GetImageBitmap(0);
        ASSERT_NE(b, nullptr);
        for (int y = 0; y < b->Height(); ++y) {
            uint8_t* row = b->ScanLine(y);
            for (int x = 0; x < b->Width(); ++x) {
                row[3 * x] = uint8_t(qBlue(s.colour));
                row[3 * x + 1] = uint8_t(qGreen(s.colour));
                row[3 * x + 2] = uint8_t(qRed(s.colour));
            }
        }
        if (!s.keepHeld)
            v.ReleaseImageBitmap(0);
        v.Update();
        EXPECT_EQ(centre(), s.colour & 0xFFFFFF) << (s.keepHeld ? "held" : "packed again");
        if (!s.keepHeld) {
            EXPECT_TRUE(v.ImageIsPacked(0));
        }
    }
}

TEST(MultiViewImages, StorageKeepsPixelsAndThumbnails)
{
    struct Row {
        TPixelFormat format;
        TIKStoreType store;
        int w, h, outW, outH;
        TPixelFormat out;
    };
    const Row rows[] = {{pf24bit, iktNormal, 40, 30, 40, 30, pf24bit},   {pf32bit, iktNormal, 7, 3, 7, 3, pf24bit},
                        {pf16bit, iktNormal, 5, 5, 5, 5, pf24bit},       {pf1bit, iktNormal, 9, 2, 9, 2, pf1bit},
                        {pf24bit, iktThumb, 400, 200, 100, 50, pf24bit}, {pf1bit, iktThumb, 10, 40, 25, 100, pf1bit}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.format) * 10 + int(r.store));
        TImageKitMView v;
        v.SetStoreType(r.store);
        v.InsertImage(0);
        const TBitmap pic = solid(r.w, r.h, r.format == pf1bit ? qRgb(255, 255, 255) : qRgb(200, 100, 0), r.format);
        v.SetImage(0, &pic);
        v.Deselect();
        EXPECT_TRUE(v.ImageIsPacked(0));
        TBitmap* b = v.GetImageBitmap(0);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Width(), r.outW);
        EXPECT_EQ(b->Height(), r.outH);
        EXPECT_EQ(b->PixelFormat(), r.out);
        EXPECT_EQ(b->Image().pixel(0, 0) & 0xFFFFFF, pic.Image().pixel(0, 0) & 0xFFFFFF);
        EXPECT_EQ(v.GetImageBitmap(0), b);  // a second user gets the same bitmap
        v.ReleaseImageBitmap(0);
        EXPECT_EQ(v.ImageUseCount(0), 1);
        v.ReleaseImageBitmap(0);
        EXPECT_TRUE(v.ImageIsPacked(0));
    }
}
