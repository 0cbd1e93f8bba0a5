// Coding 1-bit rows as fax data: the changes along a row, then modified Huffman, Group 3
// (one- or two-dimensional) or Group 4 codes.

#include "imaging/io/tiff/ccitt/fax_coding.h"
#include "imaging/io/tiff/ccitt/fax_tables.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {
constexpr int kSentinels = 3;
}

void FaxRowChanges(const uint8_t* row, int width, uint8_t blackMask, std::vector<int>& out)
{
    out.clear();
    const int n = (width + 7) / 8;
    uint8_t want = 0;  // the current colour as a whole byte
    for (int i = 0; i < n; ++i) {
        const uint8_t v = row[i] ^ blackMask;
        uint8_t d = v ^ want;
        while (d) {
            const int bit = std::countl_zero(d);
            const int x = i * 8 + bit;
            if (x >= width)
                break;
            out.push_back(x);
            want ^= 0xFF;
            d = uint8_t((v ^ want) & (0xFF >> (bit + 1)));
        }
    }
    out.insert(out.end(), kSentinels, width);
}

TFaxEncoder::TFaxEncoder(TFaxCoding coding, int width, bool whiteIsOne)
    : coding_(coding), width_(std::max(width, 0)), mask_(whiteIsOne ? 0xFF : 0x00)
{
    ref_.assign(kSentinels, width_);
    out_.reserve(size_t(WorstRowBytes(width_)));
}

int64_t TFaxEncoder::WorstRowBytes(int width)
{
    // End-of-line and tag, then per pixel at most a horizontal mode with two runs of
    // the longest codes (a vertical or pass code is shorter).
    return (int64_t(std::max(width, 1)) * (3 + 2 * 13) + 13 + 7) / 8 + 8;
}

void TFaxEncoder::put(uint32_t bits, int length)
{
    acc_ = (acc_ << length) | bits;
    accBits_ += length;
    while (accBits_ >= 8) {
        accBits_ -= 8;
        out_.push_back(uint8_t(acc_ >> accBits_));
    }
}

void TFaxEncoder::putCode(const TFaxCode& code) { put(code.Bits, code.Length); }

void TFaxEncoder::putRun(int run, bool black)
{
    while (run > 2560) {
        putCode(kExtendedMakeUp[12]);
        run -= 2560;
    }
    if (run >= 64) {
        const int m = run / 64 * 64;
        putCode(m >= 1792 ? kExtendedMakeUp[(m - 1792) / 64] : (black ? kBlackMakeUp : kWhiteMakeUp)[m / 64 - 1]);
        run -= m;
    }
    putCode((black ? kBlackTerminating : kWhiteTerminating)[run]);
}

void TFaxEncoder::padToByte()
{
    if (accBits_)
        put(0, 8 - accBits_);
}

// On a cache line of its own: how fast its loops run otherwise depends on whatever
// code is linked before it (a third more time per page, measured).
__attribute__((aligned(64))) void TFaxEncoder::EncodeRow(const uint8_t* row)
{
    FaxRowChanges(row, width_, mask_, cur_);
    bool twoD = coding_ == TFaxCoding::Group4 || (coding_ == TFaxCoding::Group3TwoD && !firstRow_);
    if (coding_ == TFaxCoding::Group3OneD || coding_ == TFaxCoding::Group3TwoD)
        putCode(kEol);
    if (coding_ == TFaxCoding::Group3TwoD)
        put(twoD ? 0 : 1, 1);
    if (!twoD) {
        int prev = 0;
        bool black = false;
        for (size_t i = 0;; ++i) {
            const int p = cur_[i];
            putRun(p - prev, black);
            if (p >= width_)
                break;
            prev = p;
            black = !black;
        }
    } else {
        const int* a = cur_.data();
        const int* r = ref_.data();
        size_t ia = 0, k = 0;
        int a0 = -1, c = 0;
        while (a0 < width_) {
            while (a[ia] <= a0)
                ++ia;
            const int a1 = a[ia];
            while (k > 0 && r[k - 1] > a0)
                --k;
            while (r[k] <= a0)
                ++k;
            if (int(k & 1) != c)
                ++k;
            const int b1 = r[k], b2 = r[k + 1];
            if (b2 < a1) {
                putCode(kModePass);
                a0 = b2;
            } else if (std::abs(a1 - b1) <= 3) {
                putCode(kModeVertical[a1 - b1 + 3]);
                a0 = a1;
                c ^= 1;
            } else {
                const int a2 = a[ia + 1];
                putCode(kModeHorizontal);
                putRun(a1 - std::max(a0, 0), c);
                putRun(a2 - a1, !c);
                a0 = a2;
            }
        }
    }
    if (coding_ == TFaxCoding::ModifiedHuffman)
        padToByte();
    firstRow_ = false;
    std::swap(ref_, cur_);
}

void TFaxEncoder::Finish()
{
    if (coding_ == TFaxCoding::Group3TwoD)
        putCode(kEol);
    if (coding_ == TFaxCoding::Group4) {
        putCode(kEol);
        putCode(kEol);
    }
    padToByte();
    // Some readers look ahead a byte beyond the last code of a byte-aligned row; a
    // zero byte of fill keeps that look inside the data.
    if (coding_ == TFaxCoding::ModifiedHuffman)
        put(0, 8);
}

std::vector<uint8_t> TFaxEncoder::TakeBytes()
{
    std::vector<uint8_t> bytes;
    bytes.reserve(out_.capacity());
    std::swap(bytes, out_);
    return bytes;
}
