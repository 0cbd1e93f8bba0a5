// Stretching a picture for the view's zoom.
#pragma once
#include "imaging/common/types.h"

#include <QImage>
#include <QRect>

// Nearest-neighbour stretch of the source rectangle to dw × dh pixels into out (RGB32,
// reused when its size fits). Destination pixel x samples source column
// src.x + floor((2x + 1) · src.w / (2 dw)): the centre of each destination pixel.
void StretchNearest(const QImage& image, const QRect& src, int dw, int dh, QImage& out);

// Enlarges a 24-bit picture to dw × dh with the zoom filter.
QImage ZoomResampleImage(const QImage& part, int dw, int dh, TResampleFilter filter);
