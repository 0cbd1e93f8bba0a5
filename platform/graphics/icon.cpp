// Decoding icon and cursor files: their entries, masks and PNG images.
#include "platform/core/little_endian.h"
#include "platform/graphics/icon.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/wmf_player.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {


[[noreturn]] void bad(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

constexpr int kMaxIconSide = 1024;

struct Entry {
    int width = 0;  // from the directory (0 means 256)
    int height = 0;
    int bits = 0;  // from the directory, 0 when not given
    uint16_t hotX = 0, hotY = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
};

// One DIB entry: the pixel rows and then the AND mask, both bottom-up; the header's
// height counts both.
QImage decodeDib(const uint8_t* d, size_t n)
{
    if (n < 40)
        bad("icon entry header is truncated");
    const int32_t w = int32_t(le32(d + 4));
    const int32_t h2 = int32_t(le32(d + 8));
    const int bits = le16(d + 14);
    if (w <= 0 || w > kMaxIconSide || h2 <= 0 || h2 > 2 * kMaxIconSide)
        bad("icon entry size out of range");
    const int h = h2 >= 2 ? h2 / 2 : h2;
    size_t end = 0;
    QImage img = DecodeWmfDib(d, n, h, &end);
    const size_t andRow = (size_t(w) + 31) / 32 * 4;
    // Some writers leave the mask out; then every pixel is opaque.
    const uint8_t* mask = end <= n && andRow * size_t(h) <= n - end ? d + end : nullptr;
    bool anyAlpha = false;
    if (bits == 32)
        for (int y = 0; y < h && !anyAlpha; ++y)
            for (int x = 0; x < w; ++x)
                if (qAlpha(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x])) {
                    anyAlpha = true;
                    break;
                }
    // 32-bit entries carry their own alpha; all others (and 32-bit entries whose alpha
    // is all zero) take transparency from the AND mask.
    if (!anyAlpha) {
        for (int r = 0; r < h; ++r) {
            QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(h - 1 - r));
            const uint8_t* m = mask ? mask + andRow * size_t(r) : nullptr;
            for (int x = 0; x < w; ++x) {
                const bool transparent = m && ((m[x >> 3] >> (7 - (x & 7))) & 1);
                out[x] = transparent ? qRgba(0, 0, 0, 0) : (out[x] | 0xFF000000u);
            }
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decodePng(const uint8_t* d, size_t n)
{
    QByteArray bytes(reinterpret_cast<const char*>(d), qsizetype(n));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, "png");
    const QSize sz = reader.size();
    if (!sz.isValid() || sz.width() > kMaxIconSide || sz.height() > kMaxIconSide)
        bad("icon PNG entry size out of range");
    QImage img = reader.read();
    if (img.isNull())
        bad("icon PNG entry cannot be decoded");
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

void TIcon::LoadFromStream(TStream& stream)
{
    const int64_t avail = stream.Size() - stream.Position();
    if (avail <= 0)
        bad("empty icon file");
    if (avail > (int64_t(64) << 20))
        bad("icon file too large");
    QByteArray data(qsizetype(avail), Qt::Uninitialized);
    stream.ReadBuffer(data.data(), avail);
    LoadFromData(data);
}

void TIcon::LoadFromData(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t n = size_t(bytes.size());
    if (n < 6)
        bad("icon directory is truncated");
    const int type = le16(d + 2);
    const int count = le16(d + 4);
    if (le16(d) != 0 || (type != 1 && type != 2))
        bad("not an icon or cursor file");
    if (count == 0)
        bad("icon file holds no images");
    if (6 + size_t(count) * 16 > n)
        bad("icon directory runs past the end of the file");
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = d + 6 + 16 * i;
        Entry en;
        en.width = e[0] ? e[0] : 256;
        en.height = e[1] ? e[1] : 256;
        en.hotX = le16(e + 4);
        en.hotY = le16(e + 6);
        en.bits = type == 1 ? le16(e + 6) : 0;
        en.size = le32(e + 8);
        en.offset = le32(e + 12);
        if (en.offset >= n || en.size == 0 || en.size > n - en.offset)
            continue;  // an entry outside the file is skipped
        entries.push_back(en);
    }
    if (entries.empty())
        bad("icon entries lie outside the file");
    // Nearest size first, then the deeper colour.
    const int ww = wantW_ > 0 ? wantW_ : 1 << 20, wh = wantH_ > 0 ? wantH_ : 1 << 20;
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int da = std::abs(a.width - ww) + std::abs(a.height - wh);
        const int db = std::abs(b.width - ww) + std::abs(b.height - wh);
        if (da != db)
            return da < db;
        return a.bits > b.bits;
    });
    QString firstError;
    for (const Entry& en : entries) {
        try {
            const uint8_t* p = d + en.offset;
            static const uint8_t pngSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
            QImage img = en.size >= 8 && std::memcmp(p, pngSig, 8) == 0 ? decodePng(p, en.size) : decodeDib(p, en.size);
            image_ = img;
            cursor_ = type == 2;
            hotSpot_ = cursor_ ? TPoint{en.hotX, en.hotY} : TPoint{};
            return;
        } catch (const EInvalidGraphic& e) {
            if (firstError.isEmpty())
                firstError = e.Message();
        }
    }
    throw EInvalidGraphic(firstError);
}

void TIcon::Draw(QPainter& painter, const TRect& dest) const
{
    if (image_.isNull() || dest.IsEmpty())
        return;
    const QRect r(dest.Left, dest.Top, dest.Width(), dest.Height());
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, r.size() != image_.size());
    painter.drawImage(r, image_);
    painter.restore();
}
