// The recent-file list (THistoryList) bound to a menu.
#pragma once
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QAction;


// Called with the callback's data (the main window), the bound menu and the file name.
using THistoryClickEvent = std::function<void(QObject* Sender, QMenu* Item, const QString& FileName)>;

// The recent-file list: full file names, most recent first, at most MaxCount,
// mirrored as numbered items "&1 name" after a separator at the end of a menu.
// Names compare with letter case, as the file system does.
class THistoryList : public QObject {
    Q_OBJECT
public:
    explicit THistoryList(QObject* parent = nullptr);
    ~THistoryList() override;

    int MaxCount() const { return maxCount_; }
    void SetMaxCount(int count);
    int Count() const { return static_cast<int>(names_.size()); }
    QString Strings(int index) const;
    const QStringList& Names() const { return names_; }
    int IndexOf(const QString& name) const { return names_.indexOf(name); }
    // Empties the list and its menu mirror.
    void Clear();

    // Binds the list to a menu; items the menu holds already are never touched.
    void SetMenuItem(QMenu* item);
    QMenu* MenuItem() const { return menu_; }
    void SetOnClick(QObject* data, THistoryClickEvent callback);

    // Puts a name at the top; an existing equal name moves there, the oldest beyond
    // MaxCount drops out.
    void PushName(const QString& name);

    void ClearMenu();
    void RebuildMenu();
    void ItemClick(QAction* item);

private:
    QStringList names_;
    int maxCount_ = 10;
    QPointer<QMenu> menu_;
    int ownItems_ = 0;
    THistoryClickEvent onClick_;
    QPointer<QObject> data_;
};
