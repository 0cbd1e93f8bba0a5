// Loading and drawing metafiles on a bounded, aliased canvas.
#include "platform/core/little_endian.h"
#include "platform/graphics/metafile.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/wmf_player.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>
#include <cstdlib>
#include <dlfcn.h>
#include <emf2svg.h>

namespace {

[[noreturn]] void bad(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

constexpr int64_t kMaxMetafileBytes = int64_t(64) << 20;
constexpr int kHundredthMMPerInch = 2540;
constexpr int kMaxSide = 16384;
// The canvas a metafile is rendered on: a header of a few bytes may ask for any frame,
// so the area is bounded too (a 24-bit canvas of 48 MiB at most).
constexpr int64_t kMaxPixels = int64_t(1) << 24;

int screenDpi()
{
    static const int dpi = [] {
        QScreen* s = QGuiApplication::primaryScreen();
        const int d = s ? qRound(s->logicalDotsPerInchX()) : 0;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

// a × b / c rounded half away from zero: Windows' MulDiv rule.
int64_t mulDiv(int64_t a, int64_t b, int64_t c)
{
    if (c == 0)
        return 0;
    const int64_t num = a * b;
    const int64_t q = (std::llabs(num) + std::llabs(c) / 2) / std::llabs(c);
    return (num < 0) != (c < 0) ? -q : q;
}

// The renderer for enhanced metafiles is loaded when first needed.
using Emf2SvgFn = int (*)(char*, size_t, char**, size_t*, generatorOptions*);
Emf2SvgFn emf2svgFunction()
{
    static const Emf2SvgFn fn = [] {
        void* lib = dlopen("libemf2svg.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            lib = dlopen("libemf2svg.so", RTLD_NOW | RTLD_LOCAL);
        return lib ? reinterpret_cast<Emf2SvgFn>(dlsym(lib, "emf2svg")) : nullptr;
    }();
    return fn;
}

// A block of `count` items of `unit` bytes at `offset` inside a record of `size` bytes,
// behind its fixed part; an empty block may sit anywhere.
bool blockInside(uint32_t offset, uint64_t count, uint64_t unit, uint32_t fixed, uint32_t size)
{
    if (count == 0)
        return offset == 0 || offset <= size;
    return offset >= fixed && offset <= size && count * unit <= size - offset;
}

// The header's own blocks (the description and the pixel format) lie inside it.
void checkEmfHeader(const uint8_t* d, uint32_t size)
{
    constexpr uint32_t kFixed = 88;
    const uint32_t descriptionChars = le32(d + 60);
    const uint32_t descriptionOffset = le32(d + 64);
    if (!blockInside(descriptionOffset, descriptionChars, 2, kFixed, size) ||
        (descriptionChars > 0 && descriptionOffset % 2 != 0))
        bad("EMF header description lies outside the header");
    if (size >= 100) {
        const uint32_t formatBytes = le32(d + 88);
        const uint32_t formatOffset = le32(d + 92);
        if (!blockInside(formatOffset, formatBytes, 1, kFixed, size))
            bad("EMF header pixel format lies outside the header");
    }
}

// Walks the records so that the renderer only ever sees well-formed data: a header
// whose fields agree with the file, each record at least 8 bytes, a multiple of 4,
// inside the file, ending with EMR_EOF. Returns the length up to the end record.
size_t checkEmfRecords(const uint8_t* d, size_t n)
{
    size_t pos = 0;
    bool first = true;
    while (pos < n) {
        if (n - pos < 8)
            bad("EMF record is truncated");
        const uint32_t type = le32(d + pos);
        const uint32_t size = le32(d + pos + 4);
        if (size < 8 || size % 4 != 0 || size > n - pos)
            bad("EMF record has a bad size");
        if (first) {
            if (type != 1 || size < 88)
                bad("EMF header record missing");
            checkEmfHeader(d, size);
        }
        first = false;
        pos += size;
        if (type == 14)  // EMR_EOF
            return pos;
    }
    bad("EMF has no end record");
}

// Records of a checked file up to its end.
uint32_t countRecords(const uint8_t* d, size_t n)
{
    uint32_t count = 0;
    for (size_t pos = 0; pos < n; pos += le32(d + pos + 4))
        ++count;
    return count;
}

// The SVG renderer switches antialiasing on by itself; metafiles are drawn with hard
// edges (exact colours, as GDI draws them), so its calls are passed on to the real
// painter through this device, which drops the render hints.
class AliasedEngine : public QPaintEngine {
public:
    explicit AliasedEngine(QPainter& target) : QPaintEngine(AllFeatures), target_(target) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& st) override
    {
        const QPaintEngine::DirtyFlags f = st.state();
        if (f & DirtyPen)
            target_.setPen(st.pen());
        if (f & DirtyBrush)
            target_.setBrush(st.brush());
        if (f & DirtyBrushOrigin)
            target_.setBrushOrigin(st.brushOrigin());
        if (f & DirtyBackground)
            target_.setBackground(st.backgroundBrush());
        if (f & DirtyBackgroundMode)
            target_.setBackgroundMode(st.backgroundMode());
        if (f & DirtyTransform)
            target_.setTransform(QTransform(st.transform()) * base_);
        if (f & DirtyOpacity)
            target_.setOpacity(st.opacity());
        if (f & DirtyCompositionMode)
            target_.setCompositionMode(st.compositionMode());
        if (f & DirtyClipEnabled)
            target_.setClipping(st.isClipEnabled());
        if (f & DirtyClipPath)
            target_.setClipPath(st.clipPath(), st.clipOperation());
        if (f & DirtyClipRegion)
            target_.setClipRegion(st.clipRegion(), st.clipOperation());
        target_.setRenderHint(QPainter::Antialiasing, false);
        target_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    void drawPath(const QPainterPath& path) override { target_.drawPath(path); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode)
            target_.drawPolyline(points, count);
        else
            target_.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override { target_.drawPixmap(r, pm, sr); }
    void drawImage(const QRectF& r, const QImage& img, const QRectF& sr, Qt::ImageConversionFlags) override
    {
        target_.drawImage(r, img, sr);
    }
    void setBase(const QTransform& t) { base_ = t; }

private:
    QPainter& target_;
    QTransform base_;
};

class AliasedDevice : public QPaintDevice {
public:
    AliasedDevice(QPainter& target, QSize size) : engine_(target), size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    void setBase(const QTransform& t) { engine_.setBase(t); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 1000;
        }
    }

private:
    mutable AliasedEngine engine_;
    QSize size_;
};

}  // namespace

void TMetafile::LoadFromStream(TStream& stream)
{
    const int64_t avail = stream.Size() - stream.Position();
    if (avail <= 0)
        bad("empty metafile");
    if (avail > kMaxMetafileBytes)
        bad("metafile too large");
    QByteArray data(qsizetype(avail), Qt::Uninitialized);
    stream.ReadBuffer(data.data(), avail);
    LoadFromData(data);
}

void TMetafile::LoadFromData(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const size_t n = size_t(data.size());
    int64_t w = 0, h = 0;
    bool enhanced = false;
    QByteArray sanitised = data;
    if (n >= 88 && le32(d) == 1 && le32(d + 40) == 0x464D4520u) {
        // The renderer gets exactly the records up to the end, with the header's byte
        // and record counts telling the same.
        const size_t end = checkEmfRecords(d, n);
        enhanced = true;
        sanitised = data.left(qsizetype(end));
        auto* out = reinterpret_cast<uint8_t*>(sanitised.data());
        putLe32(out + 48, uint32_t(end));
        putLe32(out + 52, countRecords(out, end));
        // frame in hundredths of a millimetre
        const int64_t fw = int64_t(int32_t(le32(d + 32))) - int32_t(le32(d + 24));
        const int64_t fh = int64_t(int32_t(le32(d + 36))) - int32_t(le32(d + 28));
        w = mulDiv(fw, screenDpi(), kHundredthMMPerInch);
        h = mulDiv(fh, screenDpi(), kHundredthMMPerInch);
    } else {
        const TWmfInfo info = ParseWmfHeader(data);
        if (info.Placeable) {
            const int64_t mmw = mulDiv(info.BoxRight - info.BoxLeft, kHundredthMMPerInch, info.Inch);
            const int64_t mmh = mulDiv(info.BoxBottom - info.BoxTop, kHundredthMMPerInch, info.Inch);
            w = mulDiv(mmw, screenDpi(), kHundredthMMPerInch);
            h = mulDiv(mmh, screenDpi(), kHundredthMMPerInch);
        } else {
            // Without the placeable header the first window extent gives the size in pixels.
            size_t pos = size_t(info.RecordsOffset) + 18;
            while (n - pos >= 6 && (w == 0 || h == 0)) {
                const uint32_t words = le32(d + pos);
                const uint16_t func = le16(d + pos + 4);
                if (words < 3 || uint64_t(words) * 2 > n - pos || func == 0)
                    break;
                if (func == 0x020C && words >= 5) {
                    h = int16_t(le16(d + pos + 6));
                    w = int16_t(le16(d + pos + 8));
                }
                pos += size_t(words) * 2;
            }
        }
    }
    w = std::llabs(w);
    h = std::llabs(h);
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels)
        bad("metafile size out of range");
    data_ = sanitised;
    enhanced_ = enhanced;
    width_ = int(w);
    height_ = int(h);
}

void TMetafile::Draw(QPainter& painter, const TRect& dest) const
{
    if (data_.isEmpty() || dest.IsEmpty())
        return;
    if (!enhanced_) {
        PlayWmf(data_, ParseWmfHeader(data_), painter, dest);
        return;
    }
    const Emf2SvgFn fn = emf2svgFunction();
    if (!fn)
        bad("EMF renderer not available");
    generatorOptions opt{};
    opt.nameSpace = nullptr;  // a name space prefix is copied and never freed by the renderer
    opt.verbose = false;
    opt.emfplus = true;
    opt.svgDelimiter = true;
    opt.imgWidth = dest.Width();
    opt.imgHeight = dest.Height();
    QByteArray copy = data_;
    char* out = nullptr;
    size_t outLen = 0;
    const int ok = fn(copy.data(), size_t(copy.size()), &out, &outLen, &opt);
    const QByteArray svg = out ? QByteArray(out, qsizetype(outLen)) : QByteArray();
    std::free(out);
    if (!ok || svg.isEmpty())
        bad("EMF cannot be rendered");
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        bad("EMF cannot be rendered");
    painter.save();
    painter.setClipRect(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), Qt::IntersectClip);
    {
        AliasedDevice device(painter, QSize(dest.Width(), dest.Height()));
        device.setBase(QTransform::fromTranslate(dest.Left, dest.Top) * painter.transform());
        QPainter inner(&device);
        renderer.render(&inner, QRectF(0, 0, dest.Width(), dest.Height()));
    }
    painter.restore();
}
