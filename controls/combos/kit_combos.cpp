// The colour and font combo boxes: their items and how they are drawn.
#include "controls/combos/kit_combos.h"

#include "controls/draw/kit_resources.h"
#include "controls/draw/masked_draw.h"
#include "platform/core/number_format.h"
#include "platform/graphics/canvas.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <algorithm>

namespace {

struct NamedColor {
    TColor Color;
    const char* Ident;
};

const NamedColor standardColors[16] = {
    {clBlack, "clBlack"},   {clMaroon, "clMaroon"},   {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"},     {clPurple, "clPurple"},   {clTeal, "clTeal"},   {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"},         {clLime, "clLime"},   {clYellow, "clYellow"},
    {clBlue, "clBlue"},     {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"},   {clWhite, "clWhite"},
};

const NamedColor otherColors[] = {
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};

QString withoutCl(const QString& s) { return s.startsWith(QLatin1String("cl")) ? s.mid(2) : s; }

TBitmap loadComboGlyph(const char* name)
{
    const TResId id = TResId::Named(QString::fromLatin1(name));
    auto bmp = LoadResourceBitmap(rmKit, id);
    if (!bmp)
        RaiseMissingResource(id);
    return *bmp;
}

// One line of text, vertically centred in r, starting at x.
void drawItemText(TCanvas& canvas, const TRect& r, int x, const QString& text)
{
    const int y = r.Top + (r.Height() - canvas.TextHeight(text)) / 2;
    const TBrushStyle saved = canvas.Brush.Style;
    canvas.Brush.Style = bsClear;
    canvas.TextRect(r, x, y, text);
    canvas.Brush.Style = saved;
}

}  // namespace

QString ColorToString(TColor c)
{
    for (const NamedColor& n : standardColors)
        if (n.Color == c)
            return QString::fromLatin1(n.Ident);
    for (const NamedColor& n : otherColors)
        if (n.Color == c)
            return QString::fromLatin1(n.Ident);
    return QStringLiteral("$%1").arg(uint32_t(c), 8, 16, QLatin1Char('0')).toUpper();
}

// ---- colour box -------------------------------------------------------------------

TColorComboBox::TColorComboBox(QWidget* parent) : TOwnerDrawComboBox(parent) { CreateWnd(); }

TColor TColorComboBox::ItemColor(int index) const
{
    return index >= 0 && index < count() ? TColor(itemData(index).toInt()) : color_;
}

TColor TColorComboBox::ColorValue() const
{
    if (Style() == csDropDownList || ItemIndex() >= 0)
        return color_;
    const QString text = Text();
    for (int i = 0; i < count(); ++i)
        if (itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return ItemColor(i);
    long long value = 0;
    if (TryStrToInt(text, value))
        return TColor(value);
    return color_;
}

void TColorComboBox::SetColorValue(TColor value)
{
    if (ItemIndex() >= 0 && value == color_)
        return;
    color_ = value;
    int found = -1;
    for (int i = 0; i < count() && found < 0; ++i)
        if (ItemColor(i) == value)
            found = i;
    if (found >= 0) {
        if (ItemIndex() != found)
            selectItem(found);
    } else if (Style() == csDropDownList) {
        selectItem(-1);
    } else {
        setTypedText(withoutCl(ColorToString(value)));
    }
    notifyChange();
}

void TColorComboBox::SetDisplayNames(bool on)
{
    if (on == displayNames_)
        return;
    displayNames_ = on;
    update();
}

void TColorComboBox::SetColorNames(const QStringList& names)
{
    if (names == colorNames_)
        return;
    const TColor keep = color_;
    colorNames_ = names;
    CreateWnd();
    SetColorValue(keep);
}

void TColorComboBox::PopulateList()
{
    const QSignalBlocker quiet(this);
    clear();
    for (int i = 0; i < 16; ++i) {
        const QString own = i < colorNames_.size() ? colorNames_[i] : QString();
        const QString name = own.isEmpty() ? withoutCl(QString::fromLatin1(standardColors[i].Ident)) : own;
        addItem(name, QVariant(int(standardColors[i].Color)));
    }
    selectItem(-1);
    SetColorValue(color_);
}

void TColorComboBox::notifyChange() { TOwnerDrawComboBox::Change(); }

void TColorComboBox::Click()
{
    if (ItemIndex() >= 0)
        SetColorValue(ItemColor(ItemIndex()));
    TOwnerDrawComboBox::Click();
}

void TColorComboBox::Change()
{
    TOwnerDrawComboBox::Change();
    const TColor now = ColorValue();
    if (now != color_) {
        color_ = now;
        notifyChange();
    }
}

void TColorComboBox::DrawItem(int index, TCanvas& canvas, const TRect& r, bool)
{
    canvas.FillRect(r);
    const TRect swatch(r.Left + 2, r.Top + 2, displayNames_ ? r.Left + 24 : r.Right - 3, r.Bottom - 2);
    const TBrush brush = canvas.Brush;
    canvas.Pen.Color = clWindowText;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(swatch);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ItemColor(index);
    canvas.FillRect(TRect(swatch.Left + 1, swatch.Top + 1, swatch.Right - 1, swatch.Bottom - 1));
    canvas.Brush = brush;
    if (displayNames_)
        drawItemText(canvas, r, r.Left + 28, itemText(index));
}

// ---- font box -------------------------------------------------------------------

std::vector<TFontFamily> InstalledFontFamilies()
{
    std::vector<TFontFamily> out;
    for (const QString& name : QFontDatabase::families()) {
        TFontFamily f;
        f.Name = name;
        f.FontType = QFontDatabase::isSmoothlyScalable(name) ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE;
        f.CharSet = QFontDatabase::writingSystems(name).contains(QFontDatabase::Latin) ? ANSI_CHARSET : SYMBOL_CHARSET;
        f.FixedPitch = QFontDatabase::isFixedPitch(name);
        out.push_back(f);
    }
    return out;
}

bool IsValidFont(const TFontFamily& family, TFontListOptions options)
{
    bool valid = !(options & foAnsiOnly) || family.CharSet == ANSI_CHARSET;
    if (options & foTrueTypeOnly)
        valid = valid && (family.FontType & TRUETYPE_FONTTYPE);
    if (options & foFixedPitchOnly)
        valid = valid && family.FixedPitch;
    if (options & foOEMFontsOnly)
        valid = valid && family.CharSet == OEM_CHARSET;
    if (options & foNoOEMFonts)
        valid = valid && family.CharSet != OEM_CHARSET;
    if (options & foScalableOnly)
        valid = valid && !(family.FontType & RASTER_FONTTYPE);
    return valid;
}

TFontComboBox::TFontComboBox(QWidget* parent)
    : TOwnerDrawComboBox(parent), trueTypeGlyph_(loadComboGlyph("TRUETYPE_FNT")),
      deviceGlyph_(loadComboGlyph("DEVICE_FNT"))
{
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, [this] { Reset(); });
    CreateWnd();
}

int TFontComboBox::StyleItemHeight()
{
    return std::max(TOwnerDrawComboBox::StyleItemHeight(), trueTypeGlyph_.Height() - 1);
}

int TFontComboBox::ItemFontType(int index) const { return index >= 0 && index < count() ? itemData(index).toInt() : 0; }

int TFontComboBox::findName(const QString& name) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TFontComboBox::FontName() const
{
    if (Style() == csDropDownList)
        return currentIndex() >= 0 ? itemText(currentIndex()) : requested_;
    return Text();
}

void TFontComboBox::SetFontName(const QString& name)
{
    if (name == FontName())
        return;
    requested_ = name;
    const int found = findName(name);
    if (found >= 0)
        selectItem(found);
    else if (Style() == csDropDownList)
        selectItem(-1);
    else
        setTypedText(name);
    notifyChange();
}

void TFontComboBox::PopulateList()
{
    const QSignalBlocker quiet(this);
    clear();
    // Printing goes through the same font engine, so the printer offers the screen's
    // families: both devices give the same list.
    std::vector<TFontFamily> families = InstalledFontFamilies();
    std::vector<TFontFamily> kept;
    for (const TFontFamily& f : families) {
        const bool known = std::any_of(kept.begin(), kept.end(), [&](const TFontFamily& k) {
            return k.Name.compare(f.Name, Qt::CaseInsensitive) == 0;
        });
        if (!known && IsValidFont(f, options_))
            kept.push_back(f);
    }
    std::sort(kept.begin(), kept.end(), [](const TFontFamily& a, const TFontFamily& b) {
        return a.Name.compare(b.Name, Qt::CaseInsensitive) < 0;
    });
    for (const TFontFamily& f : kept)
        addItem(f.Name, QVariant(f.FontType));
}

void TFontComboBox::CreateWnd()
{
    const QString name = FontName();
    refilling_ = true;
    TOwnerDrawComboBox::CreateWnd();
    requested_.clear();
    selectItem(-1);
    if (isEditable())
        setEditText(QString());
    SetFontName(name);
    refilling_ = false;
    if (FontName().compare(name, Qt::CaseInsensitive) != 0)
        notifyChange();
}

void TFontComboBox::Reset()
{
    const QString name = FontName();
    refilling_ = true;
    try {
        PopulateList();
        requested_.clear();
        selectItem(-1);
        if (isEditable())
            setEditText(QString());
        SetFontName(name);
    } catch (...) {
        refilling_ = false;
        throw;
    }
    refilling_ = false;
    if (FontName() != name)
        notifyChange();
}

void TFontComboBox::SetDevice(TFontDevice d)
{
    if (d == device_)
        return;
    device_ = d;
    Reset();
}

void TFontComboBox::SetOptions(TFontListOptions o)
{
    if (o == options_)
        return;
    options_ = o;
    Reset();
}

void TFontComboBox::SetTrueTypeOnly(bool on)
{
    SetOptions(on ? options_ | foTrueTypeOnly : options_ & ~foTrueTypeOnly);
}

void TFontComboBox::notifyChange()
{
    if (!refilling_)
        TOwnerDrawComboBox::Change();
}

void TFontComboBox::Click()
{
    TOwnerDrawComboBox::Click();
    notifyChange();
}

void TFontComboBox::Change()
{
    TOwnerDrawComboBox::Change();
    if (Style() == csDropDownList)
        return;
    const int found = findName(Text());
    if (found >= 0 && ItemIndex() != found) {
        const int cursor = lineEdit() ? lineEdit()->cursorPosition() : 0;
        selectItem(found);
        if (lineEdit())
            lineEdit()->setCursorPosition(cursor);
        notifyChange();
    }
}

void TFontComboBox::DrawItem(int index, TCanvas& canvas, const TRect& r, bool)
{
    canvas.FillRect(r);
    const int type = ItemFontType(index);
    const TBitmap* glyph = type == TRUETYPE_FONTTYPE ? &trueTypeGlyph_
                         : type == DEVICE_FONTTYPE   ? &deviceGlyph_
                                                     : nullptr;
    int x = r.Left + 26;
    if (glyph) {
        DrawBitmapMasked(canvas, r.Left + 2, r.Top + (r.Height() - glyph->Height()) / 2, *glyph, clDefault);
        x = r.Left + glyph->Width() + 6;
    }
    drawItemText(canvas, r, x, itemText(index));
}
