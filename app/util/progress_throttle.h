// The status bar's progress bar during long work: repainting it on every step cost
// more than many steps themselves, so it shows the latest value a few times a second,
// and the value a step left behind once no further step comes. 0 and 100 (an
// operation's start and end) show at once.
#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QProgressBar;

class TThrottledProgress : public QObject {
public:
    explicit TThrottledProgress(QProgressBar* bar);

    void Set(int percent);
    // Back to 0 at once: an operation has ended.
    void Reset();
    // The value the bar will show (it may still wait for its repaint).
    int Value() const { return value_; }

    static constexpr int kIntervalMs = 250;

private:
    void show();

    QPointer<QProgressBar> bar_;
    QTimer later_;
    int value_ = 0;
    int64_t shownAt_ = 0;
    bool shownOnce_ = false;
};
