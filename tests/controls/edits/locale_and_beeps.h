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
