// The picture control: painting its bitmap and reporting clicks.
#include "platform/ui/image_control.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    bitmap_.OnChange = [this] {
        ++changes_;
        update();
    };
}

TImage::~TImage() { bitmap_.OnChange = nullptr; }

void TImage::paintEvent(QPaintEvent*)
{
    if (bitmap_.Empty())
        return;
    QPainter p(this);
    p.drawImage(0, 0, std::as_const(bitmap_).Image());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick(this);
    QWidget::mouseReleaseEvent(event);
}
