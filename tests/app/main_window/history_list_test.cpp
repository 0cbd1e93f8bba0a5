// The recent-file list and its menu items.
#include "app/main_window/history_list.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

QStringList captions(QMenu& m)
{
    QStringList out;
    for (QAction* a : m.actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

}  // namespace

TEST(HistoryList, NewestFirstAndEleventhPushesOutTheOldest)
{
    QMenu menu;
    THistoryList h;
    h.SetMenuItem(&menu);
    EXPECT_EQ(h.MaxCount(), 10);
    EXPECT_EQ(captions(menu), QStringList{QStringLiteral("-")});
    for (int i = 1; i <= 11; ++i)
        h.PushName(QStringLiteral("/bilder/%1.jpg").arg(i));
    ASSERT_EQ(h.Count(), 10);
    EXPECT_EQ(h.Strings(0), QStringLiteral("/bilder/11.jpg"));
    EXPECT_EQ(h.Strings(9), QStringLiteral("/bilder/2.jpg"));
    const QStringList items = captions(menu);
    ASSERT_EQ(items.size(), 11);
    EXPECT_EQ(items[0], QStringLiteral("-"));
    EXPECT_EQ(items[1], QStringLiteral("&1 /bilder/11.jpg"));
    EXPECT_EQ(items[10], QStringLiteral("&10 /bilder/2.jpg"));
}

TEST(HistoryList, ReaddedNameMovesToTheTopWithoutDuplicate)
{
    QMenu menu;
    THistoryList h;
    h.SetMenuItem(&menu);
    h.PushName(QStringLiteral("/a.jpg"));
    h.PushName(QStringLiteral("/b.jpg"));
    h.PushName(QStringLiteral("/c.jpg"));
    h.PushName(QStringLiteral("/a.jpg"));
    EXPECT_EQ(h.Names(), (QStringList{"/a.jpg", "/c.jpg", "/b.jpg"}));
    EXPECT_EQ(captions(menu), (QStringList{"-", "&1 /a.jpg", "&2 /c.jpg", "&3 /b.jpg"}));
    // Linux file names differ by letter case: another file.
    h.PushName(QStringLiteral("/A.jpg"));
    EXPECT_EQ(h.Count(), 4);
    EXPECT_EQ(h.Strings(0), QStringLiteral("/A.jpg"));
    EXPECT_EQ(h.Strings(1), QStringLiteral("/a.jpg"));
}

TEST(HistoryList, MenuOwnItemsStayAndRebindingCleansTheOldMenu)
{
    QMenu first, second;
    first.addAction(QStringLiteral("Eigener Eintrag"));
    THistoryList h;
    h.SetMenuItem(&first);
    h.PushName(QStringLiteral("/x.png"));
    h.PushName(QStringLiteral("/y.png"));
    EXPECT_EQ(captions(first), (QStringList{"Eigener Eintrag", "-", "&1 /y.png", "&2 /x.png"}));
    h.SetMenuItem(&second);
    EXPECT_EQ(captions(first), QStringList{QStringLiteral("Eigener Eintrag")});
    EXPECT_EQ(captions(second), (QStringList{"-", "&1 /y.png", "&2 /x.png"}));
    h.Clear();
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(captions(second), QStringList{QStringLiteral("-")});
}

TEST(HistoryList, ClickingAnItemReportsItsFile)
{
    QMenu menu;
    QObject owner;
    THistoryList h;
    h.SetMenuItem(&menu);
    QStringList opened;
    QObject* gotSender = nullptr;
    QMenu* gotMenu = nullptr;
    h.SetOnClick(&owner, [&](QObject* sender, QMenu* item, const QString& name) {
        gotSender = sender;
        gotMenu = item;
        opened << name;
        h.PushName(name);  // opening a file puts it on top again, as the main window does
    });
    for (const char* n : {"/1 mit Blank.jpg", "/2.jpg", "/3.jpg"})
        h.PushName(QString::fromUtf8(n));
    // "&3 /1 mit Blank.jpg": the number ends at the first blank.
    menu.actions().at(3)->trigger();
    EXPECT_EQ(opened, QStringList{QStringLiteral("/1 mit Blank.jpg")});
    EXPECT_EQ(gotSender, &owner);
    EXPECT_EQ(gotMenu, &menu);
    EXPECT_EQ(h.Strings(0), QStringLiteral("/1 mit Blank.jpg"));
    EXPECT_EQ(captions(menu).at(1), QStringLiteral("&1 /1 mit Blank.jpg"));

    // Items whose caption carries no usable number do nothing.
    QAction stray(QStringLiteral("&0 /nix"));
    h.ItemClick(&stray);
    QAction beyond(QStringLiteral("&42 /nix"));
    h.ItemClick(&beyond);
    QAction garbage(QStringLiteral("Hallo"));
    h.ItemClick(&garbage);
    EXPECT_EQ(opened.size(), 1);
}
