// Writing a TIFF image, new or inserted into the chain of an existing little-endian
// file. Layout: the strip, then the directory, then the values too long for an entry;
// every block starts on an even offset.

#include "imaging/io/tiff/tiff.h"

#include "imaging/io/tiff/ccitt/fax_coding.h"
#include "imaging/common/rgb_rows.h"
#include "imaging/io/tiff/tiff_codes.h"
#include "imaging/io/tiff/tiff_ifd.h"
#include "imaging/proc/quantizer.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    std::vector<uint8_t> value;  // little-endian bytes
};

Entry shorts(uint16_t tag, std::initializer_list<uint32_t> v)
{
    Entry e{tag, tyShort, uint32_t(v.size()), {}};
    for (uint32_t x : v) {
        e.value.push_back(uint8_t(x));
        e.value.push_back(uint8_t(x >> 8));
    }
    return e;
}

Entry longs(uint16_t tag, uint32_t v)
{
    Entry e{tag, tyLong, 1, std::vector<uint8_t>(4)};
    putLe32(e.value.data(), v);
    return e;
}

Entry rational(uint16_t tag, uint32_t num, uint32_t den)
{
    Entry e{tag, tyRational, 1, std::vector<uint8_t>(8)};
    putLe32(e.value.data(), num);
    putLe32(e.value.data() + 4, den);
    return e;
}

Entry ascii(uint16_t tag, const QString& text)
{
    QByteArray b = text.toUtf8();
    b.append('\0');
    return Entry{tag, tyAscii, uint32_t(b.size()), std::vector<uint8_t>(b.begin(), b.end())};
}

void padToWord(TStream& s, int64_t base)
{
    if ((s.Position() - base) & 1) {
        const uint8_t z = 0;
        s.WriteBuffer(&z, 1);
    }
}

// Coded data reach the stream in writes of about this size.
constexpr int64_t kWriteChunk = int64_t(1) << 20;

// Appends the packed row to out.
void packBitsRow(const uint8_t* p, int n, std::vector<uint8_t>& out)
{
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 128 && p[i + run] == p[i])
            ++run;
        if (run >= 2) {
            out.push_back(uint8_t(1 - run));
            out.push_back(p[i]);
            i += run;
            continue;
        }
        int lit = 1;
        while (i + lit < n && lit < 128 && !(i + lit + 1 < n && p[i + lit] == p[i + lit + 1]))
            ++lit;
        out.push_back(uint8_t(lit - 1));
        out.insert(out.end(), p + i, p + i + lit);
        i += lit;
    }
}

TTiffLzwCompress lzwCoder(const TIOParamsVals& params)
{
    return params.TiffLzwCompress ? params.TiffLzwCompress : DefaultLzwHooks().TiffCompress;
}

// Where the new directory gets linked in, and what it links to.
struct ChainPlace {
    int images = 1;        // images in the file once this one is in
    int64_t linkAt = 4;    // where the offset of the new directory goes
    uint32_t nextIfd = 0;  // the directory that follows it
};

// Finds the place in the chain of the TIFF at the stream's position (insert into a
// non-empty stream) and leaves the stream at its end; otherwise writes a new header
// whose first-directory offset is patched last.
ChainPlace placeInChain(TStream& stream, bool insert, int64_t base, const TIOParamsVals& params)
{
    ChainPlace place;
    if (!insert || stream.Size() <= base) {
        const uint8_t placeholder[8] = {'I', 'I', 42, 0, 0, 0, 0, 0};
        stream.WriteBuffer(placeholder, 8);
        return place;
    }
    TTiffFile f;
    uint32_t first = 0;
    try {
        first = OpenTiff(stream, f);
    } catch (const EInvalidGraphic&) {
        throw EInvalidGraphic(QStringLiteral("Multi image TIFF limited to Intel format"));
    }
    if (f.BigEndian)
        throw EInvalidGraphic(QStringLiteral("Multi image TIFF limited to Intel format"));
    int64_t endAt = 4;
    const std::vector<TIfdLink> chain = WalkIfdChain(f, first, 4, &endAt);
    place.images = int(chain.size()) + 1;
    const size_t at = size_t(std::max(0, params.TiffImageIndex));
    if (at < chain.size()) {
        place.linkAt = chain[at].PointerAt;
        place.nextIfd = chain[at].Offset;
    } else {
        // Behind the last directory; one cut off by the end of the file has no
        // pointer to link from.
        if (endAt < 0)
            throw EInvalidGraphic(QStringLiteral("TIFF directory lies outside the file"));
        place.linkAt = endAt;
    }
    stream.Seek(0, soFromEnd);
    if (stream.Position() - base > 0xFFFF0000LL)
        throw EInvalidGraphic(QStringLiteral("TIFF file is too large to add an image"));
    return place;
}

// What is written: bilevel, palette (4 or 8 bits), RGB or CMYK, and how.
struct Layout {
    bool bilevel = false, cmyk = false;
    int paletteBits = 0;  // 0: no palette
    int samples = 3, bits = 8;
    uint32_t compression = tcNone;
    TFaxCoding coding = TFaxCoding::Group4;
    bool predictor = false;
    uint32_t photometric = tpRgb;
    bool Fax() const { return compression >= tcCcittRle && compression <= tcCcittGroup4; }
};

Layout chooseLayout(const TIOParamsVals& params)
{
    Layout l;
    l.bilevel = params.BitsPerSample == 1 && params.SamplesPerPixel == 1;
    l.cmyk = !l.bilevel && params.TiffPhotometric == tpSeparated;
    l.paletteBits = !l.bilevel && !l.cmyk && params.SamplesPerPixel == 1 &&
                            (params.BitsPerSample == 4 || params.BitsPerSample == 8)
                      ? params.BitsPerSample
                      : 0;
    switch (TiffWrittenCompression(params)) {
    case tcpCcittRle:
        l.compression = tcCcittRle;
        l.coding = TFaxCoding::ModifiedHuffman;
        break;
    case tcpGroup3OneD:
        l.compression = tcCcittGroup3;
        l.coding = TFaxCoding::Group3OneD;
        break;
    case tcpGroup3TwoD:
        l.compression = tcCcittGroup3;
        l.coding = TFaxCoding::Group3TwoD;
        break;
    case tcpGroup4:
        l.compression = tcCcittGroup4;
        l.coding = TFaxCoding::Group4;
        break;
    case tcpLzw: l.compression = tcLzw; break;
    case tcpPackBits: l.compression = tcPackBits; break;
    default: break;
    }
    l.samples = l.bilevel || l.paletteBits ? 1 : l.cmyk ? 4 : 3;
    l.bits = l.bilevel ? 1 : l.paletteBits ? l.paletteBits : 8;
    l.predictor = l.compression == tcLzw && l.bits == 8 && (l.samples == 1 || l.samples == 3);
    // Fax pages are written white-is-zero, white runs white (the usual fax reading);
    // other bilevel data as the bitmap holds them, black-is-zero.
    l.photometric = l.bilevel     ? (l.Fax() ? tpWhiteIsZero : tpBlackIsZero)
                  : l.paletteBits ? tpPalette
                  : l.cmyk        ? tpSeparated
                                  : tpRgb;
    return l;
}

// The bitmap in the form the rows are taken from: 1-bit for bilevel data (two colours
// kept as they are, others dithered), 24-bit otherwise. Null when the bitmap has it.
std::unique_ptr<TBitmap> convertSource(const TBitmap& bitmap, const Layout& l)
{
    std::unique_ptr<TBitmap> owned;
    if (l.bilevel && bitmap.PixelFormat() != pf1bit) {
        TBitmap full;
        full.Assign(bitmap);
        if (full.PixelFormat() != pf24bit)
            full.SetPixelFormat(pf24bit);
        TPaletteEntry first, second;
        owned = ReduceToTwoColors(full, first, second);
        if (!owned) {
            owned = std::make_unique<TBitmap>();
            owned->Assign(full);
            DitherToMonochrome(*owned);
        }
    } else if (!l.bilevel && bitmap.PixelFormat() != pf24bit) {
        owned = std::make_unique<TBitmap>();
        owned->Assign(bitmap);
        owned->SetPixelFormat(pf24bit);
    }
    return owned;
}

// The palette of a palette image, chosen by a quantizer that then maps the pixels;
// the parameters get it as their colour map.
std::unique_ptr<TIKQuantizer> choosePalette(const TBitmap& src, const Layout& l, std::vector<TPaletteEntry>& pal,
                                            TIOParamsVals& params)
{
    if (!l.paletteBits)
        return nullptr;
    pal.resize(size_t(1) << l.paletteBits);
    auto quant = std::make_unique<TIKQuantizer>(src, pal.data(), int(pal.size()));
    std::vector<TIORGB> map(pal.size());
    for (size_t i = 0; i < pal.size(); ++i)
        map[i] = TIORGB{pal[i].Blue, pal[i].Green, pal[i].Red};
    params.SetColorMap(map.data(), int(map.size()));
    return quant;
}

// Row y of the bitmap as the file stores it, before any predictor.
void storedRow(const uint8_t* s, const Layout& l, int width, TIKQuantizer* quant, std::vector<uint8_t>& row)
{
    const int64_t rowBytes = int64_t(row.size());
    if (l.bilevel) {
        std::memcpy(row.data(), s, size_t(rowBytes));
        if (width & 7)
            row[size_t(rowBytes - 1)] &= uint8_t(0xFF << (8 - (width & 7)));
    } else if (l.paletteBits == 8) {
        for (int x = 0; x < width; ++x)
            row[size_t(x)] = uint8_t(quant->RGBIndex(s + 3 * x));
    } else if (l.paletteBits == 4) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < width; ++x)
            row[size_t(x / 2)] |= uint8_t(quant->RGBIndex(s + 3 * x) << ((x & 1) ? 0 : 4));
    } else if (l.cmyk) {
        for (int x = 0; x < width; ++x) {
            const int b = s[3 * x], g = s[3 * x + 1], r = s[3 * x + 2];
            const int w = std::max({r, g, b, 1});
            uint8_t* d = row.data() + 4 * x;
            d[0] = uint8_t(255 - r * 255 / w);
            d[1] = uint8_t(255 - g * 255 / w);
            d[2] = uint8_t(255 - b * 255 / w);
            d[3] = uint8_t(255 - std::max({r, g, b}));
        }
    } else {
        SwapRedBlue(s, row.data(), width);
    }
}

// Writes the image's one strip at the stream's position; returns its size, or -1 when
// the write was stopped (what was coded stays in the stream).
int64_t writeStrip(TStream& stream, const QImage& img, const Layout& l, TIKQuantizer* quant, TTiffLzwCompress lzw,
                   TProgressRec& progress)
{
    const int width = img.width(), height = img.height();
    const int64_t stripAt = stream.Position();
    const int64_t rowBytes = (int64_t(width) * l.samples * l.bits + 7) / 8;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    std::vector<uint8_t> coded;
    std::unique_ptr<TFaxEncoder> encoder;
    if (l.Fax())
        encoder = std::make_unique<TFaxEncoder>(l.coding, width, true);
    void* lzwState = nullptr;
    // Coded bytes collect here and reach the stream in large writes; the LZW coder
    // writes to the stream itself.
    std::vector<uint8_t> pending;
    pending.reserve(size_t(std::min<int64_t>(kWriteChunk + rowBytes, 4 * kWriteChunk)));
    auto flush = [&] {
        stream.WriteBuffer(pending.data(), int64_t(pending.size()));
        pending.clear();
    };
    const bool rgbDirect = l.compression == tcNone && !l.bilevel && !l.paletteBits && !l.cmyk;
    const double step = 100.0 / height;
    for (int y = 0; y < height; ++y) {
        if (progress.Assigned())
            progress.Report(Trunc(y * step));
        const uint8_t* s = img.constScanLine(y);
        if (rgbDirect) {
            // Uncompressed RGB goes straight into the output buffer.
            const size_t at = pending.size();
            pending.resize(at + size_t(rowBytes));
            SwapRedBlue(s, pending.data() + at, width);
        } else {
            storedRow(s, l, width, quant, row);
        }
        if (l.predictor)
            for (int64_t i = rowBytes - 1; i >= l.samples; --i)
                row[size_t(i)] = uint8_t(row[size_t(i)] - row[size_t(i - l.samples)]);
        if (encoder) {
            encoder->EncodeRow(row.data());
            if ((y & 63) == 63) {
                coded = encoder->TakeBytes();
                pending.insert(pending.end(), coded.begin(), coded.end());
            }
        } else if (l.compression == tcPackBits) {
            packBitsRow(row.data(), int(rowBytes), pending);
        } else if (l.compression == tcLzw) {
            lzw(row.data(), rowBytes, stream, &lzwState);
        } else if (!rgbDirect) {
            pending.insert(pending.end(), row.begin(), row.end());
        }
        if (int64_t(pending.size()) >= kWriteChunk)
            flush();
        if (progress.Aborted()) {
            flush();  // what was coded stays in the stream, as without the buffer
            return -1;
        }
    }
    if (encoder) {
        encoder->Finish();
        coded = encoder->TakeBytes();
        pending.insert(pending.end(), coded.begin(), coded.end());
    } else if (l.compression == tcLzw) {
        lzw(nullptr, 0, stream, &lzwState);
    }
    flush();
    return stream.Position() - stripAt;
}

// The directory's entries, in tag order.
std::vector<Entry> directoryEntries(int width, int height, const Layout& l, int64_t stripOffset, int64_t stripBytes,
                                    const std::vector<TPaletteEntry>& pal, const TIOParamsVals& params)
{
    std::vector<Entry> e;
    e.push_back(longs(ttImageWidth, uint32_t(width)));
    e.push_back(longs(ttImageLength, uint32_t(height)));
    e.push_back(l.samples == 1   ? shorts(ttBitsPerSample, {uint32_t(l.bits)})
                : l.samples == 3 ? shorts(ttBitsPerSample, {8, 8, 8})
                                 : shorts(ttBitsPerSample, {8, 8, 8, 8}));
    e.push_back(shorts(ttCompression, {l.compression}));
    e.push_back(shorts(ttPhotometric, {l.photometric}));
    if (!params.TiffDocumentName.isEmpty())
        e.push_back(ascii(ttDocumentName, params.TiffDocumentName));
    if (!params.TiffImageDescription.isEmpty())
        e.push_back(ascii(ttImageDescription, params.TiffImageDescription));
    e.push_back(longs(ttStripOffsets, uint32_t(stripOffset)));
    e.push_back(shorts(ttSamplesPerPixel, {uint32_t(l.samples)}));
    e.push_back(longs(ttRowsPerStrip, uint32_t(height)));
    e.push_back(longs(ttStripByteCounts, uint32_t(stripBytes)));
    const uint32_t dpiX = uint32_t(params.DpiX > 0 ? params.DpiX : ScreenDpiX());
    const uint32_t dpiY = uint32_t(params.DpiY > 0 ? params.DpiY : ScreenDpiY());
    e.push_back(rational(ttXResolution, dpiX, 1));
    e.push_back(rational(ttYResolution, dpiY, 1));
    if (!params.TiffPageName.isEmpty())
        e.push_back(ascii(ttPageName, params.TiffPageName));
    e.push_back(rational(ttXPosition, uint32_t(std::max(0, params.TiffXPos)), 1));
    e.push_back(rational(ttYPosition, uint32_t(std::max(0, params.TiffYPos)), 1));
    if (l.compression == tcCcittGroup3)
        e.push_back(longs(ttT4Options, l.coding == TFaxCoding::Group3TwoD ? kTiffT4TwoDimensional : 0));
    e.push_back(shorts(ttResolutionUnit, {truInch}));
    if (params.TiffPageNumber || params.TiffPageCount)
        e.push_back(
            shorts(ttPageNumber, {uint32_t(params.TiffPageNumber) & 0xFFFF, uint32_t(params.TiffPageCount) & 0xFFFF}));
    if (l.predictor)
        e.push_back(shorts(ttPredictor, {tprHorizontal}));
    if (l.paletteBits) {
        // Red block, green block, blue block; 8-bit channels widened by repetition.
        Entry m{ttColorMap, tyShort, uint32_t(3 * pal.size()), std::vector<uint8_t>(6 * pal.size())};
        for (size_t i = 0; i < pal.size(); ++i) {
            putLe16(m.value.data() + 2 * i, uint16_t(pal[i].Red * 257));
            putLe16(m.value.data() + 2 * (i + pal.size()), uint16_t(pal[i].Green * 257));
            putLe16(m.value.data() + 2 * (i + 2 * pal.size()), uint16_t(pal[i].Blue * 257));
        }
        e.push_back(std::move(m));
    }
    return e;
}

// Writes the directory at the next even offset, the values too long for an entry
// behind it; returns the directory's offset from base.
int64_t writeDirectory(TStream& stream, int64_t base, const std::vector<Entry>& e, uint32_t nextIfd)
{
    padToWord(stream, base);
    const int64_t ifdAt = stream.Position() - base;
    const int64_t ifdSize = 2 + 12 * int64_t(e.size()) + 4;
    std::vector<uint8_t> dir(size_t(ifdSize), 0), extra;
    putLe16(dir.data(), uint16_t(e.size()));
    for (size_t i = 0; i < e.size(); ++i) {
        uint8_t* p = dir.data() + 2 + 12 * i;
        putLe16(p, e[i].tag);
        putLe16(p + 2, e[i].type);
        putLe32(p + 4, e[i].count);
        if (e[i].value.size() <= 4) {
            std::copy(e[i].value.begin(), e[i].value.end(), p + 8);
        } else {
            putLe32(p + 8, uint32_t(ifdAt + ifdSize + int64_t(extra.size())));
            extra.insert(extra.end(), e[i].value.begin(), e[i].value.end());
            if (extra.size() & 1)
                extra.push_back(0);
        }
    }
    putLe32(dir.data() + ifdSize - 4, nextIfd);
    stream.WriteBuffer(dir.data(), ifdSize);
    if (!extra.empty())
        stream.WriteBuffer(extra.data(), int64_t(extra.size()));
    return ifdAt;
}

// Stores the directory's offset in the header or the directory before it, and leaves
// the stream at the end of what was written.
void linkDirectory(TStream& stream, int64_t base, int64_t linkAt, int64_t ifdAt)
{
    const int64_t endPos = stream.Position();
    uint8_t link[4];
    putLe32(link, uint32_t(ifdAt));
    stream.SetPosition(base + linkAt);
    stream.WriteBuffer(link, 4);
    stream.SetPosition(endPos);
}

}  // namespace

int TiffWrittenCompression(const TIOParamsVals& params)
{
    const bool bilevel = params.BitsPerSample == 1 && params.SamplesPerPixel == 1;
    switch (params.TiffCompression) {
    case tcpCcittRle:
    case tcpGroup3OneD:
    case tcpGroup3TwoD:
    case tcpGroup4: return bilevel ? int(params.TiffCompression) : int(tcpNone);
    case tcpLzw: return lzwCoder(params) ? tcpLzw : tcpNone;
    case tcpPackBits: return tcpPackBits;
    default: return tcpNone;
    }
}

int WriteTIFFStream(TStream& stream, bool insert, TBitmap& bitmap, TProgressRec& progress, TIOParamsVals& params)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Cannot write an empty bitmap"));
    const int64_t base = stream.Position();
    const ChainPlace place = placeInChain(stream, insert, base, params);
    const Layout layout = chooseLayout(params);
    const std::unique_ptr<TBitmap> owned = convertSource(bitmap, layout);
    const TBitmap& src = owned ? *owned : bitmap;
    std::vector<TPaletteEntry> pal;
    const std::unique_ptr<TIKQuantizer> quant = choosePalette(src, layout, pal, params);

    padToWord(stream, base);
    const int64_t stripAt = stream.Position();
    const int64_t stripBytes = writeStrip(stream, src.Image(), layout, quant.get(), lzwCoder(params), progress);
    if (stripBytes < 0)
        return place.images;  // stopped: no directory, nothing linked
    if (stream.Position() - base > 0xFFFF0000LL)
        throw EInvalidGraphic(QStringLiteral("TIFF image is too large"));

    const std::vector<Entry> entries =
        directoryEntries(bitmap.Width(), bitmap.Height(), layout, stripAt - base, stripBytes, pal, params);
    const int64_t ifdAt = writeDirectory(stream, base, entries, place.nextIfd);
    // Header or link last, so that an interrupted write leaves the old chain intact.
    linkDirectory(stream, base, place.linkAt, ifdAt);
    return place.images;
}
