// The colour combo box and the font combo box.
#pragma once
#include "controls/combos/owner_draw_combo.h"
#include "platform/graphics/bitmap.h"

#include <QStringList>
#include <vector>

// The 16 standard colours, each shown as a swatch and a name; the value is a colour.
class TColorComboBox : public TOwnerDrawComboBox {
    Q_OBJECT
public:
    explicit TColorComboBox(QWidget* parent = nullptr);

    // The stored colour, or in an editable box the colour the typed text names.
    TColor ColorValue() const;
    void SetColorValue(TColor value);
    bool DisplayNames() const { return displayNames_; }
    void SetDisplayNames(bool on);
    // Names for the 16 entries by position; an empty line keeps the standard name.
    const QStringList& ColorNames() const { return colorNames_; }
    void SetColorNames(const QStringList& names);
    TColor ItemColor(int index) const;

    void DrawItem(int index, TCanvas& canvas, const TRect& r, bool selected) override;

protected:
    void PopulateList() override;
    void Click() override;
    void Change() override;

private:
    void notifyChange();
    TColor color_ = clBlack;
    bool displayNames_ = true;
    QStringList colorNames_;
};

// Colour name as the identifier without "cl" (or "$" and eight hex digits).
QString ColorToString(TColor c);

enum TFontDevice { fdScreen, fdPrinter, fdBoth };
enum TFontListOption : unsigned {
    foAnsiOnly = 1u << 0,
    foTrueTypeOnly = 1u << 1,
    foFixedPitchOnly = 1u << 2,
    foNoOEMFonts = 1u << 3,
    foOEMFontsOnly = 1u << 4,
    foScalableOnly = 1u << 5
};
using TFontListOptions = unsigned;

// Font types and character sets as the family list reports them.
constexpr int RASTER_FONTTYPE = 1, DEVICE_FONTTYPE = 2, TRUETYPE_FONTTYPE = 4;
constexpr int ANSI_CHARSET = 0, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;

struct TFontFamily {
    QString Name;
    int FontType = 0;
    int CharSet = ANSI_CHARSET;
    bool FixedPitch = false;
};

// The installed families: smoothly scalable ones count as TrueType, the others as
// raster fonts; those that write Latin as ANSI, the rest as symbol fonts.
std::vector<TFontFamily> InstalledFontFamilies();
bool IsValidFont(const TFontFamily& family, TFontListOptions options);

// A sorted list of the installed font families with a glyph for TrueType and device
// fonts; the value is a font name.
class TFontComboBox : public TOwnerDrawComboBox {
    Q_OBJECT
public:
    explicit TFontComboBox(QWidget* parent = nullptr);

    // The selected family; in a list box with nothing selected, the name last set, so
    // that a font that is not installed is kept rather than turned into "".
    QString FontName() const;
    void SetFontName(const QString& name);
    TFontDevice Device() const { return device_; }
    void SetDevice(TFontDevice d);
    TFontListOptions Options() const { return options_; }
    void SetOptions(TFontListOptions o);
    bool TrueTypeOnly() const { return options_ & foTrueTypeOnly; }
    void SetTrueTypeOnly(bool on);
    int ItemFontType(int index) const;
    // Refills the list keeping the font name (options changed, fonts installed).
    void Reset();

    void DrawItem(int index, TCanvas& canvas, const TRect& r, bool selected) override;

protected:
    int StyleItemHeight() override;
    void PopulateList() override;
    void CreateWnd() override;
    void Click() override;
    void Change() override;

private:
    void notifyChange();
    int findName(const QString& name) const;
    TBitmap trueTypeGlyph_;
    TBitmap deviceGlyph_;
    TFontDevice device_ = fdScreen;
    TFontListOptions options_ = 0;
    bool refilling_ = false;
    QString requested_;
};
