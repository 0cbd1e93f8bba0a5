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

void TTimer::restart()
{
    timer_->stop();
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
}
