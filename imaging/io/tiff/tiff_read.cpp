// Reading one image of a TIFF. The file is untrusted: every size, count and offset is
// bounded before use, and the bitmap is replaced only when the image decoded.

#include "imaging/io/tiff/tiff.h"

#include "imaging/io/partial_load.h"
#include "imaging/io/tiff/ccitt/fax_coding.h"
#include "imaging/common/rgb_rows.h"
#include "imaging/io/tiff/tiff_codes.h"
#include "imaging/io/tiff/tiff_ifd.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/pixel_channels.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// As for the other readers: no forged header makes us allocate more than a 24-bit
// bitmap of 2 GB.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
// A blank fax line of 1728 pixels may take a single bit: about this many pixels a byte.
constexpr int64_t kFaxColourPixelsPerByte = int64_t(1) << 14;
// LZW data are held to the share of what they could unpack to at this ratio. Real files
// stay well inside it: a blank page unpacks to about 1400 bytes a byte, and only the
// last 1/64 of what a file could unpack to need be there.
constexpr int64_t kLzwBytesPerByte = 256;

[[noreturn]] void fail(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

enum Kind { kMono, kPal1, kGray, kPalette, kGray16, kRgb, kCmyk };

struct Image {
    int width = 0, height = 0, bits = 1, samples = 1;
    uint32_t photometric = tpRgb, compression = tcNone, planar = tplContiguous, predictor = tprNone;
    bool fax = false;
    TFaxCoding coding = TFaxCoding::ModifiedHuffman;
    bool lsbFirst = false;
    bool bigEndian = false;
    Kind kind = kMono;
    bool invert = false;  // 1-bit rows flipped on the way into the bitmap
    TIORGB pal[256];
    std::vector<TIORGB> colorMap;
    int64_t planeRowBytes = 0;  // bytes of one row of one plane
    TTiffLzwDecompress lzw = nullptr;
};

// PackBits data unpacked a piece at a time; a run may go on from one piece (a row) into
// the next.
class PackBitsReader {
public:
    PackBitsReader(const uint8_t* p, int64_t n) : p_(p), n_(n) {}

    // Unpacks up to `want` bytes into out; returns how many came out. Bytes of out
    // behind that count may have been written too.
    int64_t Read(uint8_t* out, int64_t want)
    {
        int64_t o = 0;
        if (literal_ > 0) {
            o = std::min(literal_, want);
            std::memcpy(out, p_ + i_, size_t(o));
            i_ += o;
            literal_ -= o;
        } else if (repeat_ > 0) {
            o = std::min(repeat_, want);
            std::memset(out, fill_, size_t(o));
            repeat_ -= o;
        }
        // Away from both ends every run is copied as a whole 128 bytes, the excess being
        // overwritten by the runs that follow: short runs then cost no call.
        while (i_ + 129 <= n_ && o + 128 <= want) {
            const int c = int8_t(p_[i_++]);
            if (c >= 0) {
                std::memcpy(out + o, p_ + i_, 128);
                i_ += c + 1;
                o += c + 1;
            } else if (c != -128) {
                std::memset(out + o, p_[i_++], 128);
                o += 1 - c;
            }
        }
        while (i_ < n_ && o < want) {
            const int c = int8_t(p_[i_++]);
            if (c >= 0) {
                // A literal cut off by the end of the data gives what is there.
                const int64_t have = std::min<int64_t>(c + 1, n_ - i_), k = std::min(have, want - o);
                std::memcpy(out + o, p_ + i_, size_t(k));
                i_ += k;
                o += k;
                literal_ = have - k;
            } else if (c != -128) {
                if (i_ >= n_)
                    break;
                fill_ = p_[i_++];
                const int64_t k = std::min<int64_t>(1 - c, want - o);
                std::memset(out + o, fill_, size_t(k));
                o += k;
                repeat_ = 1 - c - k;
            }
        }
        return o;
    }

private:
    const uint8_t* p_;
    int64_t n_, i_ = 0;
    int64_t literal_ = 0, repeat_ = 0;  // bytes of a run still to come
    uint8_t fill_ = 0;
};

// The rows of one strip of one plane, handed out in order. Packed and LZW strips are
// decoded whole (their data bound their size) into `decoded`, which the strips of a
// plane share, or, given `into` (the strip's first bitmap row, rows `stride` apart),
// straight into the bitmap; uncompressed rows stay where they are read; fax rows are
// decoded one at a time, as a few bits can describe a long row.
class StripRows {
public:
    StripRows(const Image& im, uint8_t* data, int64_t n, int rows, std::vector<uint8_t>& decoded,
              uint8_t* into = nullptr, int64_t stride = 0)
        : rowBytes_(im.planeRowBytes), stride_(im.planeRowBytes)
    {
        // The fill order concerns the strips of every depth, coded or not, as other
        // readers take it; the fax decoder reads it itself.
        if (im.lsbFirst && !im.fax)
            for (int64_t i = 0; i < n; ++i)
                data[i] = ReverseBitOrder(data[i]);
        if (im.fax) {
            fax_ = std::make_unique<TFaxDecoder>(im.coding, im.width, data, n, im.lsbFirst);
            row_.resize(size_t(rowBytes_));
            complete_ = rows;
            return;
        }
        if (im.compression == tcNone) {
            at_ = data;
            complete_ = int(std::min<int64_t>(n / rowBytes_, rows));
            return;
        }
        if (into && im.compression == tcPackBits) {
            at_ = into;
            stride_ = stride;
            PackBitsReader packed(data, n);
            while (complete_ < rows && packed.Read(at_ + stride_ * complete_, rowBytes_) == rowBytes_)
                ++complete_;
            return;
        }
        // LZW decodes a strip in one go: straight into the bitmap when its rows lie
        // one behind the other there.
        if (into && (stride == rowBytes_ || rows == 1)) {
            at_ = into;
        } else {
            decoded.resize(size_t(rowBytes_ * rows));
            at_ = decoded.data();
        }
        if (im.compression == tcPackBits) {
            complete_ = int(PackBitsReader(data, n).Read(at_, rowBytes_ * rows) / rowBytes_);
        } else {
            void* state = nullptr;
            const int64_t got = im.lzw(data, n, at_, rowBytes_ * rows, &state);
            im.lzw(nullptr, 0, nullptr, 0, &state);
            complete_ = int(std::clamp<int64_t>(got, 0, rowBytes_ * rows) / rowBytes_);
        }
    }
    // Rows that came out whole; the rest of the strip stays white.
    int Complete() const { return complete_; }
    // Row r of the strip; rows are asked for from the first on, each once.
    uint8_t* Row(int r)
    {
        if (!fax_)
            return at_ + stride_ * r;
        fax_->DecodeRow(row_.data());
        return row_.data();
    }

private:
    int64_t rowBytes_, stride_;
    int complete_ = 0;
    uint8_t* at_ = nullptr;
    std::unique_ptr<TFaxDecoder> fax_;
    std::vector<uint8_t> row_;
};

// Serves the strips of one plane from large reads: strips that follow each other in
// the file are read together, up to kReadAhead bytes at once, so that small strips do
// not cost a seek and a read each. A strip never shares bytes with the next one read
// with it, so rows may be converted in place.
class StripWindow {
public:
    StripWindow(const TTiffFile& file, const std::vector<uint32_t>& offsets, const std::vector<int64_t>& have)
        : file_(file), offsets_(offsets), have_(have)
    {}

    // Points *data at strip i's have[i] bytes; false when they could not be read.
    bool get(size_t i, uint8_t** data)
    {
        if (i < first_ || i >= end_) {
            size_t j = i + 1;
            int64_t total = have_[i];
            while (j < offsets_.size() && int64_t(offsets_[j]) == int64_t(offsets_[j - 1]) + have_[j - 1] &&
                   total + have_[j] <= kReadAhead) {
                total += have_[j];
                ++j;
            }
            first_ = end_ = i;
            if (!load(i, total)) {
                // The strip alone, as if it had been read by itself.
                if (j == i + 1 || !load(i, have_[i]))
                    return false;
                j = i + 1;
            }
            end_ = j;
        }
        *data = buffer_.get() + (int64_t(offsets_[i]) - int64_t(offsets_[first_]));
        return true;
    }

private:
    static constexpr int64_t kReadAhead = int64_t(128) << 10;

    bool load(size_t i, int64_t bytes)
    {
        if (bytes > capacity_) {
            buffer_.reset(new uint8_t[size_t(bytes)]);
            capacity_ = bytes;
        }
        return bytes == 0 || file_.ReadAt(offsets_[i], buffer_.get(), bytes);
    }

    const TTiffFile& file_;
    const std::vector<uint32_t>& offsets_;
    const std::vector<int64_t>& have_;
    std::unique_ptr<uint8_t[]> buffer_;
    int64_t capacity_ = 0;
    size_t first_ = 0, end_ = 0;  // strips [first_, end_) are in the buffer
};

void putPal(uint8_t* d, const TIORGB& c)
{
    d[0] = c.b;
    d[1] = c.g;
    d[2] = c.r;
}

void invertBytes(uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] = uint8_t(~p[i]);
}

void convertRow(const Image& im, uint8_t* s, uint8_t* d)
{
    const int w = im.width;
    if (im.predictor == tprHorizontal && im.bits == 8) {
        const int spp = im.samples;
        for (int i = spp; i < w * spp; ++i)
            s[i] = uint8_t(s[i] + s[i - spp]);
    }
    switch (im.kind) {
    case kMono: {
        const int n = (w + 7) / 8;
        if (d != s)
            std::memcpy(d, s, size_t(n));
        if (im.invert)
            invertBytes(d, n);
        break;
    }
    case kPal1:
        for (int x = 0; x < w; ++x)
            putPal(d + 3 * x, im.pal[((s[x >> 3] >> (7 - (x & 7))) & 1) ^ int(im.fax)]);
        break;
    case kPalette:
        for (int x = 0; x < w; ++x)
            putPal(d + 3 * x, im.pal[im.bits == 4 ? ((x & 1) ? s[x >> 1] & 15 : s[x >> 1] >> 4) : s[x]]);
        break;
    case kGray:
        for (int x = 0; x < w; ++x) {
            int g = im.bits == 4 ? WidenChannel((x & 1) ? s[x >> 1] & 15 : s[x >> 1] >> 4, 4) : s[x];
            if (im.photometric == tpWhiteIsZero)
                g = 255 - g;
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = uint8_t(g);
        }
        break;
    case kGray16:
        for (int x = 0; x < w; ++x) {
            int v = im.bigEndian ? (s[2 * x] << 8 | s[2 * x + 1]) : (s[2 * x + 1] << 8 | s[2 * x]);
            if (im.photometric == tpWhiteIsZero)
                v = 65535 - v;
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = uint8_t(v >> 8);
        }
        break;
    case kRgb: SwapRedBlue(s, d, w); break;
    case kCmyk:
        for (int x = 0; x < w; ++x) {
            const int k = 255 - s[4 * x + 3];
            d[3 * x + 2] = uint8_t((255 - s[4 * x]) * k / 255);
            d[3 * x + 1] = uint8_t((255 - s[4 * x + 1]) * k / 255);
            d[3 * x] = uint8_t((255 - s[4 * x + 2]) * k / 255);
        }
        break;
    }
}

// Rows that did not come out whole are left white.
void whitenRows(QImage& out, int from, int to)
{
    for (int r = from; r < to; ++r)
        std::memset(out.scanLine(r), 0xFF, size_t(out.bytesPerLine()));
}

// One more row converted.
void reportRow(TProgressRec& progress)
{
    ++progress.val;
    if (progress.Assigned())
        progress.Report(Trunc(progress.val * progress.per1));
}

// Rows decoded one behind the other at the start of a block of bitmap rows are moved
// out to the bitmap's row stride, the last first so that none is overwritten unread.
void spreadRows(uint8_t* block, int64_t rowBytes, int64_t stride, int rows)
{
    if (stride != rowBytes)
        for (int r = rows - 1; r > 0; --r)
            std::memmove(block + stride * r, block + rowBytes * r, size_t(rowBytes));
}

// Where the strips of one plane lie and how many bytes each really has.
struct Strips {
    uint32_t rowsPerStrip = 1;
    int64_t perPlane = 0;  // strips of one plane
    int planes = 1;
    std::vector<uint32_t> offsets;
    std::vector<int64_t> have;
};

// Uncompressed RGB rows go from the file straight into the bitmap and are converted
// there. Rows that follow each other in the file are read together, up to
// kPlainReadBytes, so that small strips cost no read each and large ones are converted
// while in the cache. Progress, stopping and white rows as for the other strips.
class PlainRgbRows {
public:
    PlainRgbRows(const TTiffFile& file, const Image& im, const Strips& strips, QImage& out)
        : file_(file), im_(im), strips_(strips), out_(out)
    {}

    void Read(TProgressRec& progress)
    {
        const int height = im_.height;
        int y = 0;        // first row of the strip
        int readEnd = 0;  // rows before this one hold their bytes from the file
        for (int64_t strip = 0; strip < strips_.perPlane && y < height; ++strip) {
            const int rows = int(std::min<int64_t>(strips_.rowsPerStrip, height - y));
            int whole = wholeRows(strip, rows);
            for (int r = y; r < y + whole; ++r) {
                if (r >= readEnd)
                    readEnd = readRun(r);
                if (r >= readEnd) {
                    whole = r - y;  // unreadable: the rest of the strip stays white
                    break;
                }
                uint8_t* row = out_.scanLine(r);
                convertRow(im_, row, row);
                reportRow(progress);
            }
            whitenRows(out_, y + whole, y + rows);
            y += rows;
            if (progress.Aborted())
                break;
        }
        whitenRows(out_, y, height);
    }

private:
    static constexpr int64_t kPlainReadBytes = int64_t(256) << 10;

    // The rows of the strip that its bytes hold whole.
    int wholeRows(int64_t strip, int rows) const
    {
        if (strip >= int64_t(strips_.offsets.size()))
            return 0;
        return int(std::min<int64_t>(strips_.have[size_t(strip)] / im_.planeRowBytes, rows));
    }

    // Where row y starts in the file, or -1 when its strip does not hold it whole.
    int64_t rowOffset(int y) const
    {
        const int64_t strip = y / int64_t(strips_.rowsPerStrip);
        const int index = int(y - strip * strips_.rowsPerStrip);
        const int rows = int(std::min<int64_t>(strips_.rowsPerStrip, im_.height - strip * strips_.rowsPerStrip));
        if (index >= wholeRows(strip, rows))
            return -1;
        return int64_t(strips_.offsets[size_t(strip)]) + im_.planeRowBytes * index;
    }

    // Reads row y and the whole rows behind it in the file into the bitmap; returns the
    // row after the last one read (y when not even row y could be read).
    int readRun(int y)
    {
        const int64_t rowBytes = im_.planeRowBytes;
        const int64_t at = rowOffset(y);
        int n = 1;
        while (y + n < im_.height && rowBytes * (n + 1) <= kPlainReadBytes && rowOffset(y + n) == at + rowBytes * n)
            ++n;
        uint8_t* block = out_.scanLine(y);
        if (!file_.ReadAt(at, block, rowBytes * n)) {
            // Row by row, so that what can be read still is.
            if (n == 1 || !file_.ReadAt(at, block, rowBytes))
                return y;
            n = 1;
        }
        spreadRows(block, rowBytes, out_.bytesPerLine(), n);
        return y + n;
    }

    const TTiffFile& file_;
    const Image& im_;
    const Strips& strips_;
    QImage& out_;
};

// The header: what the tags describe. Refuses every form that is not decoded.
void describeImage(const TTiffIfd& ifd, const TIOParamsVals& params, Image& im)
{
    const uint32_t w = ifd.Number(ttImageWidth, 0), h = ifd.Number(ttImageLength, 0);
    if (w == 0 || h == 0)
        fail("TIFF image has no pixels");
    if (w > kMaxPixels || h > kMaxPixels || int64_t(w) * h > kMaxPixels)
        fail("TIFF image is too large");
    im.width = int(w);
    im.height = int(h);
    const std::vector<uint32_t> bps = ifd.Numbers(ttBitsPerSample, 64);
    im.bits = bps.empty() ? 1 : int(std::min<uint32_t>(bps[0], 64));
    for (uint32_t b : bps)
        if (b != bps[0])
            fail("Invalid TIFF stream");
    im.samples = int(std::min<uint32_t>(ifd.Number(ttSamplesPerPixel, 1), 64));
    im.compression = ifd.Number(ttCompression, tcNone);
    im.photometric = ifd.Number(ttPhotometric, tpRgb);
    im.planar = ifd.Number(ttPlanarConfig, tplContiguous);
    im.predictor = ifd.Number(ttPredictor, tprNone);
    im.lsbFirst = ifd.Number(ttFillOrder, tfoMsbFirst) == tfoLsbFirst;

    if ((ifd.Has(ttTileWidth) || ifd.Has(ttTileOffsets)) && !ifd.Has(ttStripOffsets))
        fail("Tiled TIFF images are not supported");
    switch (im.compression) {
    case tcNone:
    case tcPackBits: break;
    case tcCcittRle:
        im.fax = true;
        im.coding = TFaxCoding::ModifiedHuffman;
        break;
    case tcCcittGroup3:
        im.fax = true;
        im.coding = (ifd.Number(ttT4Options, 0) & kTiffT4TwoDimensional) ? TFaxCoding::Group3TwoD
                                                                         : TFaxCoding::Group3OneD;
        break;
    case tcCcittGroup4:
        im.fax = true;
        im.coding = TFaxCoding::Group4;
        break;
    case tcLzw:
        im.lzw = params.TiffLzwDecompress ? params.TiffLzwDecompress : DefaultLzwHooks().TiffDecompress;
        if (!im.lzw)
            fail("LZW Decompressor not found");
        break;
    case tcOldJpeg:
    case tcJpeg: fail("JPEG-compressed TIFF images are not supported");
    default: fail("TIFF compression method is not supported");
    }
    if (im.photometric == tpYCbCr)
        fail("YCbCr TIFF images are not supported");

    const int b = im.bits, s = im.samples;
    const uint32_t ph = im.photometric;
    const bool grey = ph == tpWhiteIsZero || ph == tpBlackIsZero;
    if (b == 1 && s == 1 && grey)
        im.kind = kMono;
    else if (b == 1 && s == 1 && ph == tpPalette)
        im.kind = kPal1;
    else if ((b == 4 || b == 8) && s == 1 && grey)
        im.kind = kGray;
    else if ((b == 4 || b == 8) && s == 1 && ph == tpPalette)
        im.kind = kPalette;
    else if (b == 16 && s == 1 && grey)
        im.kind = kGray16;
    else if (b == 8 && s == 3 && ph == tpRgb)
        im.kind = kRgb;
    else if (b == 8 && s == 4 && ph == tpSeparated)
        im.kind = kCmyk;
    else
        fail("TIFF image of this sample layout is not supported");
    if (im.fax && b != 1)
        fail("Fax-coded TIFF images must have one bit per pixel");
    if (im.planar == tplSeparate && s > 1 && im.kind != kRgb)
        fail("Separate planes are only read for RGB TIFF images");
    if (im.planar != tplContiguous && im.planar != tplSeparate)
        fail("Invalid TIFF stream");
    const int planeSamples = im.planar == tplSeparate ? 1 : s;
    im.planeRowBytes = (int64_t(im.width) * planeSamples * b + 7) / 8;
}

// The palette of a palette image; a two-colour one of black and white (or of two equal
// entries, which says nothing) leaves the image 1-bit. Also settles which way 1-bit
// rows are flipped on their way into the bitmap.
void readPalette(const TTiffIfd& ifd, Image& im)
{
    if (im.kind == kPal1 || im.kind == kPalette) {
        const uint32_t entries = 1u << im.bits;
        const std::vector<uint32_t> map = ifd.Numbers(ttColorMap, 3 * entries);
        if (map.size() < 3 * entries)
            fail("TIFF colour map is too short");
        im.colorMap.resize(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            im.colorMap[i] =
                TIORGB{uint8_t(map[2 * entries + i] >> 8), uint8_t(map[entries + i] >> 8), uint8_t(map[i] >> 8)};
            im.pal[i] = im.colorMap[i];
        }
    }
    // Any other pair is shown in its colours.
    bool whiteIsZero = im.photometric == tpWhiteIsZero;
    if (im.kind == kPal1) {
        const TIORGB black{0, 0, 0}, white{255, 255, 255};
        if (im.pal[0] == im.pal[1] || (im.pal[0] == black && im.pal[1] == white)) {
            im.kind = kMono;
        } else if (im.pal[0] == white && im.pal[1] == black) {
            im.kind = kMono;
            whiteIsZero = true;
        }
    }
    // Fax decoding gives white runs as 1-bits, i.e. the opposite of the stored values.
    im.invert = im.fax ? !whiteIsZero : whiteIsZero;
}

// The bytes the strips cover, each byte of the file counted once however many strips
// share it: strips that all start at one offset describe no more data than one.
int64_t coveredBytes(const std::vector<uint32_t>& offsets, const std::vector<int64_t>& have)
{
    std::vector<std::pair<int64_t, int64_t>> ranges;
    ranges.reserve(offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        if (have[i] > 0)
            ranges.emplace_back(offsets[i], int64_t(offsets[i]) + have[i]);
    std::sort(ranges.begin(), ranges.end());
    int64_t covered = 0, end = 0;
    for (const auto& [from, to] : ranges) {
        if (to <= end)
            continue;
        covered += to - std::max(from, end);
        end = to;
    }
    return covered;
}

// Where the strips lie and what each really has; refuses data too short for the image.
Strips locateStrips(const TTiffFile& f, const TTiffIfd& ifd, const Image& im)
{
    Strips st;
    uint32_t rps = ifd.Number(ttRowsPerStrip, uint32_t(im.height));
    if (rps == 0 || rps > uint32_t(im.height))
        rps = uint32_t(im.height);
    st.rowsPerStrip = rps;
    st.perPlane = (int64_t(im.height) + rps - 1) / rps;
    st.planes = im.planar == tplSeparate && im.samples > 1 ? 3 : 1;
    const TIfdEntry* offEntry = ifd.find(ttStripOffsets);
    const TIfdEntry* cntEntry = ifd.find(ttStripByteCounts);
    if (!offEntry || offEntry->Count == 0)
        fail("TIFF image has no strips");
    if (cntEntry && cntEntry->Count != offEntry->Count)
        fail("TIFF strip offsets and byte counts disagree");
    if (st.planes == 3 && offEntry->Count != 3 * st.perPlane)
        fail("TIFF strips do not form three planes");
    const uint32_t wanted = uint32_t(std::min<int64_t>(st.perPlane * st.planes, offEntry->Count));
    st.offsets = ifd.Numbers(ttStripOffsets, wanted);
    const std::vector<uint32_t> counts = cntEntry ? ifd.Numbers(ttStripByteCounts, wanted) : std::vector<uint32_t>();
    // What each strip really has: counts past the end are cut there, a missing or zero
    // count runs to the end.
    st.have.resize(st.offsets.size());
    for (size_t i = 0; i < st.offsets.size(); ++i) {
        const int64_t room = std::max<int64_t>(0, f.Size - st.offsets[i]);
        st.have[i] = i < counts.size() && counts[i] ? std::min<int64_t>(counts[i], room) : room;
        // Uncompressed rows take no more than their size: the rest of the file, which a
        // missing count hands every strip, is not read for each page again.
        if (im.compression == tcNone) {
            const int64_t first = int64_t(i % size_t(st.perPlane)) * rps;
            st.have[i] = std::min(st.have[i], std::min<int64_t>(rps, im.height - first) * im.planeRowBytes);
        }
    }
    const int64_t total = coveredBytes(st.offsets, st.have);
    // PackBits gives at most 128 bytes for 2, so packed data are held to the same share
    // of what they could unpack to; fax data to that of the fewest bits its rows take.
    const int64_t needed = im.planeRowBytes * st.planes * im.height;
    const int64_t faxNeeded = im.fax ? (int64_t(im.height) * FaxMinRowBits(im.coding) + 7) / 8 : 0;
    if ((im.compression == tcNone && !EnoughForPartialLoad(total, needed)) ||
        (im.compression == tcPackBits && !EnoughForPartialLoad(total * 64, needed)) ||
        (im.compression == tcLzw && !EnoughForPartialLoad(total * kLzwBytesPerByte, needed)) ||
        (im.fax && !EnoughForPartialLoad(total, faxNeeded)))
        fail("TIFF pixel data are truncated");
    // One fax bit can repeat a whole row: a page shown in its palette's colours takes
    // 24 bits a pixel, so its size is held to what its data could sensibly describe.
    if (im.fax && im.kind == kPal1 && int64_t(im.width) * im.height > total * kFaxColourPixelsPerByte)
        fail("TIFF pixel data are truncated");
    return st;
}

// The bitmap the rows go into: 1-bit for black and white, 24-bit otherwise.
QImage allocateBitmap(const Image& im)
{
    const bool mono = im.kind == kMono;
    QImage out = TBitmap::AllocateImage(im.width, im.height, mono ? QImage::Format_Mono : QImage::Format_BGR888);
    if (out.isNull())
        fail("Not enough memory for the TIFF image");
    if (mono)
        out.setColorTable(MonoColorTable());
    return out;
}

// The rows of every other form, strip by strip: the planes' strips decoded side by
// side, fax rows of a 1-bit bitmap straight into it.
void readStripRows(const TTiffFile& f, const Image& im, const Strips& st, QImage& out, TProgressRec& progress)
{
    const int planes = st.planes;
    std::vector<uint8_t> merged(planes == 3 ? size_t(3 * im.width) : 0);
    const bool faxDirect = planes == 1 && im.fax && im.kind == kMono;
    // Rows that keep their layout in the bitmap are unpacked there and converted in place.
    const bool direct = planes == 1 && !im.fax && (im.kind == kRgb || im.kind == kMono);
    StripWindow windows[3] = {{f, st.offsets, st.have}, {f, st.offsets, st.have}, {f, st.offsets, st.have}};
    std::vector<uint8_t> decoded[3];
    int done = 0;  // rows handled (converted or left white)
    for (int64_t strip = 0; strip < st.perPlane && done < im.height; ++strip) {
        const int rows = int(std::min<int64_t>(st.rowsPerStrip, im.height - done));
        int complete = rows;
        std::optional<StripRows> strips[3];
        for (int p = 0; p < planes; ++p) {
            const size_t i = size_t(strip + p * st.perPlane);
            if (i >= st.offsets.size()) {
                complete = 0;
                continue;
            }
            uint8_t* data = nullptr;
            if (!windows[p].get(i, &data)) {
                complete = 0;
                continue;
            }
            if (faxDirect) {
                TFaxDecoder dec(im.coding, im.width, data, st.have[i], im.lsbFirst, !im.invert);
                for (int r = 0; r < rows; ++r)
                    dec.DecodeRow(out.scanLine(done + r));
                continue;
            }
            if (direct)
                strips[p].emplace(im, data, st.have[i], rows, decoded[p], out.scanLine(done), out.bytesPerLine());
            else
                strips[p].emplace(im, data, st.have[i], rows, decoded[p]);
            complete = std::min(complete, strips[p]->Complete());
        }
        for (int r = 0; r < complete; ++r) {
            if (!faxDirect) {
                uint8_t* src = strips[0]->Row(r);
                if (planes == 3) {
                    const uint8_t* g = strips[1]->Row(r);
                    const uint8_t* b = strips[2]->Row(r);
                    for (int x = 0; x < im.width; ++x) {
                        merged[size_t(3 * x)] = src[x];
                        merged[size_t(3 * x + 1)] = g[x];
                        merged[size_t(3 * x + 2)] = b[x];
                    }
                    src = merged.data();
                }
                convertRow(im, src, out.scanLine(done + r));
            }
            reportRow(progress);
        }
        whitenRows(out, done + complete, done + rows);
        done += rows;
        if (progress.Aborted())
            break;
    }
    whitenRows(out, done, im.height);
}

// The rows: uncompressed RGB rows of one plane straight into the bitmap, all other
// forms strip by strip. Rows that do not come out whole are left white.
void readRows(const TTiffFile& f, const Image& im, const Strips& st, QImage& out, TProgressRec& progress)
{
    progress.val = 0;
    progress.per1 = 100.0 / im.height;
    if (st.planes == 1 && im.kind == kRgb && im.compression == tcNone && !im.lsbFirst)
        PlainRgbRows(f, im, st, out).Read(progress);
    else
        readStripRows(f, im, st, out, progress);
}

// The tags beside the pixels.
struct PageTags {
    QString documentName, description, pageName;
    std::vector<uint32_t> page;  // PageNumber: the page, the page count
    int dpiX = 0, dpiY = 0, xPos = 0, yPos = 0;
};

// Read before anything is handed over, as they may still be refused.
PageTags readPageTags(const TTiffIfd& ifd)
{
    PageTags t;
    t.documentName = ifd.Text(ttDocumentName);
    t.description = ifd.Text(ttImageDescription);
    t.pageName = ifd.Text(ttPageName);
    t.page = ifd.Numbers(ttPageNumber, 2);
    const double factor = ifd.Number(ttResolutionUnit, truInch) == truCentimetre ? 2.54 : 1.0;
    auto clampInt = [](double v) { return int(std::clamp(v, -2e9, 2e9)); };
    t.dpiX = clampInt(ifd.Rational(ttXResolution, 0) * factor);
    t.dpiY = clampInt(ifd.Rational(ttYResolution, 0) * factor);
    t.xPos = clampInt(ifd.Rational(ttXPosition, 0) * factor);
    t.yPos = clampInt(ifd.Rational(ttYPosition, 0) * factor);
    return t;
}

// The parameters: what the image is and how it was stored.
void storeParameters(const Image& im, const PageTags& t, TIOParamsVals& params)
{
    params.BitsPerSample = im.bits;
    params.SamplesPerPixel = im.samples;
    params.Width = im.width;
    params.Height = im.height;
    switch (im.compression) {
    case tcNone: params.TiffCompression = tcpNone; break;
    case tcCcittRle: params.TiffCompression = tcpCcittRle; break;
    case tcCcittGroup3:
        params.TiffCompression = im.coding == TFaxCoding::Group3TwoD ? tcpGroup3TwoD : tcpGroup3OneD;
        break;
    case tcCcittGroup4: params.TiffCompression = tcpGroup4; break;
    case tcLzw: params.TiffCompression = tcpLzw; break;
    case tcPackBits: params.TiffCompression = tcpPackBits; break;
    default: break;
    }
    if (im.photometric <= tpYCbCr)
        params.TiffPhotometric = uint8_t(im.photometric);
    else if (im.photometric == tpCieLab)
        params.TiffPhotometric = kTiffParamCieLab;
    params.TiffPlanarConfig = int32_t(im.planar);
    params.TiffDocumentName = t.documentName;
    params.TiffImageDescription = t.description;
    params.TiffPageName = t.pageName;
    // The tag's values are SHORT; a forged LONG is held to what a save can write back.
    params.TiffPageNumber = t.page.size() > 0 ? int32_t(std::min<uint32_t>(t.page[0], 65535)) : 0;
    params.TiffPageCount = t.page.size() > 1 ? int32_t(std::min<uint32_t>(t.page[1], 65535)) : 0;
    params.FreeColorMap();
    if (!im.colorMap.empty())
        params.SetColorMap(im.colorMap.data(), int(im.colorMap.size()));
    params.DpiX = t.dpiX > 0 ? t.dpiX : ScreenDpiX();
    params.DpiY = t.dpiY > 0 ? t.dpiY : ScreenDpiY();
    params.TiffXPos = t.xPos;
    params.TiffYPos = t.yPos;
}

}  // namespace

TTiffPages WalkTIFFPages(TStream& stream)
{
    TTiffFile f;
    const uint32_t first = OpenTiff(stream, f);
    TTiffPages pages;
    for (const TIfdLink& link : WalkIfdChain(f, first, 4))
        pages.Offsets.push_back(link.Offset);
    return pages;
}

int GetTIFFStreamImageCount(TStream& stream) { return int(WalkTIFFPages(stream).Offsets.size()); }

int ReadTIFFPage(TStream& stream, const TTiffPages& pages, int index, TBitmap& bitmap, TIOParamsVals& params,
                 TProgressRec& progress)
{
    const int count = int(pages.Offsets.size());
    if (index < 0 || index >= count)
        return count;
    TTiffFile f;
    OpenTiff(stream, f);
    const TTiffIfd ifd(f, pages.Offsets[size_t(index)]);
    Image im;
    im.bigEndian = f.BigEndian;
    describeImage(ifd, params, im);
    readPalette(ifd, im);
    const Strips strips = locateStrips(f, ifd, im);
    QImage out = allocateBitmap(im);
    readRows(f, im, strips, out, progress);
    const PageTags tags = readPageTags(ifd);
    storeParameters(im, tags, params);
    bitmap.SetImage(out);
    return count;
}

int ReadTIFFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    const int64_t start = stream.Position();
    const TTiffPages pages = WalkTIFFPages(stream);
    stream.SetPosition(start);
    return ReadTIFFPage(stream, pages, params.TiffImageIndex, bitmap, params, progress);
}
