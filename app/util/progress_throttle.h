#pragma once
// The status bar's progress bar during long work: repainting it on every step cost
// more than many steps themselves, so it shows the latest value a few times a second,
// and the value a step left behind once no further step comes. 0 and 100 (an
// operation's start and end) show at once.
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
    // How often the bar was brought up to date: a loop that holds back its own repaints
    // shows them when this changes, together with the bar's.
    int ShowCount() const { return shows_; }

    // A loop of many short operations (a catalog's files) would repaint the bar at each
    // one's start and end; while held, 0 and 100 wait like any other value, and the
    // release shows the latest value at once. Holds nest.
    class THold {
    public:
        explicit THold(TThrottledProgress* progress);
        ~THold();
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        QPointer<TThrottledProgress> progress_;
    };

    static constexpr int kIntervalMs = 250;

private:
    void show();

    QPointer<QProgressBar> bar_;
    QTimer later_;
    int value_ = 0;
    int64_t shownAt_ = 0;
    bool shownOnce_ = false;
    int shows_ = 0;
    int holds_ = 0;
};
