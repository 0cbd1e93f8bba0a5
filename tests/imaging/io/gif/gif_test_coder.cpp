// A plain LZW coder that the GIF tests plug into the coder hooks.
#include "imaging/io/gif/gif_test_coder.h"

#include "imaging/io/lzw_test_decoder.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Rows of an interlaced frame in the order they are stored.
std::vector<int> storedRowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

}  // namespace

void TestGifLzwDecompress(TStream& stream, int height, int width, uint8_t* buffer, bool interlaced)
{
    int minCode = stream.ReadU8();
    minCode = std::clamp(minCode, 2, 8);  // sizes beyond 8 bits do not exist
    std::vector<uint8_t> data;
    for (;;) {
        uint8_t n = 0;
        if (stream.Read(&n, 1) != 1 || n == 0)
            break;
        const size_t at = data.size();
        data.resize(at + n);
        data.resize(at + size_t(stream.Read(data.data() + at, n)));
    }
    const size_t total = size_t(width) * size_t(height);
    bool bad = false;
    std::vector<uint8_t> out =
        LzwTestDecode(data.data(), int64_t(data.size()), int64_t(total), {minCode, false, false}, &bad);
    if (bad)
        throw EInvalidGraphic(QStringLiteral("bad LZW code"));
    out.resize(total, 0);
    const std::vector<int> rows = storedRowOrder(height, interlaced);
    for (int i = 0; i < height; ++i)
        std::copy_n(out.data() + size_t(i) * size_t(width), width, buffer + size_t(rows[size_t(i)]) * size_t(width));
}

void TestGifLzwCompress(TStream& stream, int height, int width, int bitsPerPixel, const uint8_t* buffer,
                        bool interlaced)
{
    const int minCode = std::max(bitsPerPixel, 2);
    stream.WriteU8(uint8_t(minCode));
    std::vector<uint8_t> pixels;
    for (int y : storedRowOrder(height, interlaced))
        pixels.insert(pixels.end(), buffer + size_t(y) * size_t(width), buffer + size_t(y + 1) * size_t(width));
    std::vector<uint8_t> bytes;
    uint32_t acc = 0;
    int accBits = 0;
    const int clear = 1 << minCode, end = clear + 1;
    int size = minCode + 1, next = end + 1;
    auto put = [&](int code) {
        acc |= uint32_t(code) << accBits;
        accBits += size;
        while (accBits >= 8) {
            bytes.push_back(uint8_t(acc));
            acc >>= 8;
            accBits -= 8;
        }
    };
    std::map<std::pair<int, int>, int> table;
    put(clear);
    int current = -1;
    for (uint8_t p : pixels) {
        if (current < 0) {
            current = p;
            continue;
        }
        const auto found = table.find({current, p});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        put(current);
        if (next < 4096) {
            table[{current, p}] = next++;
            if (next > (1 << size) && size < 12)
                ++size;
        } else {
            put(clear);
            table.clear();
            size = minCode + 1;
            next = end + 1;
        }
        current = p;
    }
    if (current >= 0)
        put(current);
    put(end);
    if (accBits > 0)
        bytes.push_back(uint8_t(acc));
    for (size_t at = 0; at < bytes.size(); at += 255) {
        const size_t n = std::min<size_t>(255, bytes.size() - at);
        stream.WriteU8(uint8_t(n));
        stream.WriteBuffer(bytes.data() + at, int64_t(n));
    }
    stream.WriteU8(0);
}

TTestGifCoder::TTestGifCoder()
{
    TLzwHooks h = DefaultLzwHooks();
    h.GifDecompress = TestGifLzwDecompress;
    h.GifCompress = TestGifLzwCompress;
    RegisterLzwCoders(h);
}

TTestGifCoder::~TTestGifCoder()
{
    TLzwHooks h = DefaultLzwHooks();
    h.GifDecompress = nullptr;
    h.GifCompress = nullptr;
    RegisterLzwCoders(h);
}
