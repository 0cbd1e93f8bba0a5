// The recent-file list and the numbered menu items that mirror it.
#include "app/main_window/history_list.h"

#include <QAction>
#include <QMenu>

THistoryList::THistoryList(QObject* parent) : QObject(parent) {}

THistoryList::~THistoryList() { ClearMenu(); }

void THistoryList::SetMaxCount(int count)
{
    maxCount_ = count < 0 ? 0 : count;
    while (names_.size() > maxCount_)
        names_.removeLast();
    ClearMenu();
    RebuildMenu();
}

QString THistoryList::Strings(int index) const
{
    if (index < 0 || index >= names_.size())
        return QString();
    return names_[index];
}

void THistoryList::Clear()
{
    names_.clear();
    ClearMenu();
    RebuildMenu();
}

void THistoryList::SetMenuItem(QMenu* item)
{
    if (menu_)
        ClearMenu();
    menu_ = item;
    ownItems_ = item ? static_cast<int>(item->actions().size()) : 0;
    RebuildMenu();
}

void THistoryList::SetOnClick(QObject* data, THistoryClickEvent callback)
{
    data_ = data;
    onClick_ = std::move(callback);
}

void THistoryList::PushName(const QString& name)
{
    const int at = names_.indexOf(name);
    if (at >= 0)
        names_.removeAt(at);
    names_.insert(0, name);
    while (names_.size() > maxCount_)
        names_.removeLast();
    ClearMenu();
    RebuildMenu();
}

void THistoryList::ClearMenu()
{
    if (!menu_)
        return;
    QList<QAction*> actions = menu_->actions();
    while (actions.size() > ownItems_) {
        QAction* a = actions.takeLast();
        menu_->removeAction(a);
        // The clicked item may be the one going: it still runs its signal.
        a->deleteLater();
    }
}

void THistoryList::RebuildMenu()
{
    if (!menu_)
        return;
    QAction* sep = new QAction(menu_);
    sep->setSeparator(true);
    menu_->addAction(sep);
    for (int i = 0; i < names_.size(); ++i) {
        QAction* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(names_[i]), menu_);
        connect(a, &QAction::triggered, this, [this, a] { ItemClick(a); });
        menu_->addAction(a);
    }
}

void THistoryList::ItemClick(QAction* item)
{
    if (!onClick_ || !item)
        return;
    // The number sits between the leading "&" and the first blank.
    const QString caption = item->text();
    const int blank = caption.indexOf(QLatin1Char(' '));
    if (blank < 2)
        return;
    bool ok = false;
    const int number = caption.mid(1, blank - 1).toInt(&ok, 10);
    if (!ok || number <= 0 || number > names_.size())
        return;
    const QString name = names_[number - 1];  // the callback may push names
    onClick_(data_, menu_, name);
}
