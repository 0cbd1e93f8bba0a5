// Mouse, keys, scroll bars and playback of the multi-image view.

#include "imaging/view/multi_view.h"

#include "platform/graphics/canvas.h"
#include "platform/ui/timer.h"

#include <QFocusEvent>
#include <algorithm>

void TImageKitMView::scrollTo(int x, int y) { SetViewXY(x, y); }

void TImageKitMView::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    setFocus(Qt::MouseFocusReason);
    downPoint_ = QPoint(x, y);
    downViewX_ = viewX_;
    downViewY_ = viewY_;
    TIKView::MouseDown(button, shift, x, y);
}

void TImageKitMView::MouseMove(TShiftState shift, int x, int y)
{
    if (MouseCapture() && (mouseInteract_ & mmiScroll))
        scrollTo(downViewX_ + downPoint_.x() - x, downViewY_ + downPoint_.y() - y);
    TIKView::MouseMove(shift, x, y);
}

void TImageKitMView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!playing_) {
        if (mouseInteract_ & mmiSelect) {
            for (int n = 0; n < ImageCount(); ++n) {
                const TRect r = ImageRect(n);
                const int left = r.Left - viewX_, top = r.Top - viewY_;
                if (x >= left && x <= left + thumbW_ - 1 && y >= top && y <= top + thumbH_) {
                    deselect(false);
                    selected_ = n;
                    GetImageBitmap(n);
                    if (visibleSelection_)
                        Update();
                    if (OnImageSelect)
                        OnImageSelect(this, selected_);
                    CallBitmapChangeListeners();
                    break;
                }
            }
        }
        if (mouseInteract_ & mmiScroll)
            scrollTo(downViewX_ + downPoint_.x() - x, downViewY_ + downPoint_.y() - y);
    }
    TIKView::MouseUp(button, shift, x, y);
}

int TImageKitMView::pageCells() const
{
    const int step = vertBorder_ + thumbH_;
    if (gridWidth_ == 0 || step <= 0)
        return 0;
    return ColumnCount() * ((ClientHeight() - vertBorder_) / step);
}

void TImageKitMView::KeyDown(int& key, TShiftState shift)
{
    TIKView::KeyDown(key, shift);
    if (playing_ || ImageCount() == 0)
        return;
    const int last = ImageCount() - 1;
    const int n = ColumnCount();
    const int sel = selected_;
    auto select = [this](int i) { SetSelectedImage(i); };
    auto cell = [this]() { return ImageRect(selected_); };
    auto hidden = [this]() { return ImageVisibility(selected_) != 2; };
    // Bring the cell in from the left/top (towards the start) or the right/bottom.
    auto upwards = [&]() {
        if (!hidden())
            return;
        SetViewY(cell().Top - vertBorder_);
        if (hidden())
            SetViewX(cell().Left - horizBorder_);
    };
    auto downwards = [&]() {
        if (!hidden())
            return;
        SetViewY(cell().Top + thumbH_ + vertBorder_ - ClientHeight());
        if (hidden())
            SetViewX(cell().Left + thumbW_ + horizBorder_ - ClientWidth());
    };
    switch (key) {
    case Qt::Key_Home:
        select(0);
        if (hidden())
            scrollTo(0, 0);
        break;
    case Qt::Key_End:
        select(last);
        downwards();
        break;
    default:
        if (!valid(sel))
            return;
        switch (key) {
        case Qt::Key_Left:
            select(sel - 1);
            if (hidden())
                scrollTo(cell().Left - horizBorder_, cell().Top - vertBorder_);
            break;
        case Qt::Key_Right:
            select(sel + 1);
            if (hidden())
                scrollTo(cell().Left + thumbW_ + horizBorder_ - ClientWidth(),
                         cell().Top + thumbH_ + vertBorder_ - ClientHeight());
            break;
        case Qt::Key_Up:
            select(gridWidth_ != 0 ? std::max(sel - n, 0) : sel - 1);
            upwards();
            break;
        case Qt::Key_PageUp:
            select(sel - pageCells());
            upwards();
            break;
        case Qt::Key_Down:
            select(gridWidth_ != 0 ? std::min(sel + n, last) : sel + 1);
            downwards();
            break;
        case Qt::Key_PageDown:
            select(sel + pageCells());
            downwards();
            break;
        default: return;
        }
    }
    key = 0;
    Update();
}

void TImageKitMView::focusInEvent(QFocusEvent* event)
{
    TIKView::focusInEvent(event);
    Invalidate();
}

void TImageKitMView::focusOutEvent(QFocusEvent* event)
{
    TIKView::focusOutEvent(event);
    Invalidate();
}

void TImageKitMView::Scroll(TScrollBarKind kind, TScrollCode code, int pos)
{
    const bool h = kind == sbHorizontal;
    int mx, my;
    maxViewXY(mx, my);
    const int cur = h ? viewX_ : viewY_;
    const int page = h ? thumbW_ : thumbH_;
    int to = cur;
    switch (code) {
    case scLineUp: to = cur - 1; break;
    case scLineDown: to = cur + 1; break;
    case scPageUp: to = cur - page; break;
    case scPageDown: to = cur + page; break;
    case scPosition:
    case scTrack: to = pos; break;
    case scTop: to = 0; break;
    case scBottom: to = h ? mx : my; break;
    default: return;
    }
    if (h)
        SetViewX(to);
    else
        SetViewY(to);
}

// ---- playback ------------------------------------------------------------------

void TImageKitMView::SetPlaying(bool on)
{
    if (on) {
        if (playing_)
            return;
        savedMode_ = displayMode_;
        savedSelected_ = selected_;
        deselect(false);
        playing_ = true;
        playStep();
    } else {
        if (!playing_)
            return;
        playing_ = false;
        playStep();
        displayMode_ = savedMode_;
        Update();
        SetSelectedImage(savedSelected_);
    }
}

void TImageKitMView::stopTimer()
{
    if (timer_)
        timer_->SetEnabled(false);
}

void TImageKitMView::playStep()
{
    if (inStep_ || destroying_)
        return;
    inStep_ = true;
    struct Done {
        bool& f;
        ~Done() { f = false; }
    } done{inStep_};
    stopTimer();
    if (!playing_)
        return;
    if (displayMode_ != mdSingle) {
        displayMode_ = mdSingle;
        Update();
    }
    playIndex_ = std::min(playIndex_, ImageCount() - 1);
    if (ImageCount() == 0) {
        playIndex_ = 0;
        return;
    }
    playIndex_ = std::max(playIndex_, 0);
    const int shown = playIndex_;
    repaint();
    if (playIndex_ == ImageCount() - 1) {
        playIndex_ = 0;
        CallBitmapChangeListeners();
        if (!PlayLoop) {
            playing_ = false;
            return;
        }
    } else {
        ++playIndex_;
    }
    // Never faster than one image per 10 ms.
    timer_->SetInterval(std::max(images_[size_t(shown)].delay, 10));
    timer_->SetEnabled(true);
}
