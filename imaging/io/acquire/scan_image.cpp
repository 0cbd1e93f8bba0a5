// Assembling a scan's frames into a packed DIB.
#include "imaging/io/acquire/scan_image.h"

#include "imaging/common/rgb_rows.h"
#include "imaging/proc/dib.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

uint8_t highByte(const uint8_t* sample)
{
    uint16_t v;
    std::memcpy(&v, sample, 2);  // SANE's 16-bit samples are in the host's order
    return uint8_t(v >> 8);
}

bool bitAt(const uint8_t* row, int64_t index) { return row[index >> 3] & (0x80 >> (index & 7)); }

// Where a separate colour frame's samples go in a blue, green, red pixel.
int channelOffset(int f) { return f == SANE_FRAME_RED ? 2 : f == SANE_FRAME_GREEN ? 1 : 0; }
unsigned channelBit(int f) { return 1u << channelOffset(f); }

// The device may put any number in the format field: read it as the integer it is.
int frameFormat(const SANE_Parameters& p)
{
    static_assert(sizeof(SANE_Frame) == sizeof(int));
    int v;
    std::memcpy(&v, &p.format, sizeof v);
    return v;
}

}  // namespace

bool TScanImage::BeginFrame(const SANE_Parameters& p, QString& why)
{
    if (lastFrame_) {
        why = QStringLiteral("the scanner sent a frame after the last one");
        return false;
    }
    const int format = frameFormat(p);
    const bool separate = format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
    if (format != SANE_FRAME_GRAY && format != SANE_FRAME_RGB && !separate) {
        why = QStringLiteral("unsupported frame format");
        return false;
    }
    if (p.depth != 1 && p.depth != 8 && p.depth != 16) {
        why = QStringLiteral("unsupported bit depth");
        return false;
    }
    if (p.pixels_per_line <= 0 || p.pixels_per_line > kMaxPixelsPerLine) {
        why = QStringLiteral("bad number of pixels per line");
        return false;
    }
    if (p.lines == 0 || p.lines < -1) {
        why = QStringLiteral("bad number of lines");
        return false;
    }
    const int samples = format == SANE_FRAME_RGB ? 3 : 1;
    // 1-bit colour comes as groups of eight pixels: a byte of red, one of green, one of blue.
    const int64_t needed = format == SANE_FRAME_RGB && p.depth == 1
                             ? (int64_t(p.pixels_per_line) + 7) / 8 * 3
                             : (int64_t(p.pixels_per_line) * samples * p.depth + 7) / 8;
    if (p.bytes_per_line < needed || p.bytes_per_line > needed + (1 << 20)) {
        why = QStringLiteral("bad number of bytes per line");
        return false;
    }

    const Kind kind = separate ? Kind::Separate : format == SANE_FRAME_RGB ? Kind::Rgb : Kind::Gray;
    if (kind_ == Kind::None) {
        kind_ = kind;
        width_ = p.pixels_per_line;
        depth_ = p.depth;
        samples_ = kind == Kind::Gray ? 1 : 3;
        dibBits_ = kind == Kind::Gray ? (p.depth == 1 ? 1 : 8) : 24;
        declaredLines_ = p.lines;
        rowBytes_ = (int64_t(width_) * dibBits_ + 31) / 32 * 4;
        if (declaredLines_ > 0) {
            // Every row is written in full before it counts (convert), so the block
            // need not be cleared first: that would cost as much as the transfer.
            if (rowBytes_ * declaredLines_ > kMaxBytes ||
                (dib_ = NewPackedDIB(width_, declaredLines_, dibBits_, false)).isEmpty()) {
                why = QStringLiteral("the image is too large");
                return false;
            }
        }
    } else if (kind != Kind::Separate || kind_ != Kind::Separate || p.pixels_per_line != width_ || p.depth != depth_ ||
               p.lines != declaredLines_) {
        why = QStringLiteral("the frames of the image do not match");
        return false;
    }
    if (kind == Kind::Separate) {
        if (channelsSeen_ & channelBit(format)) {
            why = QStringLiteral("a colour frame arrived twice");
            return false;
        }
        channelsSeen_ |= channelBit(format);
    }
    frame_ = format;
    lineBytes_ = p.bytes_per_line;
    partial_.assign(size_t(lineBytes_), 0);
    partialLen_ = 0;
    frameRows_ = 0;
    discarded_ = 0;
    lastFrame_ = p.last_frame;
    return true;
}

uint8_t* TScanImage::rowPointer(int y, QString& why)
{
    if (declaredLines_ > 0) {
        if (y >= declaredLines_)
            return nullptr;  // more than promised: dropped
        return DIBPixels(dib_) + size_t(declaredLines_ - 1 - y) * size_t(rowBytes_);
    }
    if (y < stagedRows_)
        return reinterpret_cast<uint8_t*>(staged_.data()) + size_t(y) * size_t(rowBytes_);
    if (kind_ == Kind::Separate && channelsSeen_ != channelBit(frame_)) {
        why = QStringLiteral("the frames of the image do not match");
        return nullptr;
    }
    if ((int64_t(stagedRows_) + 1) * rowBytes_ > kMaxBytes) {
        why = QStringLiteral("the image is too large");
        return nullptr;
    }
    staged_.append(qsizetype(rowBytes_), '\0');
    return reinterpret_cast<uint8_t*>(staged_.data()) + size_t(stagedRows_++) * size_t(rowBytes_);
}

void TScanImage::convert(const uint8_t* s, uint8_t* d) const
{
    const int w = width_;
    const int64_t used = (int64_t(w) * dibBits_ + 7) / 8;
    std::memset(d + used, 0, size_t(rowBytes_ - used));
    if (kind_ == Kind::Gray) {
        if (depth_ == 1) {
            const int n = (w + 7) / 8;
            for (int i = 0; i < n; ++i)
                d[i] = uint8_t(~s[i]);
            if (w & 7)
                d[n - 1] &= uint8_t(0xFF00 >> (w & 7));
        } else if (depth_ == 8) {
            std::memcpy(d, s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                d[x] = highByte(s + 2 * x);
        }
        return;
    }
    if (kind_ == Kind::Rgb) {
        if (depth_ == 8) {
            SwapRedBlue(s, d, w);
        } else if (depth_ == 16) {
            for (int x = 0; x < w; ++x, s += 6, d += 3) {
                d[0] = highByte(s + 4);
                d[1] = highByte(s + 2);
                d[2] = highByte(s);
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const uint8_t* group = s + 3 * (x >> 3);
                const uint8_t bit = uint8_t(0x80 >> (x & 7));
                for (int c = 0; c < 3; ++c)
                    d[3 * x + 2 - c] = group[c] & bit ? 255 : 0;
            }
        }
        return;
    }
    d += channelOffset(frame_);
    for (int x = 0; x < w; ++x, d += 3)
        *d = depth_ == 8 ? s[x] : depth_ == 16 ? highByte(s + 2 * x) : (bitAt(s, x) ? 255 : 0);
}

bool TScanImage::Feed(const uint8_t* data, size_t count, QString& why)
{
    while (count > 0) {
        const uint8_t* line = nullptr;
        if (partialLen_ == 0 && count >= size_t(lineBytes_)) {
            line = data;
            data += lineBytes_;
            count -= size_t(lineBytes_);
        } else {
            const size_t take = std::min(count, size_t(lineBytes_) - partialLen_);
            std::memcpy(partial_.data() + partialLen_, data, take);
            partialLen_ += take;
            data += take;
            count -= take;
            if (partialLen_ < size_t(lineBytes_))
                break;
            line = partial_.data();
            partialLen_ = 0;
        }
        uint8_t* row = rowPointer(frameRows_, why);
        if (!row) {
            if (!why.isEmpty())
                return false;
            discarded_ += lineBytes_;
            if (discarded_ > kMaxBytes) {
                why = QStringLiteral("the scanner sends more than it announced");
                return false;
            }
            continue;
        }
        convert(line, row);
        ++frameRows_;
    }
    return true;
}

bool TScanImage::EndFrame()
{
    const int rows = declaredLines_ > 0 ? std::min(frameRows_, declaredLines_) : frameRows_;
    completeRows_ = completeRows_ < 0 ? rows : std::min(completeRows_, rows);
    return lastFrame_;
}

QByteArray TScanImage::TakeDIB(QString& why)
{
    if (!lastFrame_ || (kind_ == Kind::Separate && channelsSeen_ != 7)) {
        why = QStringLiteral("the image is incomplete");
        return {};
    }
    const int rows = completeRows_;
    if (rows <= 0) {
        why = QStringLiteral("the scanner delivered no image");
        return {};
    }
    height_ = rows;
    if (declaredLines_ > 0 && rows == declaredLines_)
        return std::exchange(dib_, {});
    // A short scan or one of unknown height: the rows that arrived, bottom-up.
    QByteArray out = NewPackedDIB(width_, rows, dibBits_, false);
    if (out.isEmpty()) {
        why = QStringLiteral("the image is too large");
        return {};
    }
    uint8_t* dst = DIBPixels(out);
    const size_t r = size_t(rowBytes_);
    if (declaredLines_ > 0) {
        std::memcpy(dst, DIBPixels(dib_) + size_t(declaredLines_ - rows) * r, size_t(rows) * r);
    } else {
        const uint8_t* src = reinterpret_cast<const uint8_t*>(staged_.constData());
        for (int y = 0; y < rows; ++y)
            std::memcpy(dst + size_t(rows - 1 - y) * r, src + size_t(y) * r, r);
    }
    dib_.clear();
    staged_.clear();
    return out;
}
