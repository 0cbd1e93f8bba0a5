// Bitmap rows hold blue, green, red; TIFF rows red, green, blue.
#pragma once

#include <cstdint>

// Writes the n pixels of s to d with the first and third byte of each exchanged.
// d may be s itself (the row is turned in place); otherwise the two must not overlap.
void SwapRedBlue(const uint8_t* s, uint8_t* d, int n);
