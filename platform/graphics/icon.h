// Icon (.ico) and cursor (.cur) files: the entry nearest to the asked size is decoded
// (DIB entries with their AND mask, 32-bit entries with alpha, PNG entries) and drawn
// at the asked size.
#pragma once

#include "platform/graphics/metafile_graphic.h"

#include <QByteArray>
#include <QImage>

class TIcon : public TGraphic {
public:
    // The size wanted from a file with several entries (0: the largest entry).
    void SetRequestedSize(int width, int height)
    {
        wantW_ = width;
        wantH_ = height;
    }
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    bool Empty() const override { return image_.isNull(); }
    bool IsCursor() const { return cursor_; }
    TPoint HotSpot() const { return hotSpot_; }
    void LoadFromStream(TStream& stream) override;
    void LoadFromData(const QByteArray& data);
    // The chosen entry as premultiplied ARGB, at its own size.
    const QImage& Image() const { return image_; }
    // Stretched to dest, blended over what is there (the mask and alpha hold).
    void Draw(QPainter& painter, const TRect& dest) const override;

private:
    QImage image_;
    bool cursor_ = false;
    TPoint hotSpot_;
    int wantW_ = 0;
    int wantH_ = 0;
};
