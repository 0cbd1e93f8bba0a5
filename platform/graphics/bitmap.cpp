// The bitmap: pixel formats over QImage, allocation, rows, resizing, format changes and its canvas.
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/core/color.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"
#include "platform/graphics/pixel_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

QList<QRgb> MonoColorTable() { return {qRgb(0, 0, 0), qRgb(255, 255, 255)}; }

QImage::Format TBitmap::QtFormat(TPixelFormat f)
{
    switch (f) {
    case pf1bit: return QImage::Format_Mono;
    case pf8bit: return QImage::Format_Indexed8;
    case pf32bit: return QImage::Format_RGB32;
    default: return QImage::Format_BGR888;
    }
}

std::function<bool(int64_t)> TBitmap::AllocationGate;

QImage TBitmap::AllocateImage(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0)
        return QImage();
    // Qt's own row layout: whole 32-bit words.
    const int64_t bytesPerLine = (int64_t(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const int64_t size = bytesPerLine * height;
    if (AllocationGate && !AllocationGate(size))
        return QImage();
    if (size < int64_t(kLargePage) || bytesPerLine > std::numeric_limits<int>::max() ||
        uint64_t(size) > std::numeric_limits<size_t>::max() - kLargePage)
        return QImage(width, height, format);
    const size_t rounded = (size_t(size) + kLargePage - 1) & ~(kLargePage - 1);
    void* pixels = std::aligned_alloc(kLargePage, rounded);
    if (!pixels)
        return QImage();
    AdviseLargePages(pixels, rounded);
    return QImage(
        static_cast<uchar*>(pixels), width, height, qsizetype(bytesPerLine), format, [](void* p) { std::free(p); },
        pixels);
}

static TPixelFormat normalised(TPixelFormat f) { return f == pf1bit || f == pf8bit || f == pf32bit ? f : pf24bit; }

void BitmapOutOfMemory(int width, int height)
{
    throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 bitmap").arg(width).arg(height));
}

static QImage makeImage(int w, int h, TPixelFormat f)
{
    if (w <= 0 || h <= 0)
        return QImage();
    QImage img = TBitmap::AllocateImage(w, h, TBitmap::QtFormat(f));
    if (img.isNull())
        BitmapOutOfMemory(w, h);
    if (f == pf1bit)
        img.setColorTable(MonoColorTable());
    else if (f == pf8bit) {
        QList<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        img.setColorTable(grey);
    }
    return img;
}

// 1-bit images keep the table [black, white]: other tables are mapped by the grey rule.
static QImage normalisedMono(const QImage& image)
{
    QImage img = image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_Mono);
    if (img.isNull())
        BitmapOutOfMemory(image.width(), image.height());
    const auto white = [&](int i) {
        if (i >= img.colorCount())
            return i == 1;
        const QRgb c = img.color(i);
        return GreyValue(qRed(c), qGreen(c), qBlue(c)) >= 128;
    };
    const bool w0 = white(0), w1 = white(1);
    if (img.colorTable() != MonoColorTable())
        img.setColorTable(MonoColorTable());
    // Setting the table made the pixels the image's own, or left a null image without memory.
    if (img.isNull())
        BitmapOutOfMemory(image.width(), image.height());
    if (!w0 && w1)
        return img;
    for (int y = 0; y < img.height(); ++y) {
        uint8_t* line = img.scanLine(y);
        for (int i = 0; i < img.bytesPerLine(); ++i) {
            if (w0 && !w1)
                line[i] = uint8_t(~line[i]);
            else
                line[i] = w0 ? 0xFF : 0x00;
        }
    }
    return img;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(normalised(format))
{
    image_ = makeImage(width, height, format_);
    if (!image_.isNull())
        image_.fill(format_ == pf1bit ? 1u : format_ == pf8bit ? 255u : 0xFFFFFFFFu);
}

TBitmap::TBitmap(const TBitmap& other) : image_(other.image_), format_(other.format_) {}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::releaseCanvasPainter() const
{
    if (canvas_)
        canvas_->Release();
}

QImage& TBitmap::Image()
{
    releaseCanvasPainter();
    Detach();
    return image_;
}

// Qt would copy on the first write by itself, but a copy that finds no memory leaves a
// null image behind (and a null row for whoever writes next): the copy is made here,
// through the one allocation, before anything is written.
void TBitmap::Detach() { detach(true); }

void TBitmap::DetachUncopied()
{
    // A painter still open on the old pixels must not find new ones under it.
    releaseCanvasPainter();
    detach(false);
}

void TBitmap::detach(bool copyPixels)
{
    if (image_.isNull() || image_.isDetached())
        return;
    QImage own = AllocateImage(image_.width(), image_.height(), image_.format());
    if (own.isNull())
        BitmapOutOfMemory(image_.width(), image_.height());
    if (copyPixels) {
        const size_t rowBytes = size_t(std::min(own.bytesPerLine(), image_.bytesPerLine()));
        // Large copies spread over the cores, which also share the fresh pages' first touch.
        uchar* const to = own.bits();
        const uchar* const from = image_.constBits();
        const qsizetype toLine = own.bytesPerLine(), fromLine = image_.bytesPerLine();
        ParallelRows(image_.height(), int64_t(image_.width()) * image_.height(), [&](int begin, int end) {
            for (int y = begin; y < end; ++y)
                std::memcpy(to + y * toLine, from + y * fromLine, rowBytes);
        });
    }
    own.setColorTable(image_.colorTable());
    own.setDotsPerMeterX(image_.dotsPerMeterX());
    own.setDotsPerMeterY(image_.dotsPerMeterY());
    own.setOffset(image_.offset());
    for (const QString& key : image_.textKeys())
        own.setText(key, image_.text(key));
    image_ = std::move(own);
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(this);
    return canvas_.get();
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange();
}

void TBitmap::Assign(const TBitmap& other)
{
    releaseCanvasPainter();
    image_ = other.image_;
    format_ = other.format_;
    Changed();
}

void TBitmap::SetImage(const QImage& image)
{
    releaseCanvasPainter();
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image_ = normalisedMono(image);
        format_ = pf1bit;
        break;
    case QImage::Format_BGR888:
        image_ = image;
        format_ = pf24bit;
        break;
    case QImage::Format_RGB32:
        image_ = image;
        format_ = pf32bit;
        break;
    default: {
        QImage converted = image.convertToFormat(QImage::Format_BGR888);
        if (converted.isNull() && !image.isNull())
            BitmapOutOfMemory(image.width(), image.height());
        image_ = std::move(converted);
        format_ = pf24bit;
        break;
    }
    }
    Changed();
}

uint8_t* TBitmap::ScanLine(int y)
{
    releaseCanvasPainter();
    if (y < 0 || y >= Height())
        throw ERangeError(QStringLiteral("Scan line index out of range"));
    Detach();
    return image_.scanLine(y);
}

const uint8_t* TBitmap::ScanLine(int y) const
{
    releaseCanvasPainter();
    if (y < 0 || y >= Height())
        throw ERangeError(QStringLiteral("Scan line index out of range"));
    return image_.constScanLine(y);
}

// Fill value for new area in the bitmap's own pixel representation.
static void fillNewArea(QImage& img, TPixelFormat f, TColor brush, int fromX, int fromY)
{
    const TColor c = ColorToRGB(brush);
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    for (int y = 0; y < img.height(); ++y) {
        const int x0 = y >= fromY ? 0 : fromX;
        uint8_t* line = img.scanLine(y);
        for (int x = x0; x < img.width(); ++x) {
            switch (f) {
            case pf1bit:
                if (GreyValue(r, g, b) >= 128)
                    line[x >> 3] |= uint8_t(0x80 >> (x & 7));
                else
                    line[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
                break;
            case pf8bit: line[x] = uint8_t(GreyValue(r, g, b)); break;
            case pf32bit: reinterpret_cast<QRgb*>(line)[x] = qRgb(r, g, b); break;
            default:
                line[3 * x] = uint8_t(b);
                line[3 * x + 1] = uint8_t(g);
                line[3 * x + 2] = uint8_t(r);
                break;
            }
        }
    }
}

void TBitmap::SetSize(int w, int h)
{
    if (w < 0 || h < 0)
        throw EInvalidGraphicOperation(QStringLiteral("Invalid bitmap size"));
    if (w == Width() && h == Height())
        return;
    releaseCanvasPainter();
    QImage img = makeImage(w, h, format_);
    if (!img.isNull()) {
        const int cw = std::min(w, Width()), ch = std::min(h, Height());
        if (format_ == pf1bit) {
            img.fill(0u);
            for (int y = 0; y < ch; ++y) {
                const uint8_t* src = image_.constScanLine(y);
                uint8_t* dst = img.scanLine(y);
                std::memcpy(dst, src, size_t(cw / 8));
                for (int x = cw & ~7; x < cw; ++x)
                    if (src[x >> 3] & (0x80 >> (x & 7)))
                        dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        } else {
            const int bpp = img.depth() / 8;
            for (int y = 0; y < ch; ++y)
                std::memcpy(img.scanLine(y), image_.constScanLine(y), size_t(cw * bpp));
        }
        const TColor brush = canvas_ ? canvas_->Brush.Color : clWhite;
        fillNewArea(img, format_, brush, ch > 0 ? cw : 0, ch);
    }
    image_ = img;
    Changed();
}

QImage ConvertToPixelFormat(const QImage& image, TPixelFormat format)
{
    format = normalised(format);
    if (image.isNull())
        return QImage();
    const QImage rgb = image.convertToFormat(QImage::Format_BGR888);
    if (rgb.isNull())
        BitmapOutOfMemory(image.width(), image.height());
    QImage out = makeImage(rgb.width(), rgb.height(), format);
    for (int y = 0; y < rgb.height(); ++y) {
        const uint8_t* s = rgb.constScanLine(y);
        uint8_t* d = out.scanLine(y);
        if (format == pf1bit)
            std::memset(d, 0, size_t(out.bytesPerLine()));
        for (int x = 0; x < rgb.width(); ++x) {
            const int b = s[3 * x], g = s[3 * x + 1], r = s[3 * x + 2];
            switch (format) {
            case pf1bit:
                if (GreyValue(r, g, b) >= 128)
                    d[x >> 3] |= uint8_t(0x80 >> (x & 7));
                break;
            case pf8bit: d[x] = uint8_t(GreyValue(r, g, b)); break;
            case pf32bit: reinterpret_cast<QRgb*>(d)[x] = qRgb(r, g, b); break;
            default:
                d[3 * x] = uint8_t(b);
                d[3 * x + 1] = uint8_t(g);
                d[3 * x + 2] = uint8_t(r);
                break;
            }
        }
    }
    return out;
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    format = normalised(format);
    if (format == format_)
        return;
    releaseCanvasPainter();
    if (!image_.isNull())
        image_ = ConvertToPixelFormat(image_, format);
    format_ = format;
    Changed();
}

TColor TBitmap::PixelColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return clNone;
    releaseCanvasPainter();
    const QRgb p = image_.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
