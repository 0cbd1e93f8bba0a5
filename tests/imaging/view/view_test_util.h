// Views, random images and grabbed client pixels for the view tests.
#pragma once
#include "imaging/view/image_kit_view.h"
#include "platform/graphics/bitmap.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <memory>

// A view of the given outer size without border, showing a w × h 24-bit bitmap.
inline std::unique_ptr<TImageKitView> MakeView(int width, int height, int bw, int bh, TBorderStyle border = bsNone)
{
    auto v = std::make_unique<TImageKitView>();
    v->SetBorderStyle(border);
    v->SetBounds(0, 0, width, height);
    if (bw > 0 && bh > 0) {
        v->Bitmap()->SetSize(bw, bh);
        QImage& img = v->Bitmap()->Image();
        for (int y = 0; y < bh; ++y)
            for (int x = 0; x < bw; ++x)
                img.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    }
    v->Update();
    return v;
}

inline void FillRandom(QImage& img, quint32 seed)
{
    QRandomGenerator rng(seed);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256)));
}

// Widget pixels of the client area (border left out).
inline QImage GrabClient(TImageKitView& v)
{
    const QImage all = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(v.ClientOrigin().x(), v.ClientOrigin().y(), v.ClientWidth(), v.ClientHeight());
}

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

// Mouse events at client coordinates with explicit buttons and modifiers.
inline void SendMouse(TImageKitView& v, QEvent::Type type, int x, int y, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPointF p = QPointF(x, y) + QPointF(v.ClientOrigin());
    QMouseEvent e(type, p, v.mapToGlobal(p), button, buttons, mods);
    QApplication::sendEvent(&v, &e);
}

inline void Press(TImageKitView& v, int x, int y, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(v, QEvent::MouseButtonPress, x, y, b, b, m);
}
inline void MoveHeld(TImageKitView& v, int x, int y, Qt::MouseButton b = Qt::LeftButton,
                     Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(v, QEvent::MouseMove, x, y, Qt::NoButton, b, m);
}
inline void MoveFree(TImageKitView& v, int x, int y, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(v, QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton, m);
}
inline void Release(TImageKitView& v, int x, int y, Qt::MouseButton b = Qt::LeftButton,
                    Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(v, QEvent::MouseButtonRelease, x, y, b, Qt::NoButton, m);
}
inline void Click(TImageKitView& v, int x, int y, Qt::MouseButton b = Qt::LeftButton)
{
    Press(v, x, y, b);
    Release(v, x, y, b);
}
