#pragma once
#include "platform/graphics/bitmap.h"

#include <QDialog>
#include <array>

// The resident drawing-style picker. For now it only draws the samples that the main
// window's drawing bar shows; its pages for choosing come with the picker itself.
class Tzeichenform : public QDialog {
    Q_OBJECT
public:
    explicit Tzeichenform(QWidget* owner = nullptr);
    ~Tzeichenform() override;

    // Out-of-range numbers give the first sample.
    const TBitmap& LineStyleSample(int style) const;   // 0 … 5
    const TBitmap& BrushSample(int size) const;        // 0 … 4
    const TBitmap& FillSample(int style) const;        // 0 … 7

private:
    std::array<TBitmap, 6> lines_;
    std::array<TBitmap, 5> brushes_;
    std::array<TBitmap, 8> fills_;
};
