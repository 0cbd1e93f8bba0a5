// TBitmap: a device-independent bitmap held in a QImage.
#pragma once
#include "platform/core/color.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>

class TCanvas;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// A device-independent bitmap held in a QImage: pf24bit is Format_BGR888 (bytes blue,
// green, red), pf1bit is Format_Mono with the table [black, white], leftmost pixel in
// the top bit. pf8bit is Format_Indexed8 and pf32bit Format_RGB32 (bytes b, g, r, x).
// ScanLine(y) is row y counted from the top.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull() || Width() == 0 || Height() == 0; }
    TPixelFormat PixelFormat() const { return format_; }

    // Resizing keeps the old pixels at the top left and fills new area with the
    // canvas brush colour.
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    void SetSize(int w, int h);
    // Converts the pixels; to pf1bit by the grey threshold 128 on (R*30+G*59+B*11)/100.
    void SetPixelFormat(TPixelFormat format);

    // Writable rows. A copy of a bitmap shares its pixels until one side writes; the
    // writable accessors (ScanLine, Image, the canvas) first give this bitmap pixels of
    // its own, and raise EOutOfMemory with the bitmap unchanged when they cannot.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    void Detach();
    // True while another bitmap (an undo step, say) holds these very pixels.
    bool PixelsShared() const { return !image_.isNull() && !image_.isDetached(); }
    // Pixels of its own whose values are undefined, for a pass that writes every row
    // whole after copying it from a bitmap that still shares the old ones: one pass over
    // the memory instead of a copy first. Raises EOutOfMemory as Detach does.
    void DetachUncopied();
    // True while both hold the very same pixels: a copy that neither side wrote to.
    bool SharesPixelsWith(const TBitmap& other) const
    {
        return format_ == other.format_ && image_.cacheKey() == other.image_.cacheKey();
    }
    int BytesPerLine() const { return int(image_.bytesPerLine()); }

    TCanvas* Canvas();
    void Assign(const TBitmap& other);
    void FreeImage() { SetSize(0, 0); }

    // Direct access for painting and codecs (detached as above); call Changed() after
    // writing pixels behind the bitmap's back if listeners must know.
    QImage& Image();
    const QImage& Image() const { return image_; }
    // Adopts an image; formats other than the supported ones are converted to 24-bit.
    void SetImage(const QImage& image);

    std::function<void()> OnChange;
    void Changed();

    // Colour of one pixel as TColor; (0, 0) … (w−1, h−1), clNone outside.
    TColor PixelColor(int x, int y) const;

    static QImage::Format QtFormat(TPixelFormat f);
    // Fresh, unfilled pixels of a w × h image: the one allocation every bitmap buffer
    // goes through. Buffers of 2 MiB and more sit on large-page boundaries with the
    // large-page hint, so filling a photograph costs a few page faults, not thousands.
    // Null when memory runs out.
    static QImage AllocateImage(int width, int height, QImage::Format format);
    // Lets tests run out of memory on purpose: when set, a request of so many bytes
    // that it refuses fails as if the system had none left.
    static std::function<bool(int64_t bytes)> AllocationGate;

private:
    void detach(bool copyPixels);
    friend class TCanvas;
    friend struct CanvasOps;
    void releaseCanvasPainter() const;
    QImage image_;
    TPixelFormat format_ = pf24bit;
    std::unique_ptr<TCanvas> canvas_;
};

// Raises EOutOfMemory for a width × height bitmap whose pixels could not be had.
[[noreturn]] void BitmapOutOfMemory(int width, int height);

// The black-and-white table every 1-bit bitmap carries.
QList<QRgb> MonoColorTable();

// Any image in a bitmap layout (pf1bit, pf8bit grey, pf24bit, pf32bit; others give
// pf24bit), by the same grey rule as SetPixelFormat: (R*30+G*59+B*11)/100 >= 128 is white.
QImage ConvertToPixelFormat(const QImage& image, TPixelFormat format);
