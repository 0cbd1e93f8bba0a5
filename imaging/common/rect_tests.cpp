// Intersection and visibility tests on rectangles with inclusive corners.
#include "imaging/common/rect_tests.h"

#include <algorithm>

namespace {

bool within(int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); }

}  // namespace

bool RectsIntersect(const TRect& a, const TRect& b)
{
    const int ax1 = std::min(a.Left, a.Right), ax2 = std::max(a.Left, a.Right);
    const int ay1 = std::min(a.Top, a.Bottom), ay2 = std::max(a.Top, a.Bottom);
    return ax1 <= b.Right && b.Left <= ax2 && ay1 <= b.Bottom && b.Top <= ay2;
}

int RectVisibility(const TRect& a, const TRect& b)
{
    const int nx = int(within(b.Left, a.Left, a.Right)) + int(within(b.Right, a.Left, a.Right));
    const int ny = int(within(b.Top, a.Top, a.Bottom)) + int(within(b.Bottom, a.Top, a.Bottom));
    if (nx == 2 && ny == 2)
        return 2;
    if ((nx == 1 && ny >= 1) || (ny == 1 && nx >= 1))
        return 1;
    return 0;
}

bool PointInRect(int x, int y, const TRect& r) { return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom; }
