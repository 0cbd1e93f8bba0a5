// Window hooks on controls and the list that keeps them.
#pragma once
#include "platform/core/events.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

// One event on its way to a watched control. Result holds what the control's own
// handling returned (false until it ran). The destroy notification carries a
// QEvent::Destroy of its own, sent while the control is being destroyed (only its
// QObject side may be used then), or the platform surface event of a window that goes
// away while the control lives on.
struct TMessage {
    QEvent* Event = nullptr;
    QEvent::Type Msg = QEvent::None;
    bool Result = false;
};

using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

class TControlHook;

// Watches the events of any widget without subclassing it: BeforeMessage sees each event
// before the control handles it (setting Handled eats the event), AfterMessage after.
// Several hooks may watch one control; the one registered last sees an event first.
// While an AfterMessage handler is set, the hook hands each event on itself and runs the
// after-handlers once the control (and every filter installed before the hook) had it.
class TKitWindowHook : public QObject {
    Q_OBJECT
public:
    explicit TKitWindowHook(QObject* owner = nullptr);
    ~TKitWindowHook() override;

    bool Active() const { return active_; }
    void SetActive(bool on);
    QWidget* WinControl() const;
    void SetWinControl(QWidget* control);

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

private:
    friend class TControlHook;
    void registerHook();
    void unregisterHook();
    void controlDestroyed();

    bool active_ = true;
    bool destroying_ = false;
    QPointer<QWidget> control_;
    TControlHook* controlHook_ = nullptr;
    QMetaObject::Connection destroyedConnection_;
};

// The hooks of one control, and the event filter that calls them around the control's
// own handling.
class TControlHook : public QObject {
    Q_OBJECT
public:
    explicit TControlHook(QWidget* control);
    ~TControlHook() override;

    // Null once the control is destroyed.
    QWidget* Control() const { return control_; }
    const QList<TKitWindowHook*>& Hooks() const { return hooks_; }
    bool Installed() const { return installed_; }
    quint64 Serial() const { return serial_; }

    void Register(TKitWindowHook* hook);
    void Unregister(TKitWindowHook* hook);
    void Install();
    void Uninstall();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Phase { BeforePhase, AfterPhase };
    // Runs one phase over a snapshot of the hooks, newest first; returns Handled.
    bool runHandlers(Phase phase, TMessage& msg, bool destroy);
    void controlDestroyed();
    void windowDestroyed();

    QWidget* control_;
    QList<TKitWindowHook*> hooks_;
    bool installed_ = false;
    bool destroying_ = false;
    bool controlDestroying_ = false;
    // The event this hook is handing on, which its filter lets pass.
    QEvent* passing_ = nullptr;
    quint64 serial_;
};

// Every control hook of the process. The reinstall after a window was re-created and
// the freeing of an empty control hook run as queued calls, after the current event
// has returned. Freed with the application object, freeing what it still holds.
class THookList : public QObject {
    Q_OBJECT
public:
    // Null when it does not exist and create is false.
    static THookList* Instance(bool create = true);

    TControlHook* ForControl(QWidget* control, bool create);
    int Count() const { return static_cast<int>(controlHooks_.size()); }
    bool Contains(TControlHook* hook) const { return controlHooks_.contains(hook); }

    void PostReinstall(TControlHook* hook);
    void PostFree(TControlHook* hook);

private:
    THookList();
    ~THookList() override;
    static void destroyInstance();
    TControlHook* find(quint64 serial) const;

    QList<TControlHook*> controlHooks_;
};
