// Row loops of the whole-image operations, written so that the compiler vectorises them.
// Pixels are three bytes in memory order blue, green, red.
#pragma once

#include <cstdint>

// Each of count pixels becomes its grey level (R·30 + G·59 + B·11) div 100.
void GreyPixels(uint8_t* pixels, int count);

// The grey levels of count pixels, one byte each.
void GreyLevels(const uint8_t* pixels, int count, uint8_t* levels);

// Each of count bytes becomes clamp(Round((d·percent + s·(100 − percent)) / 100)).
void BlendBytes(uint8_t* d, const uint8_t* s, int count, int percent);

// Reverses the order of count pixels in place.
void ReversePixels(uint8_t* pixels, int count);
