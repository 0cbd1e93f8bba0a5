// The up-down control: its range, painting and presses.
#include "platform/ui/up_down.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

TCustomUpDown::TCustomUpDown(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(15, 21);
}

void TCustomUpDown::SetRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    position_ = std::clamp(position_, min_, max_);
}

void TCustomUpDown::SetPosition(int p) { position_ = std::clamp(p, min_, max_); }

void TCustomUpDown::SetOrientation(TUDOrientation o)
{
    orientation_ = o;
    update();
}

TUDBtnType TCustomUpDown::ButtonAt(const QPoint& p) const
{
    if (orientation_ == udVertical)
        return p.y() < height() / 2 ? btNext : btPrev;
    return p.x() >= width() / 2 ? btNext : btPrev;
}

void TCustomUpDown::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool vertical = orientation_ == udVertical;
    const QRect halves[2] = {vertical ? QRect(0, 0, width(), height() / 2)
                                      : QRect(width() / 2, 0, width() - width() / 2, height()),
                             vertical ? QRect(0, height() / 2, width(), height() - height() / 2)
                                      : QRect(0, 0, width() / 2, height())};
    const QStyle::PrimitiveElement arrows[2] = {vertical ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowRight,
                                                vertical ? QStyle::PE_IndicatorArrowDown
                                                         : QStyle::PE_IndicatorArrowLeft};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = halves[i];
        opt.state |= pressed_ == i ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);
        opt.rect = halves[i].adjusted(2, 2, -2, -2);
        style()->drawPrimitive(arrows[i], &opt, &p, this);
    }
}

void TCustomUpDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const TUDBtnType b = ButtonAt(event->position().toPoint());
    pressed_ = b == btNext ? 0 : 1;
    SetPosition(position_ + (b == btNext ? 1 : -1));
    update();
    Changed(b);
}

void TCustomUpDown::mouseReleaseEvent(QMouseEvent*)
{
    pressed_ = -1;
    update();
}
