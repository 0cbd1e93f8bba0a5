// User filters: their file format and the 3 × 3 convolution they run.
#include "imaging/proc/user_filter.h"

#include "platform/core/streams.h"

#include <algorithm>
#include <limits>
#include <vector>

const std::array<TUserFilterPreset, 9> UserFilterPresets = {{
    {"None", {{0, 0, 0, 0, 1, 0, 0, 0, 0}, 0}},
    {"Blur", {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9}},
    {"Edges", {{1, 1, 1, 1, -8, 1, 1, 1, 1}, 1}},
    {"Emboss", {{-1, 0, 1, -1, 1, 1, -1, 0, 1}, 1}},
    {"High Pass 1", {{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1}},
    {"High Pass 2", {{-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1}},
    {"High Pass 3", {{1, -2, 1, -2, 5, -2, 1, -2, 1}, 1}},
    {"Low Pass 1", {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 10}},
    {"Low Pass 2", {{1, 2, 1, 2, 4, 2, 1, 2, 1}, 16}},
}};

namespace {

const char* const kUnrecognized = "unrecognized filter";

int32_t I32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

}  // namespace

TUserFilter ParseFilterFile(const QByteArray& bytes)
{
    // Anything but the exact size and header is refused: a partial record would be a
    // filter nobody saved.
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (bytes.size() != kFilterFileSize || p[0] != 1 || p[1] != 3 || p[2] != 3)
        throw EFilterInvalid(QString::fromLatin1(kUnrecognized));
    TUserFilter f;
    for (int k = 0; k < 9; ++k)
        f.Weights[k] = I32(p + 3 + 4 * k);
    f.Divisor = I32(p + 39);
    return f;
}

QByteArray FilterFileBytes(const TUserFilter& filter)
{
    TMemoryStream s;
    s.WriteU8(1);
    s.WriteU8(3);
    s.WriteU8(3);
    for (int32_t w : filter.Weights)
        s.WriteI32(w);
    s.WriteI32(filter.Divisor);
    return s.Bytes();
}

void LoadFilterFromFile(const QString& fileName, TUserFilter& filter)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    // One byte more than a filter tells a longer file from a right one.
    QByteArray bytes(kFilterFileSize + 1, '\0');
    bytes.resize(int(file.Read(bytes.data(), bytes.size())));
    filter = ParseFilterFile(bytes);
}

void SaveFilterToFile(const QString& fileName, const TUserFilter& filter)
{
    TSafeFileStream file(fileName);
    const QByteArray bytes = FilterFileBytes(filter);
    file.WriteBuffer(bytes.constData(), bytes.size());
    file.Commit();
}

namespace {

// One output row: per channel byte i of the area, the weighted sum of the three rows at
// i − 3, i, i + 3 (edge columns repeat), mapped through finish.
template <class Sum, class Finish>
void FilterRow(const uint8_t* up, const uint8_t* mid, const uint8_t* down, int w, int x1, int x2,
               const std::array<Sum, 9>& k, uint8_t* out, Finish finish)
{
    const auto at = [&](int x, int c) {
        const int l = 3 * std::max(x - 1, 0) + c, m = 3 * x + c, r = 3 * std::min(x + 1, w - 1) + c;
        return Sum(k[0] * up[l] + k[1] * up[m] + k[2] * up[r] + k[3] * mid[l] + k[4] * mid[m] + k[5] * mid[r] +
                   k[6] * down[l] + k[7] * down[m] + k[8] * down[r]);
    };
    // Interior columns take fixed offsets, which the compiler vectorises.
    const int ix1 = std::max(x1, 1), ix2 = std::min(x2, w - 2);
    for (int x = x1; x <= x2 && x < ix1; ++x)
        for (int c = 0; c < 3; ++c)
            out[3 * (x - x1) + c] = finish(at(x, c));
    if (ix1 <= ix2) {
        const int b1 = 3 * ix1, b2 = 3 * (ix2 + 1);
        uint8_t* o = out + 3 * (ix1 - x1) - b1;
        for (int i = b1; i < b2; ++i) {
            const Sum s = k[0] * up[i - 3] + k[1] * up[i] + k[2] * up[i + 3] + k[3] * mid[i - 3] + k[4] * mid[i] +
                          k[5] * mid[i + 3] + k[6] * down[i - 3] + k[7] * down[i] + k[8] * down[i + 3];
            o[i] = finish(s);
        }
    }
    for (int x = std::max(ix2 + 1, x1); x <= x2; ++x)
        for (int c = 0; c < 3; ++c)
            out[3 * (x - x1) + c] = finish(at(x, c));
}

template <class Sum, class Finish>
void FilterArea(TBitmap& bm, const std::array<Sum, 9>& k, int x1, int y1, int x2, int y2,
                const TEffectProgress& progress, Finish finish)
{
    const int w = bm.Width();
    ForNeighbourRows(bm, x1, y1, x2, y2, progress, [&] {
        return [&](const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out) {
            FilterRow(up, mid, down, w, x1, x2, k, out, finish);
        };
    });
}

}  // namespace

void ApplyUserFilter(TBitmap& bm, const TUserFilter& filter, int x1, int y1, int x2, int y2,
                     const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const int64_t divisor = filter.Divisor == 0 ? 1 : filter.Divisor;
    int64_t lo = 0, hi = 0;
    for (int32_t w : filter.Weights)
        (w < 0 ? lo : hi) += int64_t(w) * 255;
    // Small weights: 32-bit sums and a table from every possible sum to its byte.
    if (hi - lo < (int64_t(1) << 20)) {
        std::array<int32_t, 9> k;
        std::copy(filter.Weights.begin(), filter.Weights.end(), k.begin());
        std::vector<uint8_t> table(size_t(hi - lo + 1));
        for (int64_t s = lo; s <= hi; ++s)
            table[size_t(s - lo)] = ClampByte(int(std::clamp<int64_t>(s / divisor, -1, 256)));
        const uint8_t* t = table.data() - lo;
        FilterArea(bm, k, x1, y1, x2, y2, progress, [t](int32_t s) { return t[s]; });
        return;
    }
    std::array<int64_t, 9> k;
    std::copy(filter.Weights.begin(), filter.Weights.end(), k.begin());
    FilterArea(bm, k, x1, y1, x2, y2, progress,
               [divisor](int64_t s) { return ClampByte(int(std::clamp<int64_t>(s / divisor, -1, 256))); });
}
