// The text-changing actions of a line edit's standard context menu.
#pragma once

#include <functional>

class QAction;
class QMenu;
class QObject;

// The actions of a line edit's standard context menu that change its text.
enum class TEditMenuAction { Undo, Redo, Cut, Paste, Delete };

// Finds one of them in a menu made by QLineEdit::createStandardContextMenu, by the
// object name newer Qt versions give it or else by Qt's own (translated) caption;
// null when the menu has no such action.
QAction* FindEditMenuAction(QMenu* menu, TEditMenuAction which);
// Makes the action run fn (within receiver's lifetime) instead of the line edit's own slot.
void RouteEditMenuAction(QMenu* menu, TEditMenuAction which, QObject* receiver, const std::function<void()>& fn);
