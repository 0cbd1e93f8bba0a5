// Scoped test settings shared by the number-entry tests: count the beeps, pin the
// decimal and thousand separators; both are put back when the scope ends.
#pragma once
#include "platform/core/number_format.h"
#include "platform/ui/dialogs.h"

#include <QChar>

struct Beeps {
    int count = 0;
    Beeps()
    {
        SetBeepHook([this] { ++count; });
    }
    ~Beeps() { SetBeepHook(nullptr); }
};

struct Separators {
    QChar dec = DecimalSeparator(), thou = ThousandSeparator();
    Separators(QChar d, QChar t)
    {
        SetDecimalSeparator(d);
        SetThousandSeparator(t);
    }
    ~Separators()
    {
        SetDecimalSeparator(dec);
        SetThousandSeparator(thou);
    }
};

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <stdexcept>

// Opens the widget's context menu as a right click would and hands the open menu to
// pick (which may trigger one of its actions); the menu is closed afterwards.
inline void WithContextMenu(QWidget* w, const std::function<void(QMenu*)>& pick)
{
    bool seen = false;
    QTimer::singleShot(0, w, [&] {
        if (auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            seen = true;
            pick(m);
            m->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), w->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(w, &event);
    if (!seen)
        throw std::logic_error("no context menu opened");
}

// Drags text over the widget's left edge and drops it there, as from another program;
// true when the widget took the drop.
inline bool DropText(QWidget* w, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPointF at(2, w->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    return drop.isAccepted();
}
