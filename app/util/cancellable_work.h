// Long work on the window's thread that the user can stop: a progress window with
// Cancel (Escape too) that comes up once the work takes a moment.
#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// While one is alive, Step takes the work's progress: it shows the percentage, lets the
// events run (the progress window is application-modal once shown, so that nothing else
// can start or close meanwhile; before that user input waits) and raises EAbort once
// the user cancelled. Scopes nest; the innermost takes the steps.
class TCancellableWork {
public:
    TCancellableWork(QWidget* parent, const QString& label, const QString& cancelCaption);
    ~TCancellableWork();
    TCancellableWork(const TCancellableWork&) = delete;
    TCancellableWork& operator=(const TCancellableWork&) = delete;

    // The innermost scope alive, or null.
    static TCancellableWork* Current();

    void Step(int percent);
    bool Cancelled() const { return cancelled_; }
    QProgressDialog* Dialog() const;

    // How long the work runs before its window comes up, and how often it lets the
    // events run at most.
    static constexpr int kShowAfterMs = 400;
    static constexpr int kEventsEveryMs = 15;

private:
    QPointer<QProgressDialog> dialog_;
    TCancellableWork* outer_ = nullptr;
    QElapsedTimer started_, lastEvents_;
    bool eventsRan_ = false;
    bool cancelled_ = false;
};
