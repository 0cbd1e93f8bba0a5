// Tiling and cascading MDI children.
#pragma once

class QMdiArea;

// Tiling as the MDI frame's TileMode names it: tbHorizontal stacks the children one
// above the other, tbVertical puts them side by side.
enum TTileMode { tbHorizontal, tbVertical };

// Arranges the visible, not minimised children over the whole area.
void TileChildren(QMdiArea* area, TTileMode mode);
// Overlaps them from the top-left corner, each one caption lower and further right.
void CascadeChildren(QMdiArea* area);
