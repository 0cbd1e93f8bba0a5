// Decoding fax-coded rows: one-dimensional, two-dimensional and group 4.
#include "imaging/io/tiff/ccitt/fax_coding.h"
#include "imaging/io/tiff/ccitt/fax_tables.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Paints pixels [s, e) of a packed row with ink (0x00 or 0xFF).
void paintBits(uint8_t* row, int s, int e, uint8_t ink)
{
    if (s >= e)
        return;
    auto put = [&](int b, int mask) { row[b] = uint8_t((row[b] & ~mask) | (ink & mask)); };
    const int sb = s >> 3, eb = e >> 3;
    if (sb == eb) {
        put(sb, (0xFF >> (s & 7)) & ~(0xFF >> (e & 7)));
        return;
    }
    put(sb, 0xFF >> (s & 7));
    std::memset(row + sb + 1, ink, size_t(eb - sb - 1));
    if (e & 7)
        put(eb, ~(0xFF >> (e & 7)) & 0xFF);
}

constexpr int kSentinels = 3;

}  // namespace

uint8_t ReverseBitOrder(uint8_t v)
{
    v = uint8_t((v & 0xF0) >> 4 | (v & 0x0F) << 4);
    v = uint8_t((v & 0xCC) >> 2 | (v & 0x33) << 2);
    return uint8_t((v & 0xAA) >> 1 | (v & 0x55) << 1);
}

TFaxDecoder::TFaxDecoder(TFaxCoding coding, int width, const uint8_t* data, int64_t size, bool lsbFirst,
                         bool whiteIsOne)
    : coding_(coding), width_(std::max(width, 0)), white_(whiteIsOne ? 0xFF : 0x00), data_(data),
      bits_(std::max<int64_t>(size, 0) * 8)
{
    if (lsbFirst && size > 0) {
        uint8_t table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = ReverseBitOrder(uint8_t(i));
        flipped_.resize(size_t(size));
        for (int64_t i = 0; i < size; ++i)
            flipped_[size_t(i)] = table[data[i]];
        data_ = flipped_.data();
    }
    // The reference row of a strip's first row is all white.
    ref_.assign(kSentinels, width_);
    // Each changing element takes at least one bit: the data bound them, not the width.
    const size_t changes = size_t(std::min<int64_t>(width_, bits_)) + kSentinels + 1;
    cur_.reserve(changes);
    ref_.reserve(changes);
}

int FaxMinRowBits(TFaxCoding coding)
{
    switch (coding) {
    case TFaxCoding::ModifiedHuffman: return 8;
    case TFaxCoding::Group3OneD: return 4 + 12;
    case TFaxCoding::Group3TwoD:
    case TFaxCoding::Group4: break;
    }
    return 1;
}

uint32_t TFaxDecoder::peek(int n) const
{
    const int64_t byte = pos_ >> 3;
    const int64_t size = bits_ >> 3;
    if (byte + 8 <= size) [[likely]] {
        // One load and a byte swap while eight bytes are left.
        uint64_t w;
        std::memcpy(&w, data_ + byte, 8);
        w = __builtin_bswap64(w);
        return uint32_t((w << (pos_ & 7)) >> (64 - n));
    }
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i)
        w = w << 8 | (byte + i < size && byte + i >= 0 ? data_[byte + i] : 0);
    return (w << (pos_ & 7)) >> (32 - n);
}

bool TFaxDecoder::skipEol()
{
    int64_t p = pos_;
    int zeros = 0;
    const int64_t saved = pos_;
    while (p < bits_) {
        pos_ = p;
        const uint32_t v = peek(24);
        if (v) {
            zeros += std::countl_zero(v) - 8;
            p += std::countl_zero(v) - 8;
            break;
        }
        zeros += 24;
        p += 24;
    }
    if (zeros >= 11 && p < bits_) {
        pos_ = p + 1;
        return true;
    }
    // Nothing but zeros to the end: no code can follow, and scanning them again for
    // every row left would make the time grow with the square of the strip.
    pos_ = p < bits_ ? saved : bits_;
    return false;
}

int TFaxDecoder::readRun(bool black)
{
    const TRunEntry* table = black ? BlackRunLookup() : WhiteRunLookup();
    int total = 0;
    for (;;) {
        if (atEnd())
            return -1;
        const TRunEntry& e = table[peek(kRunLookupBits)];
        if (e.Run < 0)
            return -1;
        skip(e.Length);
        if (pos_ > bits_)
            return -1;  // a code cut off by the end of the data
        total = std::min(total + e.Run, 1 << 30);
        if (!e.MakeUp)
            return total;
    }
}

void TFaxDecoder::decodeOneD()
{
    cur_.clear();
    int a = 0;
    bool black = false;
    while (a < width_) {
        const int run = readRun(black);
        if (run < 0) {
            if (black)
                cur_.push_back(a);  // the rest stays white
            return;
        }
        a = int(std::min<int64_t>(width_, int64_t(a) + run));
        cur_.push_back(a);
        black = !black;
    }
}

void TFaxDecoder::decodeTwoD()
{
    cur_.clear();
    const TModeEntry* modes = ModeLookup();
    const int* r = ref_.data();
    size_t k = 0;
    int a0 = -1;
    int c = 0;  // colour at a0, 1 black
    auto fail = [&] {
        if (cur_.size() & 1)
            cur_.push_back(std::max(a0, 0));
    };
    while (a0 < width_) {
        if (atEnd())
            return fail();
        const TModeEntry& m = modes[peek(kModeLookupBits)];
        while (k > 0 && r[k - 1] > a0)
            --k;
        while (r[k] <= a0)
            ++k;
        if (int(k & 1) != c)
            ++k;
        const int b1 = r[k], b2 = r[k + 1];
        switch (m.Mode) {
        case fmPass:
            skip(m.Length);
            a0 = b2;
            break;
        case fmHorizontal: {
            skip(m.Length);
            const int start = std::max(a0, 0);
            const int r1 = readRun(c);
            if (r1 < 0)
                return fail();
            const int a1 = int(std::min<int64_t>(width_, int64_t(start) + r1));
            cur_.push_back(a1);
            const int r2 = readRun(!c);
            if (r2 < 0) {
                a0 = a1;
                return fail();
            }
            const int a2 = int(std::min<int64_t>(width_, int64_t(a1) + r2));
            cur_.push_back(a2);
            a0 = a2;
            break;
        }
        case fmVertical: {
            const int a1 = b1 + m.Offset;
            if (a1 < std::max(a0, 0) || a1 > width_)
                return fail();
            skip(m.Length);
            cur_.push_back(a1);
            a0 = a1;
            c ^= 1;
            break;
        }
        case fmExtension: {
            if (peek(10) != 0x0F)
                return fail();
            // Uncompressed mode: pixels given bit by bit until an exit code.
            skip(10);
            int a = std::max(a0, 0);
            auto paint = [&](int n, int colour) {
                if (n <= 0 || a >= width_)
                    return;
                if (int(cur_.size() & 1) != colour)
                    cur_.push_back(a);
                a = std::min(width_, a + n);
            };
            for (;;) {
                if (atEnd()) {
                    a0 = a;
                    return fail();
                }
                const uint32_t v = peek(12);
                const int z = v ? std::countl_zero(v) - 20 : 12;
                if (z <= 5) {
                    skip(z + 1);
                    paint(z, 0);
                    paint(1, 1);
                } else if (z <= 10) {
                    skip(z + 1);
                    paint(z - 6, 0);
                    c = int(peek(1));
                    skip(1);
                    if (int(cur_.size() & 1) != c)
                        cur_.push_back(a);
                    a0 = a;
                    break;
                } else {
                    skip(6);
                    paint(5, 0);
                }
            }
            break;
        }
        case fmEol:
        case fmBad: return fail();
        }
    }
}

void TFaxDecoder::render(uint8_t* row) const
{
    std::memset(row, white_, size_t((width_ + 7) / 8));
    const size_t n = cur_.size();
    for (size_t i = 0; i < n; i += 2)
        paintBits(row, std::min(cur_[i], width_), i + 1 < n ? std::min(cur_[i + 1], width_) : width_, uint8_t(~white_));
}

void TFaxDecoder::DecodeRow(uint8_t* row)
{
    switch (coding_) {
    case TFaxCoding::ModifiedHuffman:
        decodeOneD();
        pos_ = (pos_ + 7) & ~int64_t(7);
        break;
    case TFaxCoding::Group3OneD:
        while (skipEol()) {}
        decodeOneD();
        break;
    case TFaxCoding::Group3TwoD:
        if (skipEol()) {
            const bool oneD = peek(1) == 1;
            skip(1);
            oneD ? decodeOneD() : decodeTwoD();
        } else {
            decodeOneD();
        }
        break;
    case TFaxCoding::Group4: decodeTwoD(); break;
    }
    render(row);
    // The finished row is the next one's reference.
    std::swap(ref_, cur_);
    ref_.insert(ref_.end(), kSentinels, width_);
}
