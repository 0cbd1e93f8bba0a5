// Window hooks: watching a control's events before and after it handles them.
#include "controls/hooks/window_hook.h"

#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QPlatformSurfaceEvent>
#include <algorithm>

// ---- window hook ---------------------------------------------------------------------

TKitWindowHook::TKitWindowHook(QObject* owner) : QObject(owner) {}

TKitWindowHook::~TKitWindowHook()
{
    destroying_ = true;
    SetActive(false);
    SetWinControl(nullptr);
}

void TKitWindowHook::SetActive(bool on)
{
    if (on == active_)
        return;
    active_ = on;
    if (on)
        registerHook();
    else
        unregisterHook();
}

QWidget* TKitWindowHook::WinControl() const
{
    if (controlHook_ && controlHook_->Control())
        return controlHook_->Control();
    return control_;
}

void TKitWindowHook::SetWinControl(QWidget* control)
{
    if (control == control_)
        return;
    unregisterHook();
    disconnect(destroyedConnection_);
    control_ = control;
    if (control) {
        // A registered hook hears of the destruction from its control hook, after the
        // destroy notification; this covers an inactive hook.
        destroyedConnection_ = connect(control, &QObject::destroyed, this, [this] {
            if (!controlHook_)
                controlDestroyed();
        });
    }
    if (active_)
        registerHook();
}

void TKitWindowHook::registerHook()
{
    if (destroying_ || !control_ || controlHook_)
        return;
    TControlHook* hook = THookList::Instance()->ForControl(control_, true);
    controlHook_ = hook;
    hook->Register(this);
}

void TKitWindowHook::unregisterHook()
{
    if (!controlHook_)
        return;
    TControlHook* hook = controlHook_;
    controlHook_ = nullptr;
    hook->Unregister(this);
}

void TKitWindowHook::controlDestroyed()
{
    unregisterHook();
    disconnect(destroyedConnection_);
    control_ = nullptr;
}

// ---- control hook --------------------------------------------------------------------

namespace {
quint64 nextSerial = 1;

// Events the application hands on to the parent while nobody accepted them.
bool travelsUp(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::QueryWhatsThis:
    case QEvent::StatusTip:
    case QEvent::WhatsThisClicked:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Gesture:
    case QEvent::GestureOverride: return true;
    default: return false;
    }
}
}  // namespace

TControlHook::TControlHook(QWidget* control) : control_(control), serial_(nextSerial++)
{
    connect(control, &QObject::destroyed, this, [this] { controlDestroyed(); });
}

TControlHook::~TControlHook()
{
    destroying_ = true;
    Uninstall();
    for (TKitWindowHook* hook : std::as_const(hooks_))
        hook->controlHook_ = nullptr;
    hooks_.clear();
}

void TControlHook::Register(TKitWindowHook* hook)
{
    if (!hooks_.contains(hook))
        hooks_.append(hook);
    Install();
}

void TControlHook::Unregister(TKitWindowHook* hook)
{
    hooks_.removeAll(hook);
    if (!hooks_.isEmpty())
        return;
    Uninstall();
    if (!destroying_)
        if (THookList* list = THookList::Instance(false))
            list->PostFree(this);
}

void TControlHook::Install()
{
    if (destroying_ || controlDestroying_ || !control_ || installed_ || hooks_.isEmpty())
        return;
    control_->installEventFilter(this);
    installed_ = true;
}

void TControlHook::Uninstall()
{
    if (installed_ && control_)
        control_->removeEventFilter(this);
    installed_ = false;
}

bool TControlHook::runHandlers(Phase phase, TMessage& msg, bool destroy)
{
    if (hooks_.isEmpty() || !control_ || destroying_ || (controlDestroying_ && !destroy))
        return false;
    // Handlers may remove hooks, or free them; only those still registered are called.
    QList<QPointer<TKitWindowHook>> snapshot;
    for (auto it = hooks_.crbegin(); it != hooks_.crend(); ++it)
        snapshot.append(*it);
    bool handled = false;
    for (const QPointer<TKitWindowHook>& hook : std::as_const(snapshot)) {
        if (!hook || !hooks_.contains(hook.data()))
            continue;
        const THookMessageEvent handler = phase == BeforePhase ? hook->BeforeMessage : hook->AfterMessage;
        // Whatever a handler throws goes to the application's handler; the others still run.
        if (handler)
            TApplication::Guard([&] { handler(hook.data(), msg, handled); });
        // The destroy notification reaches every hook whatever the handlers say.
        if (handled && !destroy)
            break;
    }
    return handled;
}

bool TControlHook::eventFilter(QObject* watched, QEvent* event)
{
    // The event handed on below comes past here once more: on to the filters installed
    // before this one and the control.
    if (event == passing_)
        return false;
    if (watched != control_ || !installed_ || destroying_ || controlDestroying_ ||
        event->type() == QEvent::DeferredDelete)
        return false;
    const bool destroy = event->type() == QEvent::PlatformSurface &&
                         static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                             QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed;
    TMessage msg{event, event->type(), false};
    const QPointer<TControlHook> self(this);
    if (runHandlers(BeforePhase, msg, destroy) && !destroy)
        return true;
    if (!self || !control_)
        return true;
    // Without an after-handler the event goes on as usual. With one, it is handed on from
    // here through the rest of its way (the filters installed before this one, the
    // control's layout and the control itself), so that the after-handlers see it done.
    const bool wantsAfter =
        std::any_of(hooks_.cbegin(), hooks_.cend(), [](const TKitWindowHook* h) { return bool(h->AfterMessage); });
    if (!wantsAfter) {
        if (destroy)
            windowDestroyed();
        return false;
    }
    QEvent* const outer = passing_;
    passing_ = event;
    try {
        msg.Result = QCoreApplication::instance()->notify(watched, event);
    } catch (...) {
        if (self) {
            passing_ = outer;
            if (control_)
                runHandlers(AfterPhase, msg, destroy);
        }
        throw;
    }
    if (!self)
        return true;
    passing_ = outer;
    // Handing on took the event up to the parents already; the way it came must not
    // take it there a second time.
    if (control_ && travelsUp(event->type()) && !control_->isWindow())
        event->accept();
    if (control_)
        runHandlers(AfterPhase, msg, destroy);
    if (destroy && self)
        windowDestroyed();
    return true;
}

void TControlHook::windowDestroyed()
{
    Uninstall();
    // The control lives on and gets a new window: watch it again once this event is over.
    if (!destroying_ && !controlDestroying_ && control_)
        if (THookList* list = THookList::Instance(false))
            list->PostReinstall(this);
}

void TControlHook::controlDestroyed()
{
    controlDestroying_ = true;
    if (installed_) {
        QEvent destroyEvent(QEvent::Destroy);
        TMessage msg{&destroyEvent, QEvent::Destroy, false};
        runHandlers(BeforePhase, msg, true);
        runHandlers(AfterPhase, msg, true);
    }
    Uninstall();
    const QList<TKitWindowHook*> hooks = hooks_;
    for (TKitWindowHook* hook : hooks)
        if (hooks_.contains(hook))
            hook->controlDestroyed();
    control_ = nullptr;
    if (THookList* list = THookList::Instance(false))
        list->PostFree(this);
}

// ---- hook list -----------------------------------------------------------------------

namespace {
THookList* hookListInstance = nullptr;
}

THookList::THookList() = default;

THookList::~THookList()
{
    const QList<TControlHook*> hooks = controlHooks_;
    controlHooks_.clear();
    qDeleteAll(hooks);
}

THookList* THookList::Instance(bool create)
{
    if (!hookListInstance && create) {
        hookListInstance = new THookList;
        qAddPostRoutine(&THookList::destroyInstance);
    }
    return hookListInstance;
}

void THookList::destroyInstance()
{
    THookList* list = hookListInstance;
    hookListInstance = nullptr;
    delete list;
}

TControlHook* THookList::ForControl(QWidget* control, bool create)
{
    for (TControlHook* hook : std::as_const(controlHooks_))
        if (hook->Control() == control)
            return hook;
    if (!create || !control)
        return nullptr;
    auto* hook = new TControlHook(control);
    controlHooks_.append(hook);
    return hook;
}

TControlHook* THookList::find(quint64 serial) const
{
    for (TControlHook* hook : controlHooks_)
        if (hook->Serial() == serial)
            return hook;
    return nullptr;
}

void THookList::PostReinstall(TControlHook* hook)
{
    const quint64 serial = hook->Serial();
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            TApplication::Guard([&] {
                if (TControlHook* h = find(serial))
                    h->Install();
            });
        },
        Qt::QueuedConnection);
}

void THookList::PostFree(TControlHook* hook)
{
    const quint64 serial = hook->Serial();
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            TApplication::Guard([&] {
                TControlHook* h = find(serial);
                if (!h || !h->Hooks().isEmpty())
                    return;
                // A control hook without hooks whose control still lives is freed too.
                controlHooks_.removeOne(h);
                delete h;
            });
        },
        Qt::QueuedConnection);
}
