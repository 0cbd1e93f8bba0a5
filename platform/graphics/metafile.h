// Windows metafiles (WMF, with or without the placeable header) and enhanced
// metafiles (EMF), drawn at any size.
#pragma once

#include "platform/graphics/metafile_graphic.h"

#include <QByteArray>

class TMetafile : public TGraphic {
public:
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return data_.isEmpty(); }
    bool Enhanced() const { return enhanced_; }
    void LoadFromStream(TStream& stream) override;
    void LoadFromData(const QByteArray& data);
    void Draw(QPainter& painter, const TRect& dest) const override;

private:
    QByteArray data_;
    bool enhanced_ = false;
    int width_ = 0;
    int height_ = 0;
};
