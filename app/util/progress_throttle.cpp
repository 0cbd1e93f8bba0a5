#include "app/util/progress_throttle.h"

#include "app/util/stopwatch.h"

#include <QProgressBar>

TThrottledProgress::TThrottledProgress(QProgressBar* bar) : bar_(bar)
{
    later_.setSingleShot(true);
    later_.setInterval(kIntervalMs);
    connect(&later_, &QTimer::timeout, this, [this] { show(); });
}

void TThrottledProgress::Set(int percent)
{
    value_ = percent;
    const int64_t now = StopwatchNowMs();
    const bool edge = (percent == 0 || percent >= 100) && holds_ == 0;
    if (edge || !shownOnce_ || now - shownAt_ >= kIntervalMs || now < shownAt_) {
        show();
        return;
    }
    if (!later_.isActive())
        later_.start();
}

void TThrottledProgress::Reset()
{
    if (holds_ > 0) {
        Set(0);
        return;
    }
    // The operation's last step is shown before the bar empties: watchers of the bar
    // see each operation end.
    if (later_.isActive())
        show();
    value_ = 0;
    show();
}

void TThrottledProgress::show()
{
    later_.stop();
    shownAt_ = StopwatchNowMs();
    shownOnce_ = true;
    ++shows_;
    if (bar_ && bar_->value() != value_)
        bar_->setValue(value_);
}

TThrottledProgress::THold::THold(TThrottledProgress* progress) : progress_(progress)
{
    if (progress_)
        ++progress_->holds_;
}

TThrottledProgress::THold::~THold()
{
    if (progress_ && --progress_->holds_ == 0)
        progress_->show();
}
