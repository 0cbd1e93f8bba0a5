// The pixel pattern of a brush dab for each brush size.
#pragma once

// Pixels of a brush dab around its centre; size s (0 … 4) paints the first
// BrushDabCounts[s] of them: 1, 5, 9, 13 and 21 pixels.
inline constexpr int BrushDabOffsets[21][2] = {
    {0, 0},  {-1, 0}, {1, 0},   {0, -1}, {0, 1},  {-1, -1}, {1, -1},  {-1, 1}, {1, 1},  {-2, 0}, {2, 0},
    {0, -2}, {0, 2},  {-2, -1}, {2, -1}, {-2, 1}, {2, 1},   {-1, -2}, {1, -2}, {-1, 2}, {1, 2},
};
inline constexpr int BrushDabCounts[5] = {1, 5, 9, 13, 21};
