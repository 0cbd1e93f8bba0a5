// The palette picker dialog (TImageKitPaletteDialog).
#pragma once
#include "platform/core/color.h"

#include <QDialog>
#include <vector>

class QPushButton;

// A modal picker that shows a palette as a grid of 16 × 16 cells, 32 per row; the cell
// under the mouse is highlighted and a click takes its colour.
class TImageKitPaletteDialog : public QDialog {
    Q_OBJECT
public:
    explicit TImageKitPaletteDialog(QWidget* parent = nullptr);

    // Shows `count` entries, but never more than the palette holds.
    void SetPalette(const std::vector<TColor>& palette, int count);
    // Any container of entries with r, g, b members (a parameter record's colour map).
    template <class Map> void SetPaletteFrom(const Map& map, int count)
    {
        std::vector<TColor> colors;
        colors.reserve(map.size());
        for (const auto& e : map)
            colors.push_back(RGB(e.r, e.g, e.b));
        SetPalette(colors, count);
    }

    // Modal run; true when a colour was clicked.
    bool Execute();

    int EntryCount() const { return int(palette_.size()); }
    int HighlightedIndex() const { return highlighted_; }
    TColor ChosenColor() const { return chosen_; }
    QPushButton* CancelButton() const { return cancel_; }

    // The entry under a client point, or -1.
    int IndexAt(int x, int y) const;
    // Cell i's rectangle (right and bottom exclusive).
    static QRect CellRect(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<TColor> palette_;
    int highlighted_ = -1;
    TColor chosen_ = clBlack;
    QPushButton* cancel_;
};
