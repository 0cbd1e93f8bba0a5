// The control base (TCustomControl), shift states and mouse events.
#pragma once
#include "platform/core/color.h"
#include "platform/core/events.h"
#include "platform/core/geometry.h"

#include <QWidget>
#include <functional>
#include <memory>

class QScrollBar;
class TCanvas;
class QPainter;

// Shift state of mouse and key events.
enum TShiftStateItem : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6
};
using TShiftState = unsigned;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TBorderStyle { bsNone, bsSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind { sbHorizontal, sbVertical };
// Scroll codes in the order of Windows' SB_ codes.
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key codes are Qt::Key values; a handler may set Key to 0 to swallow it.
using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;

// Shift state from Qt's modifiers and held buttons.
TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// Base of the custom controls: a QWidget with an outer size (Width/Height) and a client
// area inside the border and the window scroll bars (ClientWidth/ClientHeight). Mouse
// coordinates handed to MouseDown/MouseMove/MouseUp are client coordinates. The window
// scroll bars follow Windows' rules: a range min…max, a page, and a position
// clamped to min … max − max(page − 1, 0); user actions arrive as scroll codes through
// Scroll() and do not move the bar by themselves.
class TCustomControl : public QWidget {
    Q_OBJECT
public:
    explicit TCustomControl(QWidget* parent = nullptr);
    ~TCustomControl() override;

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetWidth(int w) { SetBounds(Left(), Top(), w, Height()); }
    void SetHeight(int h) { SetBounds(Left(), Top(), Width(), h); }
    virtual void SetBounds(int left, int top, int width, int height);

    int ClientWidth() const;
    int ClientHeight() const;
    TRect ClientRect() const { return TRect(0, 0, ClientWidth(), ClientHeight()); }
    // Top-left corner of the client area in widget coordinates.
    QPoint ClientOrigin() const;
    int BorderWidth() const;

    // Window scroll bars.
    void ShowScrollBar(TScrollBarKind kind, bool show);
    bool ScrollBarVisible(TScrollBarKind kind) const;
    void SetScrollRange(TScrollBarKind kind, int min, int max);
    void SetScrollPage(TScrollBarKind kind, int page);
    void SetScrollPos(TScrollBarKind kind, int pos);
    int ScrollPos(TScrollBarKind kind) const;
    int ScrollMin(TScrollBarKind kind) const;
    int ScrollMax(TScrollBarKind kind) const;
    int ScrollPage(TScrollBarKind kind) const;
    // Delivers a scroll message as the window system would (tests use it too).
    void SendScroll(TScrollBarKind kind, TScrollCode code, int pos = 0) { Scroll(kind, code, pos); }

    void Invalidate() { update(); }
    void Repaint() { repaint(); }

    // Screen cursor number (crDefault 0, the standard negative numbers, registered ones).
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor);

    // True while a mouse button is held on the control.
    bool MouseCapture() const { return captured_; }
    void SetMouseCapture(bool capture);
    // Cursor position in client coordinates as the last mouse event reported it.
    QPoint CursorClientPos() const { return lastMouse_; }

    // The canvas of the paint in progress (null outside Paint), origin at the client area.
    TCanvas* Canvas() const { return canvas_; }
    // The painter behind Canvas() during Paint, same origin and clip.
    QPainter* Painter() const { return painter_; }

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnResize;

protected:
    // Single border: a 2-pixel sunken edge around the client area.
    void SetFrameStyle(TBorderStyle style);
    TBorderStyle FrameStyle() const { return frame_; }

    virtual void Paint() {}
    // Called after the client size changed (resize, a scroll bar shown or hidden).
    virtual void Resize();
    virtual void Scroll(TScrollBarKind kind, TScrollCode code, int pos);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A double click arrives as a mouse down carrying ssDouble, then DblClick.
    virtual void DoubleClick(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(QChar& key);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct Bar;
    Bar& bar(TScrollBarKind kind) const;
    void layoutBars();
    void barAction(TScrollBarKind kind, int action);
    QPoint toClient(const QPointF& p) const;

    std::unique_ptr<Bar> hbar_;
    std::unique_ptr<Bar> vbar_;
    TBorderStyle frame_ = bsNone;
    int cursor_ = 0;
    bool captured_ = false;
    bool pressMoved_ = false;
    QPoint lastMouse_;
    TCanvas* canvas_ = nullptr;
    QPainter* painter_ = nullptr;
};

// The platform reports the newer control style (flat bevels, shell folder browser);
// controls that choose their look or dialog by it always get true here.
inline bool NewStyleControls() { return true; }

// Converts a Qt mouse button; false for buttons other than left, right and middle.
bool MouseButtonFrom(Qt::MouseButton b, TMouseButton& out);
