// Glyph lists, their process-wide cache, and the glyph of a kit button in each state.
#include "controls/buttons/button_glyph.h"

#include "controls/draw/draw_utils.h"
#include "controls/draw/masked_draw.h"
#include "platform/graphics/canvas.h"

#include <algorithm>

// ---- glyph lists and their cache ------------------------------------------------------------

int TGlyphList::AddMasked(const TBitmap& image, TColor maskColor)
{
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    int index;
    if (free == slots_.end()) {
        index = TImageList::AddMasked(image, maskColor);
        slots_.push_back(true);
    } else {
        index = int(free - slots_.begin());
        ReplaceMasked(index, image, maskColor);
        *free = true;
    }
    ++used_;
    return index;
}

void TGlyphList::Delete(int index)
{
    if (!SlotUsed(index))
        return;
    slots_[size_t(index)] = false;
    --used_;
}

namespace {
TGlyphCache* g_cache = nullptr;
int g_glyphObjects = 0;
}  // namespace

TGlyphCache* TGlyphCache::Instance() { return g_cache; }

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (auto& l : lists_)
        if (l->Width() == width && l->Height() == height)
            return l.get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (!list || list->UsedCount() > 0)
        return;
    std::erase_if(lists_, [list](const std::unique_ptr<TGlyphList>& l) { return l.get() == list; });
}

// ---- glyph ----------------------------------------------------------------------------

TKitButtonGlyph::TKitButtonGlyph()
{
    if (!g_cache)
        g_cache = new TGlyphCache;
    ++g_glyphObjects;
}

TKitButtonGlyph::~TKitButtonGlyph()
{
    Invalidate();
    if (--g_glyphObjects == 0 && g_cache && g_cache->Empty()) {
        delete g_cache;
        g_cache = nullptr;
    }
}

void TKitButtonGlyph::changed()
{
    if (OnChange)
        OnChange();
}

void TKitButtonGlyph::SetGlyph(const TBitmap& bitmap)
{
    Invalidate();
    original_.Assign(bitmap);
    if (!original_.Empty()) {
        transparent_ = original_.PixelColor(0, original_.Height() - 1) & 0xFFFFFF;
        if (original_.Width() % original_.Height() == 0) {
            int n = original_.Width() / original_.Height();
            if (n > 5)
                n = 1;
            numGlyphs_ = n;
        }
    }
    changed();
}

void TKitButtonGlyph::SetNumGlyphs(int n)
{
    n = std::clamp(n, 1, 5);
    if (n == numGlyphs_)
        return;
    Invalidate();
    numGlyphs_ = n;
    changed();
}

int TKitButtonGlyph::GlyphWidth() const { return original_.Empty() ? 0 : original_.Width() / numGlyphs_; }
int TKitButtonGlyph::GlyphHeight() const { return original_.Empty() ? 0 : original_.Height(); }

void TKitButtonGlyph::Invalidate()
{
    for (int& i : indexes_) {
        if (i >= 0 && list_)
            list_->Delete(i);
        i = -1;
    }
    if (list_ && g_cache)
        g_cache->ReturnList(list_);
    list_ = nullptr;
}

TColor TKitButtonGlyph::InactiveGrey(TColor c, TColor transparent)
{
    c &= 0xFFFFFF;
    if (c == (ColorToRGB(transparent) & 0xFFFFFF) || c == (ColorToRGB(clBtnFace) & 0xFFFFFF))
        return c;
    const int g = (GetRValue(c) * 77 + GetGValue(c) * 150 + GetBValue(c) * 29) >> 8;
    return RGB(g, g, g);
}

int TKitButtonGlyph::CreateButtonGlyph(TKitButtonState state)
{
    if (state == kbsDown && numGlyphs_ < 3)
        state = kbsUp;
    if (indexes_[state] >= 0)
        return indexes_[state];
    if (original_.Empty())
        return -1;
    const int w = GlyphWidth(), h = GlyphHeight();
    if (w <= 0 || h <= 0 || !g_cache)
        return -1;
    if (!list_)
        list_ = g_cache->GetList(w, h);
    const int source = state < numGlyphs_ ? int(state) : 0;
    TBitmap image(w, h, pf24bit);
    image.Canvas()->CopyRect(TRect(0, 0, w, h), *TBitmap(original_).Canvas(), Bounds(source * w, 0, w, h));
    int index;
    if (state == kbsDisabled && numGlyphs_ < 2) {
        const auto disabled = EmbossBitmap(image, transparent_);
        index = list_->AddMasked(*disabled, ColorToRGB(clBtnFace));
    } else if (state == kbsInactive && numGlyphs_ < 5) {
        for (int y = 0; y < h; ++y) {
            uint8_t* line = image.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                const TColor g = InactiveGrey(RGB(line[3 * x + 2], line[3 * x + 1], line[3 * x]), transparent_);
                line[3 * x] = uint8_t(GetBValue(g));
                line[3 * x + 1] = uint8_t(GetGValue(g));
                line[3 * x + 2] = uint8_t(GetRValue(g));
            }
        }
        index = list_->AddMasked(image, transparent_);
    } else {
        index = list_->AddMasked(image, transparent_);
    }
    indexes_[state] = index;
    return index;
}

// ---- captions -------------------------------------------------------------------------

QString StripAccelerator(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

QChar AcceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return QChar();
}

QStringList CaptionLines(TCanvas& canvas, const QString& caption, int width, bool wordWrap)
{
    const QStringList paragraphs = StripAccelerator(caption).split(QLatin1Char('\n'));
    if (!wordWrap)
        return paragraphs;
    QStringList lines;
    for (const QString& para : paragraphs) {
        QString line;
        for (const QString& word : para.split(QLatin1Char(' '))) {
            const QString tried = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && canvas.TextWidth(tried) > width) {
                lines << line;
                line = word;
            } else {
                line = tried;
            }
        }
        lines << line;
    }
    return lines;
}

TKitButtonGlyph::Layout TKitButtonGlyph::CalcButtonLayout(TCanvas& canvas, const TRect& client, const TPoint& offset,
                                                          const QString& caption, TButtonLayout layout, int margin,
                                                          int spacing, bool dropDownMark) const
{
    Layout out;
    const int cw = client.Width(), ch = client.Height();
    int gw = GlyphWidth(), gh = GlyphHeight();
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int fixedExtra = (margin != -1 ? margin : 0) + (spacing != -1 ? spacing : 0);
    int availW, availH;
    if (horizontal) {
        availW = cw - gw - fixedExtra - (dropDownMark ? 9 : 0);
        availH = ch;
    } else {
        availW = cw;
        availH = ch - gh - fixedExtra;
    }
    availW = std::max(availW, 0);
    availH = std::max(availH, 0);

    // Without wrapping every line is shortened to the room there is.
    QString text = caption;
    if (!WordWrap) {
        QStringList lines = StripAccelerator(caption).split(QLatin1Char('\n'));
        for (QString& l : lines)
            l = FitTextWithEllipsis(l, canvas, availW);
        text = lines.join(QLatin1Char('\n'));
        while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\n')))
            text.chop(1);
    }
    out.caption = text;
    int tw = 0, th = 0;
    if (!text.isEmpty()) {
        const QStringList lines = CaptionLines(canvas, WordWrap ? text : text, availW, WordWrap);
        for (const QString& l : lines)
            tw = std::max(tw, canvas.TextWidth(l));
        th = canvas.TextHeight(QStringLiteral("Wg")) * int(lines.size());
        tw = std::min(tw, availW);
        th = std::min(th, availH);
    }
    if (dropDownMark) {
        if (gw == 0 || text.isEmpty() || layout == blGlyphLeft)
            tw += 9;
        else
            gw += 6;
    }
    int gx = 0, gy = 0, tx = 0, ty = 0;
    if (horizontal) {
        gy = ch / 2 - gh / 2;
        ty = ch / 2 - th / 2;
    } else {
        gx = cw / 2 - gw / 2;
        tx = cw / 2 - tw / 2;
    }
    const int d = horizontal ? cw : ch;
    const int glen = horizontal ? gw : gh, tlen = horizontal ? tw : th;
    if (text.isEmpty() || glen == 0)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (d - (glen + tlen)) / 3;
            spacing = margin;
        } else {
            margin = d / 2 - (glen + spacing + tlen) / 2;
        }
    } else if (spacing == -1) {
        spacing = (d - margin - glen) / 2 - tlen / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        gx = margin;
        tx = gx + gw + spacing;
        break;
    case blGlyphRight:
        gx = d - margin - gw;
        tx = gx - spacing - tw;
        break;
    case blGlyphTop:
        gy = margin;
        ty = gy + gh + spacing;
        break;
    case blGlyphBottom:
        gy = d - margin - gh;
        ty = gy - spacing - th;
        break;
    }
    const int ox = client.Left + offset.X, oy = client.Top + offset.Y;
    out.glyphPos = TPoint(gx + ox, gy + oy);
    out.textBounds = Bounds(tx + ox, ty + oy, tw, th);
    return out;
}

void DrawDropDownMark(TCanvas& canvas, int x, int y, bool enabled)
{
    auto triangle = [&](int px, int py, TColor c) {
        for (int row = 0; row < 4; ++row)
            for (int i = row; i < 7 - row; ++i)
                canvas.SetPixel(px + i, py - 1 + row, c);
    };
    if (!enabled) {
        triangle(x + 1, y + 1, ColorToRGB(clBtnHighlight));
        triangle(x, y, ColorToRGB(clBtnShadow));
    } else {
        triangle(x, y, ColorToRGB(clBtnText));
    }
}

void TKitButtonGlyph::drawCaption(TCanvas& canvas, const TRect& bounds, const QString& caption,
                                  TKitButtonState state) const
{
    if (caption.isEmpty() || bounds.IsEmpty())
        return;
    const QStringList lines = CaptionLines(canvas, caption, bounds.Width(), WordWrap);
    const int lh = canvas.TextHeight(QStringLiteral("Wg"));
    const int total = lh * int(lines.size());
    auto pass = [&](int dx, int dy, TColor color) {
        canvas.Font.Color = color;
        int y = bounds.Top + (bounds.Height() - total) / 2 + dy;
        const TRect clip(bounds.Left + dx, bounds.Top + dy, bounds.Right + dx, bounds.Bottom + dy);
        for (const QString& l : lines) {
            const int w = canvas.TextWidth(l);
            int x = bounds.Left + dx;
            if (Alignment == taRightJustify)
                x = bounds.Right + dx - w;
            else if (Alignment == taCenter)
                x = bounds.Left + dx + (bounds.Width() - w) / 2;
            canvas.TextRect(clip, x, y, l);
            y += lh;
        }
    };
    const TBrush saved = canvas.Brush;
    const TColor fontColor = canvas.Font.Color;
    canvas.Brush.Style = bsClear;
    if (state == kbsDisabled) {
        pass(1, 1, clBtnHighlight);
        pass(0, 0, clBtnShadow);
    } else {
        pass(0, 0, fontColor);
    }
    canvas.Font.Color = fontColor;
    canvas.Brush = saved;
}

TRect TKitButtonGlyph::Draw(TCanvas& canvas, const TRect& client, const TPoint& offset, const QString& caption,
                            TButtonLayout layout, int margin, int spacing, TKitButtonState state, bool dropDownMark)
{
    const Layout l = CalcButtonLayout(canvas, client, offset, caption, layout, margin, spacing, dropDownMark);
    const int index = CreateButtonGlyph(state);
    if (index >= 0 && list_)
        list_->Draw(canvas, l.glyphPos.X, l.glyphPos.Y, index);
    drawCaption(canvas, l.textBounds, l.caption, state);
    if (dropDownMark) {
        const bool glyphDrawn = index >= 0;
        int x, y;
        if (layout != blGlyphLeft && glyphDrawn) {
            x = l.glyphPos.X + GlyphWidth() + 1;
            y = l.glyphPos.Y + GlyphHeight() / 2;
        } else {
            x = l.caption.isEmpty() ? (client.Left + client.Right - 7) / 2 : l.textBounds.Right + 3;
            y = l.textBounds.Top + l.textBounds.Height() / 2;
        }
        DrawDropDownMark(canvas, x, y, state != kbsDisabled);
    }
    return l.textBounds;
}
