// An LZW decoder for TIFF strips, written for the tests only: the program itself ships
// none, and the tests (and the fuzzers) plug this one in as a user's build could.
#pragma once

#include <cstdint>

int64_t TestTiffLzwDecompress(const uint8_t* data, int64_t dataSize, uint8_t* out, int64_t wanted, void** state);
