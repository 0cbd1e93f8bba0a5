// Long work on the window's thread that the user can stop: a progress window with
// Cancel (Escape too) that comes up once the work takes a moment. And what may happen
// while long work lets the events run: no other command starts, and a window closes
// only once the work has ended.
#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>

class QProgressDialog;
class QWidget;

// A command's run. Commands and closes that arrive while it lets the events run come
// from outside it (timers, other programs, whatever the window system still delivers):
// a command is refused with a word, a close waits until the outermost run has ended.
class TWorkScope {
public:
    TWorkScope();
    ~TWorkScope();
    TWorkScope(const TWorkScope&) = delete;
    TWorkScope& operator=(const TWorkScope&) = delete;

    // Some work runs and has let the events run that are being handled now.
    static bool Reentered();
};

// While one is alive, Step takes the work's progress: it shows the percentage, lets the
// events run (the progress window is application-modal once shown, so that nothing else
// can start or close meanwhile; before that user input waits) and raises EAbort once
// the user cancelled. Scopes nest; the innermost takes the steps.
class TCancellableWork {
public:
    // target: the window the work changes; closing it stops the work.
    TCancellableWork(QWidget* parent, const QString& label, const QString& cancelCaption,
                     const QObject* target = nullptr);
    ~TCancellableWork();
    TCancellableWork(const TCancellableWork&) = delete;
    TCancellableWork& operator=(const TCancellableWork&) = delete;

    // The innermost scope alive, or null.
    static TCancellableWork* Current();
    // Stops every work alive on target at its next step: the window it changes, or the
    // window (widget or the system's) its progress shows over.
    static void CancelWorkOn(const QObject* target);

    void Step(int percent);
    bool Cancelled() const { return cancelled_; }
    QProgressDialog* Dialog() const;

    // How long the work runs before its window comes up, and how often it lets the
    // events run at most.
    static constexpr int kShowAfterMs = 400;
    static constexpr int kEventsEveryMs = 15;

private:
    bool isOn(const QObject* target) const;

    TWorkScope scope_;
    QPointer<QProgressDialog> dialog_;
    const QObject* target_ = nullptr;
    TCancellableWork* outer_ = nullptr;
    QElapsedTimer started_, lastEvents_;
    bool eventsRan_ = false;
    bool cancelled_ = false;
};

// Work that notices by itself that a window it uses has closed (and stops, saying so):
// while one lives, closes go through at once.
class TWorkSurvivesCloses {
public:
    TWorkSurvivesCloses();
    ~TWorkSurvivesCloses();
    TWorkSurvivesCloses(const TWorkSurvivesCloses&) = delete;
    TWorkSurvivesCloses& operator=(const TWorkSurvivesCloses&) = delete;
};

// When reentered, says that the work must end first and returns true.
bool RefuseWhileWorkRuns();
// When reentered, keeps close for the moment the outermost work has ended (once per
// window) and returns true; the caller ignores this close.
bool HoldCloseWhileWorkRuns(QObject* window, std::function<void()> close);
