// Window hooks: order, eaten events, exceptions and either side destroyed first.
#include "controls/hooks/window_hook.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Records the key and mouse presses that reach its own handlers.
struct Target : QWidget {
    QStringList seen;
    Target()
    {
        setFocusPolicy(Qt::StrongFocus);
        resize(120, 80);
    }
    void keyPressEvent(QKeyEvent* e) override { seen << QStringLiteral("key %1").arg(e->key()); }
    void mousePressEvent(QMouseEvent*) override { seen << QStringLiteral("mouse"); }
};

// Events of one type are logged as "<name> before" and "<name> after".
void watch(TKitWindowHook& hook, QStringList& log, const QString& name, QEvent::Type type, bool eat = false)
{
    hook.BeforeMessage = [&log, name, type, eat](TObject*, TMessage& m, bool& handled) {
        if (m.Msg != type)
            return;
        log << name + QStringLiteral(" before");
        handled = eat;
    };
    hook.AfterMessage = [&log, name, type](TObject*, TMessage& m, bool&) {
        if (m.Msg == type)
            log << name + QStringLiteral(" after");
    };
}

// Lets the queued frees and reinstalls run.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

int controlHookCount() { return THookList::Instance(false) ? THookList::Instance(false)->Count() : 0; }

}  // namespace

TEST(WindowHook, SeesAndEatsKeyAndMouseEvents)
{
    Target t;
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    TKitWindowHook hook;
    bool eat = false;
    QStringList log;
    hook.BeforeMessage = [&](TObject* sender, TMessage& m, bool& handled) {
        EXPECT_EQ(sender, &hook);
        if (m.Msg == QEvent::KeyPress || m.Msg == QEvent::MouseButtonPress) {
            log << QStringLiteral("before %1").arg(int(m.Msg));
            handled = eat;
        }
    };
    hook.AfterMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress || m.Msg == QEvent::MouseButtonPress)
            log << QStringLiteral("after %1 result %2").arg(int(m.Msg)).arg(m.Result);
    };
    hook.SetWinControl(&t);
    EXPECT_EQ(hook.WinControl(), &t);

    QTest::keyClick(&t, Qt::Key_A);
    QTest::mouseClick(&t, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(t.seen, QStringList({QStringLiteral("key %1").arg(Qt::Key_A), QStringLiteral("mouse")}));
    EXPECT_EQ(log, QStringList({QStringLiteral("before 6"), QStringLiteral("after 6 result 1"),
                                QStringLiteral("before 2"), QStringLiteral("after 2 result 1")}));

    // Eaten: the control and the after-handler never see it.
    eat = true;
    log.clear();
    t.seen.clear();
    QTest::keyClick(&t, Qt::Key_B);
    QTest::mouseClick(&t, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(t.seen.isEmpty());
    EXPECT_EQ(log, QStringList({QStringLiteral("before 6"), QStringLiteral("before 2")}));

    // Inactive: nothing is watched.
    hook.SetActive(false);
    log.clear();
    QTest::keyClick(&t, Qt::Key_C);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(t.seen, QStringList({QStringLiteral("key %1").arg(Qt::Key_C)}));
}

TEST(WindowHook, NewestHookFirstAndHandledStopsTheRest)
{
    Target t;
    TKitWindowHook first, second;
    QStringList log;
    watch(first, log, QStringLiteral("first"), QEvent::KeyPress);
    watch(second, log, QStringLiteral("second"), QEvent::KeyPress);
    first.SetWinControl(&t);
    second.SetWinControl(&t);
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"second before", "first before", "second after", "first after"}));
    EXPECT_EQ(t.seen.size(), 1);

    log.clear();
    t.seen.clear();
    watch(second, log, QStringLiteral("second"), QEvent::KeyPress, true);
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"second before"}));
    EXPECT_TRUE(t.seen.isEmpty());
}

TEST(WindowHook, HandlerExceptionsGoToTheApplicationAndTheLoopGoesOn)
{
    Target t;
    TKitWindowHook first, second;
    QStringList log, errors;
    watch(first, log, QStringLiteral("first"), QEvent::KeyPress);
    second.BeforeMessage = [](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress)
            throw Exception(QStringLiteral("boom"));
    };
    first.SetWinControl(&t);
    second.SetWinControl(&t);
    const auto saved = TApplication::OnException;
    TApplication::OnException = [&](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    QTest::keyClick(&t, Qt::Key_A);
    TApplication::OnException = saved;
    EXPECT_EQ(errors, QStringList({"boom"}));
    EXPECT_EQ(log, QStringList({"first before", "first after"}));
    EXPECT_EQ(t.seen.size(), 1);
}

TEST(WindowHook, UnhookingInEitherOrderLeavesTheControlAlone)
{
    for (const bool firstGoesFirst : {true, false}) {
        SCOPED_TRACE(firstGoesFirst);
        settle();
        const int before = controlHookCount();
        Target t;
        auto first = std::make_unique<TKitWindowHook>();
        auto second = std::make_unique<TKitWindowHook>();
        QStringList log;
        watch(*first, log, QStringLiteral("first"), QEvent::KeyPress);
        watch(*second, log, QStringLiteral("second"), QEvent::KeyPress);
        first->SetWinControl(&t);
        second->SetWinControl(&t);
        EXPECT_EQ(controlHookCount(), before + 1);

        (firstGoesFirst ? first : second)->SetWinControl(nullptr);
        QTest::keyClick(&t, Qt::Key_A);
        EXPECT_EQ(log, firstGoesFirst ? QStringList({"second before", "second after"})
                                      : QStringList({"first before", "first after"}));
        (firstGoesFirst ? second : first)->SetWinControl(nullptr);
        log.clear();
        QTest::keyClick(&t, Qt::Key_A);
        EXPECT_TRUE(log.isEmpty());
        EXPECT_EQ(t.seen.size(), 2);
        // The empty control hook is freed once the event loop runs.
        settle();
        EXPECT_EQ(controlHookCount(), before);
    }
}

TEST(WindowHook, ControlDestroyedFirstDetachesEveryHookAfterTellingThem)
{
    settle();
    const int before = controlHookCount();
    auto t = std::make_unique<Target>();
    TKitWindowHook first, second;
    int destroyNotes = 0;
    for (TKitWindowHook* h : {&first, &second}) {
        h->BeforeMessage = [&](TObject*, TMessage& m, bool& handled) {
            if (m.Msg == QEvent::Destroy) {
                ++destroyNotes;
                handled = true;  // must not keep the other hook from hearing it
            }
        };
        h->SetWinControl(t.get());
    }
    TKitWindowHook inactive;
    inactive.SetActive(false);
    inactive.SetWinControl(t.get());
    t.reset();
    EXPECT_EQ(destroyNotes, 2);
    EXPECT_EQ(first.WinControl(), nullptr);
    EXPECT_EQ(second.WinControl(), nullptr);
    EXPECT_EQ(inactive.WinControl(), nullptr);
    EXPECT_TRUE(first.Active());
    settle();
    EXPECT_EQ(controlHookCount(), before);
    // Hooks that lost their control can watch another one.
    Target other;
    QStringList log;
    watch(first, log, QStringLiteral("first"), QEvent::KeyPress);
    first.SetWinControl(&other);
    QTest::keyClick(&other, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"first before", "first after"}));
}

TEST(WindowHook, HookDestroyedFirstAndHookFreedByItsOwnHandler)
{
    Target t;
    QStringList log;
    auto doomed = std::make_unique<TKitWindowHook>();
    TKitWindowHook survivor;
    watch(survivor, log, QStringLiteral("survivor"), QEvent::KeyPress);
    survivor.SetWinControl(&t);
    doomed->SetWinControl(&t);
    doomed.reset();
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"survivor before", "survivor after"}));

    // A hook freed while its own handler runs: the after phase goes on without it.
    auto* selfFreeing = new TKitWindowHook;
    selfFreeing->BeforeMessage = [selfFreeing](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress)
            delete selfFreeing;
    };
    selfFreeing->SetWinControl(&t);
    log.clear();
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"survivor before", "survivor after"}));
    EXPECT_EQ(t.seen.size(), 2);
}

TEST(WindowHook, ControlFreedByABeforeHandler)
{
    auto* t = new Target;
    TKitWindowHook older, newer;
    QStringList log;
    watch(older, log, QStringLiteral("older"), QEvent::KeyPress);
    older.SetWinControl(t);
    newer.BeforeMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress)
            delete t;
    };
    newer.SetWinControl(t);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(t, &press);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(older.WinControl(), nullptr);
    EXPECT_EQ(newer.WinControl(), nullptr);
    settle();
}

TEST(WindowHook, ReCreatedWindowIsWatchedAgain)
{
    Target t;
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    TKitWindowHook hook;
    QStringList log;
    int destroyNotes = 0;
    watch(hook, log, QStringLiteral("hook"), QEvent::KeyPress);
    const auto before = hook.BeforeMessage;
    hook.BeforeMessage = [&, before](TObject* s, TMessage& m, bool& h) {
        destroyNotes += m.Msg == QEvent::PlatformSurface;
        before(s, m, h);
    };
    hook.SetWinControl(&t);
    // Making it a child and a window again destroys and re-creates its native window.
    QWidget holder;
    t.setParent(&holder);
    t.setParent(nullptr);
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    settle();
    EXPECT_GE(destroyNotes, 1);
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"hook before", "hook after"}));
}

TEST(WindowHook, FiltersInstalledEarlierStillRunWhileNoHookWaitsForTheResult)
{
    struct Counter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            keys += e->type() == QEvent::KeyPress;
            return false;
        }
    } earlier;
    Target t;
    t.installEventFilter(&earlier);
    TKitWindowHook hook;
    int before = 0;
    hook.BeforeMessage = [&](TObject*, TMessage& m, bool&) { before += m.Msg == QEvent::KeyPress; };
    hook.SetWinControl(&t);
    QTest::keyClick(&t, Qt::Key_A);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(earlier.keys, 1);
    EXPECT_EQ(t.seen.size(), 1);
}

// A hook that waits for the result hands the event on: filters installed before it still
// see every event, before the control; a child's unaccepted press still reaches the
// parent once.
TEST(WindowHook, EarlierFiltersSeeEveryEventWhileAHookWaitsForTheResult)
{
    struct Logger : QObject {
        QStringList* log = nullptr;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress || e->type() == QEvent::Close || e->type() == QEvent::MouseButtonPress)
                *log << QStringLiteral("filter %1").arg(int(e->type()));
            return false;
        }
    };
    struct Parent : Target {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } parent;
    struct Child : QWidget {
        using QWidget::QWidget;
        void mousePressEvent(QMouseEvent* e) override { e->ignore(); }
    };
    auto* child = new Child(&parent);
    child->setGeometry(0, 0, 50, 50);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QStringList log;
    Logger earlier, earlierOnChild;
    earlier.log = earlierOnChild.log = &log;
    parent.installEventFilter(&earlier);
    child->installEventFilter(&earlierOnChild);
    TKitWindowHook hook, childHook;
    for (TKitWindowHook* h : {&hook, &childHook}) {
        h->BeforeMessage = [&log](TObject*, TMessage& m, bool&) {
            if (m.Msg == QEvent::KeyPress || m.Msg == QEvent::Close || m.Msg == QEvent::MouseButtonPress)
                log << QStringLiteral("before %1").arg(int(m.Msg));
        };
        h->AfterMessage = [&log, &parent](TObject*, TMessage& m, bool&) {
            if (m.Msg == QEvent::KeyPress || m.Msg == QEvent::Close || m.Msg == QEvent::MouseButtonPress)
                log << QStringLiteral("after %1 seen %2").arg(int(m.Msg)).arg(parent.seen.size() + parent.presses);
        };
    }
    hook.SetWinControl(&parent);
    childHook.SetWinControl(child);

    QTest::keyClick(&parent, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"before 6", "filter 6", "after 6 seen 1"}));
    log.clear();
    QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(parent.presses, 1);
    EXPECT_EQ(log, QStringList({"before 2", "filter 2", "before 2", "filter 2", "after 2 seen 2", "after 2 seen 2"}));
    log.clear();
    parent.close();
    EXPECT_EQ(log, QStringList({"before 19", "filter 19", "after 19 seen 2"}));
}

TEST(WindowHook, ExceptionsOfAnyTypeGoToTheApplication)
{
    Target t;
    TKitWindowHook first, second;
    QStringList log, errors;
    watch(first, log, QStringLiteral("first"), QEvent::KeyPress);
    second.BeforeMessage = [](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress)
            throw 42;
    };
    second.AfterMessage = [](TObject*, TMessage& m, bool&) {
        if (m.Msg == QEvent::KeyPress)
            throw std::string("text");
    };
    first.SetWinControl(&t);
    second.SetWinControl(&t);
    const auto saved = TApplication::OnException;
    TApplication::OnException = [&](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    QTest::keyClick(&t, Qt::Key_A);
    TApplication::OnException = saved;
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(log, QStringList({"first before", "first after"}));
    EXPECT_EQ(t.seen.size(), 1);
}
