// The view's cursor pictures, drawn in code.
#include "imaging/view/view_cursors.h"

#include "imaging/view/image_kit_view.h"
#include "platform/graphics/cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <vector>

namespace {

// Black strokes with a white rim, so that the cursor shows on any image.
void stroke(QPainter& p, const QPainterPath& path, int width = 1)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
}

QCursor magnifier(bool plus)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath lens;
    lens.addEllipse(QRectF(3.5, 3.5, 16, 16));
    QPainterPath handle;
    handle.moveTo(17, 17);
    handle.lineTo(27, 27);
    stroke(p, handle, 3);
    p.setBrush(Qt::white);
    stroke(p, lens);
    QPainterPath sign;
    sign.moveTo(7.5, 11.5);
    sign.lineTo(15.5, 11.5);
    if (plus) {
        sign.moveTo(11.5, 7.5);
        sign.lineTo(11.5, 15.5);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(sign);
    return QCursor(pm, 11, 11);
}

QCursor cross(int gap, bool box)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath path;
    const double c = 15.5;
    path.moveTo(c, 1.5);
    path.lineTo(c, c - gap);
    path.moveTo(c, c + gap);
    path.lineTo(c, 29.5);
    path.moveTo(1.5, c);
    path.lineTo(c - gap, c);
    path.moveTo(c + gap, c);
    path.lineTo(29.5, c);
    if (box)
        path.addRect(QRectF(c - 3, c - 3, 6, 6));
    stroke(p, path);
    return QCursor(pm, 15, 15);
}

QCursor eraser()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath body;
    body.moveTo(2.5, 22.5);
    body.lineTo(16.5, 8.5);
    body.lineTo(26.5, 18.5);
    body.lineTo(12.5, 32.5 - 3);
    body.closeSubpath();
    p.setBrush(Qt::white);
    stroke(p, body);
    QPainterPath band;
    band.moveTo(9.5, 15.5);
    band.lineTo(19.5, 25.5);
    stroke(p, band);
    return QCursor(pm, 3, 22);
}

QCursor hand()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath path;
    path.addRoundedRect(QRectF(8.5, 14.5, 16, 13), 3, 3);
    for (int i = 0; i < 4; ++i)
        path.addRoundedRect(QRectF(8.5 + i * 4, 4.5 + (i == 0 || i == 3 ? 3 : 0), 4, 12), 2, 2);
    path.addRoundedRect(QRectF(3.5, 16.5, 7, 4), 2, 2);  // thumb
    p.setBrush(Qt::white);
    stroke(p, path.simplified());
    return QCursor(pm, 16, 16);
}

QCursor pen()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath body;
    body.moveTo(1.5, 30.5);
    body.lineTo(4.5, 21.5);
    body.lineTo(22.5, 3.5);
    body.lineTo(28.5, 9.5);
    body.lineTo(10.5, 27.5);
    body.closeSubpath();
    p.setBrush(Qt::white);
    stroke(p, body);
    QPainterPath tip;
    tip.moveTo(4.5, 21.5);
    tip.lineTo(10.5, 27.5);
    stroke(p, tip);
    return QCursor(pm, 1, 30);
}

}  // namespace

QCursor ViewCursorPicture(int number)
{
    switch (number) {
    case TImageKitView::crZoomOut: return magnifier(false);
    case TImageKitView::crZoomIn: return magnifier(true);
    case TImageKitView::crCross: return cross(0, false);
    case TImageKitView::crEraser: return eraser();
    case TImageKitView::crHand: return hand();
    case TImageKitView::crPen: return pen();
    case TImageKitView::crCross1: return cross(3, false);
    case TImageKitView::crCross2: return cross(3, true);
    default: return QCursor();
    }
}

void RegisterViewCursors()
{
    // Pixmaps need the GUI application.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    // Every new view registers them again; the pictures are drawn once, and given up
    // with the application, as pixmaps may not outlive it.
    static std::vector<QCursor>* pictures = nullptr;
    if (!pictures) {
        pictures = new std::vector<QCursor>;
        for (int n = TImageKitView::crZoomOut; n <= TImageKitView::crCross2; ++n)
            pictures->push_back(ViewCursorPicture(n));
        qAddPostRoutine([] {
            delete pictures;
            pictures = nullptr;
        });
    }
    for (int n = TImageKitView::crZoomOut; n <= TImageKitView::crCross2; ++n)
        Screen().SetCursor(n, (*pictures)[size_t(n - TImageKitView::crZoomOut)]);
}
