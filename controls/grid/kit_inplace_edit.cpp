// The kit grid's in-place editor and its pick list.
#include "controls/draw/kit_resources.h"
#include "controls/draw/masked_draw.h"
#include "controls/grid/kit_draw_grid.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/edges.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {
constexpr int MaxSearch = 32;
constexpr qint64 SearchRestartMs = 4000;
constexpr int VisibleItems = 8;

qint64 monotonicMs()
{
    static QElapsedTimer t = [] {
        QElapsedTimer e;
        e.start();
        return e;
    }();
    // Never 0, so that the first key always starts a new search.
    return t.elapsed() + SearchRestartMs + 1;
}
}  // namespace

// ---- pick list ------------------------------------------------------------------------

TPopupListbox::TPopupListbox(TKitInplaceEdit* editor) : QListWidget(editor), Clock(monotonicMs), editor_(editor)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setUniformItemSizes(true);
    hide();
}

int TPopupListbox::ItemHeight() const { return std::max(11, fontMetrics().height()); }

void TPopupListbox::SearchKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Escape) {
        search_.clear();
        return;
    }
    const QString t = event->text();
    if (t.isEmpty() || t.at(0).unicode() < 32)
        return;
    const qint64 now = Clock();
    if (now - lastKey_ > SearchRestartMs)
        search_.clear();
    lastKey_ = now;
    if (search_.size() < MaxSearch)
        search_ += t.at(0);
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text().startsWith(search_, Qt::CaseInsensitive)) {
            setCurrentRow(i);
            break;
        }
    }
}

void TPopupListbox::keyPressEvent(QKeyEvent* event)
{
    const QString t = event->text();
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Escape ||
        (!t.isEmpty() && t.at(0).unicode() >= 32)) {
        SearchKey(event);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    editor_->CloseUp(rect().contains(event->position().toPoint()));
}

// ---- editor ---------------------------------------------------------------------------

TKitInplaceEdit::TKitInplaceEdit(TKitDrawGrid* grid)
    : TInplaceEdit(grid), buttonWidth_(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent))
{
    updateMargins();
}

TKitDrawGrid* TKitInplaceEdit::kitGrid() const { return static_cast<TKitDrawGrid*>(Grid()); }

void TKitInplaceEdit::updateMargins() { setTextMargins(2, 2, 2 + (style_ == ieSimple ? 0 : buttonWidth_), 0); }

void TKitInplaceEdit::SetEditStyle(TInplaceEditStyle s)
{
    if (s == style_)
        return;
    if (listVisible_)
        CloseUp(false);
    style_ = s;
    updateMargins();
    update();
}

void TKitInplaceEdit::SetEditAlignment(TTextAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    setAlignment(a == taRightJustify ? Qt::AlignRight | Qt::AlignVCenter
                 : a == taCenter     ? Qt::AlignHCenter | Qt::AlignVCenter
                                     : Qt::AlignLeft | Qt::AlignVCenter);
}

QRect TKitInplaceEdit::ButtonRect() const
{
    if (style_ == ieSimple)
        return QRect();
    return QRect(width() - buttonWidth_, 0, buttonWidth_, height());
}

void TKitInplaceEdit::resizeEvent(QResizeEvent* event)
{
    TInplaceEdit::resizeEvent(event);
    updateMargins();
}

void TKitInplaceEdit::paintEvent(QPaintEvent* event)
{
    TInplaceEdit::paintEvent(event);
    if (style_ == ieSimple)
        return;
    QPainter p(this);
    TCanvas cv(&p);
    const QRect b = ButtonRect();
    const TRect r = TRect::fromQRect(b);
    cv.Brush.Color = clBtnFace;
    cv.FillRect(r);
    if (style_ == ieEllipsis) {
        if (!pressed_)
            DrawInnerEdge(cv, r, false);
        const int d = std::clamp((buttonWidth_ - 12) / 2, 1, 3);
        const int span = 3 * 2 + 2 * d;
        int x = r.Left + (buttonWidth_ - span) / 2 + (pressed_ ? 1 : 0);
        const int y = r.Top + (r.Height() - 2) / 2;
        cv.Brush.Color = clBlack;
        for (int i = 0; i < 3; ++i, x += d + 2)
            cv.FillRect(TRect(x, y, x + 2, y + 2));
    } else {
        DrawInnerEdge(cv, r, pressed_);
        if (auto arrow = LoadResourceBitmap(rmNone, TResId::Numbered(OBM_COMBO))) {
            const int off = pressed_ ? 1 : 0;
            DrawBitmapMasked(cv, r.Left + (r.Width() - arrow->Width()) / 2 + off,
                             r.Top + (r.Height() - arrow->Height()) / 2 + off, *arrow, clBtnFace);
        }
    }
}

void TKitInplaceEdit::DropDown()
{
    if (style_ != iePickList || listVisible_)
        return;
    if (!pickList_)
        pickList_ = new TPopupListbox(this);
    pickList_->clear();
    pickList_->setFont(font());
    pickList_->setPalette(palette());
    pickList_->addItems(kitGrid()->PickListItems());
    const int n = pickList_->count();
    const int ih = pickList_->ItemHeight();
    for (int i = 0; i < n; ++i)
        pickList_->item(i)->setSizeHint(QSize(0, ih));
    const int h = std::min(n, VisibleItems) * ih + 4;
    int w = width();
    // The list grows to its widest item.
    int widest = 0;
    for (int i = 0; i < n; ++i)
        widest = std::max(widest, pickList_->fontMetrics().horizontalAdvance(pickList_->item(i)->text()) + 8);
    if (n > VisibleItems)
        widest += pickList_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    w = std::max(w, widest + 4);
    pickList_->setVerticalScrollBarPolicy(n > VisibleItems ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    pickList_->resize(w, h);
    const auto found = pickList_->findItems(text(), Qt::MatchExactly);
    pickList_->setCurrentRow(found.isEmpty() ? -1 : pickList_->row(found.first()));
    QPoint at = mapToGlobal(QPoint(0, height()));
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int bottom = s ? s->geometry().bottom() + 1 : 768;
    if (at.y() + h > bottom)
        at.setY(mapToGlobal(QPoint(0, 0)).y() - h);
    pickList_->move(at);
    pickList_->show();
    pickList_->raise();
    listVisible_ = true;
    update();
}

void TKitInplaceEdit::CloseUp(bool accept)
{
    if (!listVisible_ || !pickList_)
        return;
    if (QWidget* g = QWidget::mouseGrabber())
        g->releaseMouse();
    const QListWidgetItem* item = pickList_->currentItem();
    const QString value = item ? item->text() : QString();
    pickList_->hide();
    listVisible_ = false;
    pressed_ = false;
    tracking_ = false;
    update();
    if (accept && item && kitGrid()->CellModifiable() && !isReadOnly()) {
        setText(value);
        selectAll();
        kitGrid()->EditorTextChanged();
    }
}

bool TKitInplaceEdit::HandleKey(QKeyEvent* event)
{
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (style_ == ieEllipsis && enter && (event->modifiers() & Qt::ControlModifier)) {
        kitGrid()->EditButtonClick();
        return true;
    }
    if (style_ == iePickList && alt && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (listVisible_)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    if (!listVisible_)
        return false;
    if (enter || key == Qt::Key_Escape) {
        CloseUp(enter);
        return true;
    }
    // Everything else goes to the list while it is down.
    QKeyEvent copy(event->type(), key, event->modifiers(), event->text());
    QApplication::sendEvent(pickList_, &copy);
    return true;
}

void TKitInplaceEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && ButtonRect().contains(event->position().toPoint())) {
        if (style_ == iePickList) {
            if (listVisible_) {
                CloseUp(false);
            } else {
                DropDown();
                tracking_ = true;
            }
        } else {
            tracking_ = true;
            pressed_ = true;
            update();
        }
        event->accept();
        return;
    }
    if (listVisible_)
        CloseUp(false);
    TInplaceEdit::mousePressEvent(event);
}

void TKitInplaceEdit::mouseMoveEvent(QMouseEvent* event)
{
    // The standard arrow over the button, the text cursor elsewhere.
    if (ButtonRect().contains(event->position().toPoint()))
        setCursor(Qt::ArrowCursor);
    else
        unsetCursor();
    if (tracking_ && style_ == ieEllipsis) {
        const bool on = ButtonRect().contains(event->position().toPoint());
        if (on != pressed_) {
            pressed_ = on;
            update();
        }
        return;
    }
    if (tracking_ && listVisible_ && pickList_) {
        // Dragging from the arrow into the list selects there.
        const QPoint p = pickList_->viewport()->mapFromGlobal(event->globalPosition().toPoint());
        if (QListWidgetItem* it = pickList_->itemAt(p))
            pickList_->setCurrentItem(it);
        return;
    }
    TInplaceEdit::mouseMoveEvent(event);
}

void TKitInplaceEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (tracking_) {
        tracking_ = false;
        if (style_ == ieEllipsis) {
            const bool click = pressed_ && ButtonRect().contains(event->position().toPoint());
            pressed_ = false;
            update();
            if (click)
                kitGrid()->EditButtonClick();
        } else if (listVisible_ && pickList_) {
            const QPoint p = pickList_->mapFromGlobal(event->globalPosition().toPoint());
            if (pickList_->rect().contains(p))
                CloseUp(true);
        }
        event->accept();
        return;
    }
    TInplaceEdit::mouseReleaseEvent(event);
}

void TKitInplaceEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (ButtonRect().contains(event->position().toPoint())) {
        event->accept();
        return;
    }
    TInplaceEdit::mouseDoubleClickEvent(event);
}

void TKitInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    if (listVisible_)
        CloseUp(false);
    TInplaceEdit::focusOutEvent(event);
}
