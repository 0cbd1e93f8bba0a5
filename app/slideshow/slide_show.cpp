// The slide sequence, the fit of each slide to the screen and its written comment.
#include "app/slideshow/slide_show.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <algorithm>
#include <cstdint>
#include <utility>

TSlideSequence::TSlideSequence(int count, int order, bool repeat, TSlideRandom random)
    : count_(std::max(count, 0)), order_(order), repeat_(repeat), random_(std::move(random))
{
    finished_ = count_ == 0;
}

int TSlideSequence::Next()
{
    if (finished_)
        return -1;
    if (order_ == 2) {
        const int i = random_ ? random_(count_) : 0;
        return std::clamp(i, 0, count_ - 1);
    }
    if (played_ == count_) {
        if (!repeat_) {
            finished_ = true;
            return -1;
        }
        played_ = 0;
    }
    const int i = order_ == 1 ? count_ - 1 - played_ : played_;
    ++played_;
    return i;
}

TSlideResample SlideResampleFor(int scaling, int bw, int bh, int w, int h)
{
    if ((scaling != 1 && scaling != 2) || bw <= 0 || bh <= 0)
        return {};
    // Cross products in 64 bits: the aspect ratios compared without rounding.
    const int64_t a = int64_t(bw) * h;
    const int64_t b = int64_t(bh) * w;
    const bool byWidth = scaling == 1 ? a > b : a < b;
    return byWidth ? TSlideResample{true, w, -1} : TSlideResample{true, -1, h};
}

int SlideViewOrigin(int size, int zoom, int screen)
{
    const int64_t drawn = int64_t(size) * zoom / 100;
    return int(std::max<int64_t>(0, (drawn - screen) / 2));
}

void WriteSlideComment(TBitmap& bitmap, const QString& text, int fontSize)
{
    TCanvas* c = bitmap.Canvas();
    c->Font.Size = fontSize;
    c->Brush.Style = bsClear;
    c->Font.Color = RGB(255, 255, 255);
    c->TextOut(0, 0, text);
    c->Font.Color = clBlack;
    c->TextOut(1, 1, text);
}

QString SlideSoundComment(const QString& imageFile) { return imageFile + QStringLiteral(".wav"); }
QString SlideTextComment(const QString& imageFile) { return imageFile + QStringLiteral(".txt"); }
