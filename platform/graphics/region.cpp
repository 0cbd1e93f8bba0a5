#include "platform/graphics/region.h"

#include <algorithm>
#include <climits>
#include <cmath>

TRegion TRegion::FromPolygon(const std::vector<TPoint>& points)
{
    TRegion r;
    if (points.size() < 3)
        return r;
    int minY = INT_MAX, maxY = INT_MIN;
    for (const TPoint& p : points) {
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    if (maxY <= minY)
        return r;
    r.top_ = minY;
    r.rows_.resize(size_t(int64_t(maxY) - minY));
    std::vector<double> xs;
    const size_t n = points.size();
    for (int y = minY; y < maxY; ++y) {
        const double yc = y + 0.5;
        xs.clear();
        for (size_t i = 0; i < n; ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % n];
            if (a.Y == b.Y)
                continue;
            const bool crosses = (a.Y <= yc && yc < b.Y) || (b.Y <= yc && yc < a.Y);
            if (!crosses)
                continue;
            xs.push_back(a.X + (yc - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
        }
        std::sort(xs.begin(), xs.end());
        auto& spans = r.rows_[size_t(y - minY)];
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixel x is inside when x + 0.5 lies in [xs[i], xs[i+1]).
            const int left = int(std::ceil(xs[i] - 0.5));
            const int right = int(std::ceil(xs[i + 1] - 0.5));
            if (right > left) {
                if (!spans.empty() && spans.back().Right >= left)
                    spans.back().Right = std::max(spans.back().Right, right);
                else
                    spans.push_back({left, right});
            }
        }
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
