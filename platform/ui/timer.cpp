// The periodic timer and its manual ticks for tests.
#include "platform/ui/timer.h"

#include <QTimer>

TTimer::TTimer(QObject* owner) : QObject(owner), timer_(new QTimer(this))
{
    connect(timer_, &QTimer::timeout, this, &TTimer::Tick);
    restart();
}

TTimer::~TTimer() = default;

void TTimer::SetInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    restart();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    restart();
}

void TTimer::Tick()
{
    if (OnTimer)
        OnTimer(this);
}

static bool g_manualTicks = false;

void TTimer::SetManualTicks(bool manual) { g_manualTicks = manual; }
bool TTimer::ManualTicks() { return g_manualTicks; }

void TTimer::restart()
{
    timer_->stop();
    if (enabled_ && interval_ > 0 && !g_manualTicks)
        timer_->start(interval_);
}
