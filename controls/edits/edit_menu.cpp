// Finding a line edit's standard context-menu actions.
#include "controls/edits/edit_menu.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

QAction* FindEditMenuAction(QMenu* menu, TEditMenuAction which)
{
    if (!menu)
        return nullptr;
    struct Names {
        const char* object;
        QString caption;
    };
    // The captions are QLineEdit's, so they match in whatever language Qt speaks.
    const Names names[] = {
        {"edit-undo", QLineEdit::tr("&Undo")},    {"edit-redo", QLineEdit::tr("&Redo")},
        {"edit-cut", QLineEdit::tr("Cu&t")},      {"edit-paste", QLineEdit::tr("&Paste")},
        {"edit-delete", QLineEdit::tr("Delete")},
    };
    const Names& n = names[int(which)];
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(n.object))
            return a;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->text().section(QLatin1Char('\t'), 0, 0) == n.caption)
            return a;
    return nullptr;
}

void RouteEditMenuAction(QMenu* menu, TEditMenuAction which, QObject* receiver, const std::function<void()>& fn)
{
    if (QAction* a = FindEditMenuAction(menu, which)) {
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
        QObject::connect(a, &QAction::triggered, receiver, fn);
    }
}
