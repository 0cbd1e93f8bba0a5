// The ticks and labels of a ruler.
#pragma once
#include <QString>
#include <vector>

// One tick of a ruler: its value in ruler units and its pixel along the ruler.
struct TRulerTick {
    double Value;
    int Pixel;
};

// Ticks every `frequency` units from the first multiple at (or, for negative
// positions, above) viewPos onward, over `length` pixels at dotPerUnit pixels a unit.
// A frequency or scale that is not positive and finite, or ticks closer than one
// pixel, give none, so a bad setting can never loop for ever.
std::vector<TRulerTick> RulerTicks(double viewPos, double dotPerUnit, double frequency, int length);

// The label of a labelled tick: hexadecimal digits of the whole part (with "-" for
// negative values) or the value in general format with 15 significant digits.
QString RulerLabel(double value, bool hexLabels);
