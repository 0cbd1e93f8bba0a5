#include "platform/graphics/canvas.h"
#include "platform/graphics/bitmap.h"

#include <QPainter>

struct TCanvas::Impl {
    QPainter* external = nullptr;
};

TCanvas::TCanvas(TBitmap* bitmap) : bitmap_(bitmap), d_(std::make_unique<Impl>()) {}

TCanvas::TCanvas(QPainter* painter) : d_(std::make_unique<Impl>()) { d_->external = painter; }

TCanvas::~TCanvas() = default;

void TCanvas::Release() {}
