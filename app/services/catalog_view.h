// What other features read of a catalog window: its entries, their thumbnails and cells.
#pragma once
#include <QString>
#include <cstdint>

class QWidget;
class TBitmap;
class TCanvas;
struct TRect;

// A catalog window as the print and the slide show see it.
class TCatalogView {
public:
    virtual int Count() const = 0;
    virtual QString Path(int index) const = 0;
    virtual const TBitmap& Thumb(int index) const = 0;
    // Draws entry index's cell (thumbnail and caption lines by flags) into rect.
    virtual void drawEntry(TCanvas& canvas, const TRect& rect, uint8_t flags, int fontSize, int index) = 0;
    // While the window adds or loads files: tells the user that the command has to wait
    // and returns true.
    virtual bool RefuseWhileBusy() const = 0;

protected:
    ~TCatalogView() = default;
};

// The catalog that child is, or null when it is another kind of window.
TCatalogView* CatalogViewOf(QWidget* child);
