// Tiling and cascading the MDI children.
#include "platform/ui/mdi_arrange.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>

namespace {

QList<QMdiSubWindow*> arrangeable(QMdiArea* area)
{
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (w->isHidden() || w->isMinimized())
            continue;
        if (w->isMaximized())
            w->showNormal();
        out.append(w);
    }
    return out;
}

}  // namespace

void TileChildren(QMdiArea* area, TTileMode mode)
{
    if (!area)
        return;
    const QList<QMdiSubWindow*> list = arrangeable(area);
    const int n = int(list.size());
    if (n == 0)
        return;
    const QRect r = area->viewport()->rect();
    for (int i = 0; i < n; ++i) {
        QRect cell;
        if (mode == tbVertical) {
            const int x0 = r.width() * i / n, x1 = r.width() * (i + 1) / n;
            cell = QRect(x0, 0, x1 - x0, r.height());
        } else {
            const int y0 = r.height() * i / n, y1 = r.height() * (i + 1) / n;
            cell = QRect(0, y0, r.width(), y1 - y0);
        }
        list[i]->setGeometry(cell);
    }
}

void CascadeChildren(QMdiArea* area)
{
    if (!area)
        return;
    const QList<QMdiSubWindow*> list = arrangeable(area);
    if (list.isEmpty())
        return;
    const QRect r = area->viewport()->rect();
    const int step = list.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const int n = int(list.size());
    const int w = std::max(r.width() - step * (n - 1), r.width() * 2 / 3);
    const int h = std::max(r.height() - step * (n - 1), r.height() * 2 / 3);
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = list[i];
        sub->setGeometry(
            QRect((i * step) % std::max(1, r.width() - w + 1), (i * step) % std::max(1, r.height() - h + 1), w, h));
        sub->raise();
    }
}
