// Making tool-bar buttons and connecting menu items and buttons to their handlers.
#pragma once
#include <QString>
#include <functional>

class QAction;
class QObject;
class QToolBar;
class QToolButton;

// A button with its glyph and German hint, off until its command is available; before
// the given action, or last.
QToolButton* MakeBarButton(QToolBar* bar, const char* name, const char* hint, bool checkable,
                           QAction* before = nullptr);
// The handler runs guarded, in context; the control is on unless the availability has
// already switched it off.
void WireItem(QObject* context, QAction* action, std::function<void()> handler);
void WireButton(QObject* context, QToolButton* button, std::function<void()> handler);
