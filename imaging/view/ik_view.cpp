// The base image view: screen resolution, border and bitmap-change listeners.
#include "imaging/view/ik_view.h"

#include <QGuiApplication>
#include <QScreen>

static int screenDpi(bool x)
{
    static const int dpiX = [] {
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? qRound(s->logicalDotsPerInchX()) : 96;
    }();
    static const int dpiY = [] {
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? qRound(s->logicalDotsPerInchY()) : 96;
    }();
    return x ? dpiX : dpiY;
}

int ScreenPixelsPerInchX() { return screenDpi(true); }
int ScreenPixelsPerInchY() { return screenDpi(false); }

TIKView::TIKView(QWidget* owner) : TCustomControl(owner)
{
    SetFrameStyle(bsSingle);
    // Views paint every client pixel themselves; nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TIKView::~TIKView() = default;

void TIKView::SetBorderStyle(TBorderStyle style) { SetFrameStyle(style); }

void TIKView::AddBitmapChangeListener(TIKBitmapChangeProc proc, void* data) { listeners_.push_back({proc, data}); }

void TIKView::RemoveBitmapChangeListener(TIKBitmapChangeProc proc, void* data)
{
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if (it->proc == proc && it->data == data) {
            listeners_.erase(it);
            return;
        }
    }
}

void TIKView::CallBitmapChangeListeners()
{
    // The count is taken once; a listener that removes itself must not make us skip or
    // run past the end, so the entries are copied first.
    const std::vector<Listener> entries = listeners_;
    for (const Listener& l : entries)
        if (l.proc)
            l.proc(l.data, this);
}

void TIKView::SetBackground(TColor color) { background_ = color; }

TBitmap* TIKView::GetBitmap() { return nullptr; }

void TIKView::SetDpiX(int dpi) { dpiX_ = dpi; }
void TIKView::SetDpiY(int dpi) { dpiY_ = dpi; }

void TIKView::SetDpi(int x, int y)
{
    SetDpiX(x);
    SetDpiY(y);
}

void TIKView::ImageChanged() {}
