// A polygon region held as pixel spans per row (TRegion).
#pragma once
#include "platform/core/geometry.h"

#include <QRegion>
#include <vector>

// A polygon region with alternate (odd-even) fill, held as pixel spans per row. A pixel
// belongs to the region when its centre lies inside the polygon, so a rectangle's right
// and bottom edge stay outside, as with GDI's regions.
class TRegion {
public:
    struct Span {
        int Left;   // first pixel
        int Right;  // one past the last pixel
    };

    TRegion() = default;
    static TRegion FromPolygon(const std::vector<TPoint>& points);
    // Only the part inside clip: the work stays bounded by clip, however far the
    // polygon's points reach.
    static TRegion FromPolygon(const std::vector<TPoint>& points, const TRect& clip);

    bool IsEmpty() const { return rows_.empty(); }
    bool Contains(int x, int y) const;
    // Smallest rectangle holding every pixel (exclusive right and bottom).
    TRect BoundsRect() const { return bounds_; }
    int Top() const { return top_; }
    int RowCount() const { return int(rows_.size()); }
    // Spans of row y, left to right, not overlapping; empty outside the region.
    const std::vector<Span>& RowSpans(int y) const;
    void Offset(int dx, int dy);
    // Keeps only the pixels inside r.
    void Intersect(const TRect& r);
    QRegion ToQRegion() const;

private:
    int top_ = 0;
    std::vector<std::vector<Span>> rows_;
    TRect bounds_;
    void recomputeBounds();
    static TRegion build(const std::vector<TPoint>& points, const TRect* clip);
};
