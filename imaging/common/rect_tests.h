// Rectangle tests on inclusive corners.
#pragma once
#include "platform/core/geometry.h"

// Rectangle tests on inclusive corners: Left/Top is (x1, y1), Right/Bottom is (x2, y2)
// and both corners belong to the rectangle (unlike PtInRect's exclusive edges).

// True when A (corners in any order) and B (x1 ≤ x2, y1 ≤ y2) overlap; touching counts.
bool RectsIntersect(const TRect& a, const TRect& b);
// How much of B lies in A, judged by B's edges: 2 when both x edges and both y edges lie
// within A's ranges; 1 when exactly one x edge does (and at least one y edge), or exactly
// one y edge (and at least one x edge); 0 otherwise, also when B encloses A.
int RectVisibility(const TRect& a, const TRect& b);
// x1 ≤ x ≤ x2 and y1 ≤ y ≤ y2.
bool PointInRect(int x, int y, const TRect& r);
