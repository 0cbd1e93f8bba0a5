// A plain LZW decoder for the tests' stand-in coders.
#include "imaging/io/lzw_test_decoder.h"

#include <algorithm>

std::vector<uint8_t> LzwTestDecode(const uint8_t* data, int64_t size, int64_t wanted, const TLzwTestCodes& codes,
                                   bool* badCode)
{
    const int clear = 1 << codes.MinCodeSize, end = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<uint8_t> suffix(4096), first(4096);
    for (int i = 0; i < clear; ++i)
        suffix[size_t(i)] = first[size_t(i)] = uint8_t(i);
    int width = codes.MinCodeSize + 1, next = end + 1, previous = -1;
    int64_t bit = 0;
    std::vector<uint8_t> out, string;
    while (int64_t(out.size()) < wanted && bit + width <= size * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) {
            const int b = codes.MsbFirst ? (data[bit >> 3] >> (7 - (bit & 7))) & 1 : (data[bit >> 3] >> (bit & 7)) & 1;
            code |= codes.MsbFirst ? b << (width - 1 - i) : b << i;
        }
        if (code == clear) {
            width = codes.MinCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (code > next || (previous < 0 && code >= clear)) {
            if (badCode)
                *badCode = true;
            break;
        }
        string.clear();
        for (int walk = code == next ? previous : code; walk >= 0; walk = walk > end ? prefix[size_t(walk)] : -1)
            string.push_back(suffix[size_t(walk)]);
        std::reverse(string.begin(), string.end());
        if (code == next)
            string.push_back(first[size_t(previous)]);
        if (previous >= 0 && next < 4096) {
            prefix[size_t(next)] = previous;
            suffix[size_t(next)] = string.front();
            first[size_t(next)] = first[size_t(previous)];
            ++next;
            if (next >= (1 << width) - (codes.EarlyChange ? 1 : 0) && width < 12)
                ++width;
        }
        first[size_t(code)] = string.front();
        for (uint8_t v : string)
            if (int64_t(out.size()) < wanted)
                out.push_back(v);
        previous = code;
    }
    return out;
}
