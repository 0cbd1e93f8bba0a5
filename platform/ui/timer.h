// A periodic timer on the message loop (TTimer).
#pragma once
#include "platform/core/events.h"

#include <QObject>

class QTimer;

// Periodic timer on the message loop: fires OnTimer every Interval milliseconds while
// Enabled and an interval above 0 is set.
class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* owner = nullptr);
    ~TTimer() override;

    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;
    // Runs the handler once now, as a tick would.
    void Tick();

    // Tests drive repeat timers by hand: while set, no timer started afterwards ticks
    // on its own and only Tick() runs the handler.
    static void SetManualTicks(bool manual);
    static bool ManualTicks();

private:
    void restart();
    QTimer* timer_;
    int interval_ = 1000;
    bool enabled_ = true;
};
