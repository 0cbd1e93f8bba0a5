// Whole-image operations give the same bytes and the same progress sequence with one,
// two, four and eight threads (the work is forced onto several threads at any size).
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/distort.h"
#include "imaging/proc/geometry.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/proc/quantizer.h"
#include "imaging/proc/resample.h"
#include "imaging/proc/user_filter.h"
#include "platform/core/parallel_for.h"
#include "proc_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace proctest;

namespace {

// What an operation gives on one image: its pixels and the percentages it reported.
struct Outcome {
    TBitmap image;
    std::vector<int> progress;
};

using Operation = std::function<void(TBitmap&, const TProgressEvent&)>;

Outcome runWith(int threads, const TBitmap& input, const Operation& op)
{
    TScopedParallelThreads scope(threads, 0);
    Outcome o{input, {}};
    o.image.ScanLine(0);  // its own pixels, not the input's
    op(o.image, [&](TObject*, int percent) { o.progress.push_back(percent); });
    return o;
}

TBitmap monoPattern(int w, int h)
{
    TBitmap bm(w, h, pf1bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetBit(bm, x, y, (x * 7 + y * 3) % 5 < 2);
    return bm;
}

void viaProc(TBitmap& bm, const TProgressEvent& progress, const std::function<void(TImageKitProc&)>& op)
{
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    proc.SetAutoUndo(false);
    proc.OnProgress = progress;
    op(proc);
}

}  // namespace

TEST(ParallelOperations, SameBytesAndProgressForEveryThreadCount)
{
    const TBitmap other = Pattern(23, 41, 9);
    struct Case {
        const char* name;
        bool mono;
        Operation op;
    } const cases[] = {
        {"resample lanczos down", false,
         [](TBitmap& b, const TProgressEvent& p) {
             Resample(b, b.Width() / 3 + 1, b.Height() / 2 + 1, rfLanczos3, nullptr, p);
         }},
        {"resample mitchell up", false,
         [](TBitmap& b, const TProgressEvent& p) {
             Resample(b, b.Width() * 2 + 1, b.Height() * 3 - 1, rfMitchell, nullptr, p);
         }},
        {"resample halftone", false,
         [](TBitmap& b, const TProgressEvent& p) {
             Resample(b, b.Width() / 2 + 3, b.Height() / 3 + 1, rfNone, nullptr, p);
         }},
        {"zoom down", false,
         [](TBitmap& b, const TProgressEvent& p) {
             TBitmap o(b.Width() / 3 + 1, b.Height() / 2 + 1, pf24bit);
             ZoomResample(b, o, rfTriangle, nullptr, p);
             b.Assign(o);
         }},
        {"zoom up", false,
         [](TBitmap& b, const TProgressEvent& p) {
             TBitmap o(b.Width() * 3, b.Height() * 2 + 1, pf24bit);
             ZoomResample(b, o, rfBell, nullptr, p);
             b.Assign(o);
         }},
        {"rotate 17 smooth", false,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, 17, true, clRed, false, nullptr, p); }},
        {"rotate -33 plain", false,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, -33, false, clBlue, false, nullptr, p); }},
        {"rotate 107 smooth", false,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, 107, true, clWhite, false, nullptr, p); }},
        {"rotate 90", false,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, 90, true, clWhite, false, nullptr, p); }},
        {"rotate -90", false,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, -90, true, clWhite, false, nullptr, p); }},
        {"rotate 1-bit", true,
         [](TBitmap& b, const TProgressEvent& p) { Rotate(b, 23, false, clWhite, true, nullptr, p); }},
        {"flip rows", false, [](TBitmap& b, const TProgressEvent&) { Flip(b, 0); }},
        {"flip columns", false, [](TBitmap& b, const TProgressEvent&) { Flip(b, 1); }},
        {"flip 1-bit rows", true, [](TBitmap& b, const TProgressEvent&) { Flip(b, 0); }},
        {"hsl", false,
         [](TBitmap& b, const TProgressEvent& p) {
             AdjustHSL(b, 3, 2, b.Width() - 4, b.Height() - 2, 40, -20, 10, {nullptr, p});
         }},
        {"hsv", false,
         [](TBitmap& b, const TProgressEvent& p) {
             AdjustHSV(b, 0, 0, b.Width(), b.Height(), -70, 15, -5, {nullptr, p});
         }},
        {"rgb", false,
         [](TBitmap& b, const TProgressEvent& p) {
             AdjustRGB(b, 1, 1, b.Width() - 2, b.Height() - 2, 30, -40, 5, {nullptr, p});
         }},
        {"bump map", false,
         [](TBitmap& b, const TProgressEvent& p) {
             BumpMap(b, 10, 20, 50, 40, 60, 200, 100, 50, 0, 0, b.Width() - 1, b.Height() - 1, {nullptr, p});
         }},
        {"wave", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyWave(b, 7, 13, 30, false, {nullptr, p});
         }},
        {"wave reflective", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyWave(b, 3, 9, 0, true, {nullptr, p});
         }},
        {"grey", false,
         [](TBitmap& b, const TProgressEvent& p) { viaProc(b, p, [](TImageKitProc& k) { k.ConvertToGray(); }); }},
        {"negative", false,
         [](TBitmap& b, const TProgressEvent& p) { viaProc(b, p, [](TImageKitProc& k) { k.Negative(); }); }},
        {"negative 1-bit", true,
         [](TBitmap& b, const TProgressEvent& p) { viaProc(b, p, [](TImageKitProc& k) { k.Negative(); }); }},
        {"merge", false,
         [&other](TBitmap& b, const TProgressEvent& p) {
             viaProc(b, p, [&](TImageKitProc& k) { k.Merge(&other, 37); });
         }},
        {"flip 1-bit columns", true, [](TBitmap& b, const TProgressEvent&) { Flip(b, 1); }},
        {"equalize", false,
         [](TBitmap& b, const TProgressEvent& p) {
             EqualizeHistogram(b, 0, 0, b.Width() - 1, b.Height() - 1, {nullptr, p});
         }},
        {"equalize inside", false,
         [](TBitmap& b, const TProgressEvent& p) {
             EqualizeHistogram(b, 1, 2, b.Width() - 2, b.Height() - 3, {nullptr, p});
         }},
        {"filter blur", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyUserFilter(b, UserFilterPresets[1].Filter, 0, 0, b.Width() - 1, b.Height() - 1, {nullptr, p});
         }},
        {"filter edges inside", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyUserFilter(b, UserFilterPresets[2].Filter, 2, 1, b.Width() - 2, b.Height() - 4, {nullptr, p});
         }},
        {"filter large weights", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyUserFilter(b, {{5000, -3000, 1, 0, 9000, 0, -1, 2, 7000}, 77}, 0, 0, b.Width() - 1, b.Height() - 1,
                             {nullptr, p});
         }},
        {"lens", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyLens(b, b.Width() / 2, b.Height() / 2, b.Width(), b.Height(), 1.7, {nullptr, p});
         }},
        {"lens off centre", false,
         [](TBitmap& b, const TProgressEvent& p) {
             ApplyLens(b, b.Width() / 3, b.Height() / 4, b.Width() / 2 + 2, b.Height() + 5, 2.5, {nullptr, p});
         }},
        {"reduce 256", false, [](TBitmap& b, const TProgressEvent& p) { ReduceColors(b, 256, nullptr, p); }},
        {"reduce 300", false, [](TBitmap& b, const TProgressEvent& p) { ReduceColors(b, 300, nullptr, p); }},
    };
    const int sizes[][2] = {{1, 1}, {3, 97}, {131, 77}, {257, 5}};
    for (const Case& c : cases)
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message() << c.name << " on " << size[0] << "x" << size[1]);
            const TBitmap input = c.mono ? monoPattern(size[0], size[1]) : Pattern(size[0], size[1], size[0]);
            const Outcome one = runWith(1, input, c.op);
            for (int threads : {2, 4, 8}) {
                const Outcome many = runWith(threads, input, c.op);
                EXPECT_TRUE(SamePixels(one.image, many.image)) << threads << " threads";
                EXPECT_EQ(one.progress, many.progress) << threads << " threads";
            }
            // Percentages never go back.
            for (size_t i = 1; i < one.progress.size(); ++i)
                EXPECT_LE(one.progress[i - 1], one.progress[i]);
        }
}
