// The tests' LZW decoder for TIFF strips: codes of 9 to 12 bits, most significant bit
// first, widened one code early as TIFF writers do.
#include "imaging/io/tiff/tiff_test_lzw.h"

#include "imaging/io/lzw_test_decoder.h"

#include <algorithm>

int64_t TestTiffLzwDecompress(const uint8_t* data, int64_t dataSize, uint8_t* out, int64_t wanted, void**)
{
    if (!data)
        return 0;
    const std::vector<uint8_t> bytes = LzwTestDecode(data, dataSize, wanted, {8, true, true});
    std::copy(bytes.begin(), bytes.end(), out);
    return int64_t(bytes.size());
}
