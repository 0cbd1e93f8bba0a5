// A kit button's glyph strip, its states, layout and the shared glyph lists.
#pragma once
#include "platform/core/color.h"
#include "platform/core/geometry.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class TCanvas;

// Visual states of a kit button, in the order of the glyph strip's images.
enum TKitButtonState { kbsUp = 0, kbsDisabled = 1, kbsDown = 2, kbsExclusive = 3, kbsInactive = 4 };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TTextAlignment { taLeftJustify, taRightJustify, taCenter };
using TKitNumGlyphs = int;  // 1 … 5

// An image list of one image size whose slots are reused: the lowest free slot is taken.
class TGlyphList : public TImageList {
public:
    TGlyphList(int width, int height) : TImageList(width, height) {}
    int AddMasked(const TBitmap& image, TColor maskColor);
    void Delete(int index);
    int UsedCount() const { return used_; }
    bool SlotUsed(int index) const { return index >= 0 && index < int(slots_.size()) && slots_[size_t(index)]; }

private:
    std::vector<bool> slots_;
    int used_ = 0;
};

// The process-wide collection of glyph lists: one per image size.
class TGlyphCache {
public:
    TGlyphList* GetList(int width, int height);
    // Frees the list when no slot of it is used any more.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

    // The cache while any glyph object lives (null otherwise).
    static TGlyphCache* Instance();

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The glyph of a kit button: a strip of one to five images (up, disabled, down,
// exclusive, inactive) rendered once per state into a shared glyph list.
class TKitButtonGlyph {
public:
    TKitButtonGlyph();
    ~TKitButtonGlyph();
    TKitButtonGlyph(const TKitButtonGlyph&) = delete;
    TKitButtonGlyph& operator=(const TKitButtonGlyph&) = delete;

    const TBitmap& Glyph() const { return original_; }
    // Copies the strip; the bottom-left pixel becomes the transparent colour, and a strip
    // whose width is a multiple of its height holds width / height images (1 above 5).
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TColor TransparentColor() const { return transparent_; }
    TTextAlignment Alignment = taCenter;
    bool WordWrap = false;
    // The owner repaints.
    std::function<void()> OnChange;

    // Size of one image, 0 × 0 without a strip.
    int GlyphWidth() const;
    int GlyphHeight() const;
    // Renders (once) and returns the list slot for a state, −1 without a strip.
    int CreateButtonGlyph(TKitButtonState state);
    // Forgets every rendered image (system colours changed, strip changed).
    void Invalidate();
    TGlyphList* List() const { return list_; }

    // Where the glyph and the caption go inside the content rectangle.
    struct Layout {
        TPoint glyphPos;
        TRect textBounds;
        QString caption;  // prepared: shortened lines unless wrapping
    };
    Layout CalcButtonLayout(TCanvas& canvas, const TRect& client, const TPoint& offset, const QString& caption,
                            TButtonLayout layout, int margin, int spacing, bool dropDownMark) const;
    // Draws glyph, caption and drop-down mark; returns the caption rectangle.
    TRect Draw(TCanvas& canvas, const TRect& client, const TPoint& offset, const QString& caption, TButtonLayout layout,
               int margin, int spacing, TKitButtonState state, bool dropDownMark);

    // The grey rule of inactive glyphs: the transparent and the button-face colour
    // stay, others become (R·77 + G·150 + B·29) >> 8 in all channels.
    static TColor InactiveGrey(TColor c, TColor transparent);

private:
    void changed();
    void drawCaption(TCanvas& canvas, const TRect& bounds, const QString& caption, TKitButtonState state) const;

    TBitmap original_;
    TGlyphList* list_ = nullptr;
    std::array<int, 5> indexes_{-1, -1, -1, -1, -1};
    TColor transparent_ = RGB(255, 0, 255);
    int numGlyphs_ = 1;
};

// Lines of a caption as drawn (wrapped at words to the width when asked).
QStringList CaptionLines(TCanvas& canvas, const QString& caption, int width, bool wordWrap);
// The caption without its accelerator marks ("&&" stays a single "&").
QString StripAccelerator(const QString& caption);
// The accelerator character of a caption, or a null character.
QChar AcceleratorOf(const QString& caption);
// The 7-pixel downward triangle of drop-down buttons, its first row one above (x, y).
void DrawDropDownMark(TCanvas& canvas, int x, int y, bool enabled);
