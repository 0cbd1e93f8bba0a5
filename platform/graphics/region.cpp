// Polygon regions as pixel spans per row.
#include "platform/graphics/region.h"
#include "platform/graphics/raster.h"

#include <algorithm>
#include <climits>
#include <cmath>

TRegion TRegion::FromPolygon(const std::vector<TPoint>& points) { return build(points, nullptr); }

TRegion TRegion::FromPolygon(const std::vector<TPoint>& points, const TRect& clip) { return build(points, &clip); }

TRegion TRegion::build(const std::vector<TPoint>& points, const TRect* clip)
{
    TRegion r;
    if (points.size() < 3)
        return r;
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const TPoint& p : points) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    if (maxY <= minY || maxX <= minX)
        return r;
    TRect window(minX, minY, maxX, maxY);
    if (clip && !IntersectRect(window, window, *clip))
        return r;
    // The canvas's scan conversion, so that regions and drawn polygons agree pixel for pixel.
    const raster::Spans spans = raster::PolygonFill(points, window);
    r.top_ = window.Top;
    r.rows_.resize(size_t(int64_t(window.Bottom) - window.Top));
    for (const raster::Span& s : spans) {
        auto& row = r.rows_[size_t(s.y - window.Top)];
        if (!row.empty() && row.back().Right >= s.x0)
            row.back().Right = std::max(row.back().Right, s.x1);
        else
            row.push_back({s.x0, s.x1});
    }
    r.recomputeBounds();
    return r;
}

void TRegion::recomputeBounds()
{
    // Trim empty rows at both ends so that Top() and RowCount() stay tight.
    size_t first = 0, last = rows_.size();
    while (first < last && rows_[first].empty())
        ++first;
    while (last > first && rows_[last - 1].empty())
        --last;
    if (first == last) {
        rows_.clear();
        top_ = 0;
        bounds_ = TRect();
        return;
    }
    rows_ = std::vector<std::vector<Span>>(rows_.begin() + long(first), rows_.begin() + long(last));
    top_ += int(first);
    int l = INT_MAX, rt = INT_MIN;
    for (const auto& row : rows_)
        if (!row.empty()) {
            l = std::min(l, row.front().Left);
            rt = std::max(rt, row.back().Right);
        }
    bounds_ = TRect(l, top_, rt, top_ + int(rows_.size()));
}

const std::vector<TRegion::Span>& TRegion::RowSpans(int y) const
{
    static const std::vector<Span> none;
    if (y < top_ || y >= top_ + int(rows_.size()))
        return none;
    return rows_[size_t(y - top_)];
}

bool TRegion::Contains(int x, int y) const
{
    for (const Span& s : RowSpans(y))
        if (x >= s.Left && x < s.Right)
            return true;
    return false;
}

void TRegion::Offset(int dx, int dy)
{
    if (rows_.empty())
        return;
    top_ += dy;
    for (auto& row : rows_)
        for (Span& s : row) {
            s.Left += dx;
            s.Right += dx;
        }
    bounds_ = TRect(bounds_.Left + dx, bounds_.Top + dy, bounds_.Right + dx, bounds_.Bottom + dy);
}

void TRegion::Intersect(const TRect& r)
{
    if (rows_.empty())
        return;
    std::vector<std::vector<Span>> kept;
    const int newTop = std::max(top_, r.Top);
    const int newBottom = std::min(top_ + int(rows_.size()), r.Bottom);
    for (int y = newTop; y < newBottom; ++y) {
        std::vector<Span> row;
        for (const Span& s : rows_[size_t(y - top_)]) {
            const int left = std::max(s.Left, r.Left), right = std::min(s.Right, r.Right);
            if (right > left)
                row.push_back({left, right});
        }
        kept.push_back(std::move(row));
    }
    rows_ = std::move(kept);
    top_ = newTop;
    recomputeBounds();
}

QRegion TRegion::ToQRegion() const
{
    QRegion q;
    for (size_t i = 0; i < rows_.size(); ++i)
        for (const Span& s : rows_[i])
            q += QRect(s.Left, top_ + int(i), s.Right - s.Left, 1);
    return q;
}
