// Base of the pictures that are drawn rather than held as pixels (metafiles, icons).
#pragma once

#include "platform/core/geometry.h"

#include <QString>

class QPainter;
class TStream;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    // Size in screen pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    // Loading raises EInvalidGraphic for data that is not this kind of picture and the
    // stream's own errors when the file cannot be read.
    virtual void LoadFromStream(TStream& stream) = 0;
    void LoadFromFile(const QString& fileName);
    // Draws the picture stretched into dest on a painter that is already active.
    virtual void Draw(QPainter& painter, const TRect& dest) const = 0;
};
