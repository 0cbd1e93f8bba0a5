// The status bar's progress bar: a few repaints a second, never a value left behind.
#include "app/image_window/image_window.h"
#include "app/app_test_util.h"
#include "app/util/progress_throttle.h"
#include "app/util/stopwatch.h"

#include <QProgressBar>
#include <QTest>

// A bar on a clock of the test's own.
class ThrottledProgress : public testing::Test {
protected:
    struct TStep {
        int64_t advance;
        int value;  // -1: Reset
        int shown;
    };
    void SetUp() override
    {
        SetStopwatchClock([this] { return now; });
        bar.setRange(0, 100);
    }
    void TearDown() override { SetStopwatchClock(nullptr); }
    void play(const std::vector<TStep>& steps)
    {
        for (const TStep& s : steps) {
            now += s.advance;
            s.value < 0 ? progress.Reset() : progress.Set(s.value);
            EXPECT_EQ(bar.value(), s.shown) << "after " << s.value;
        }
    }
    int64_t now = 5000;
    QProgressBar bar;
    TThrottledProgress progress{&bar};
    static constexpr int step = TThrottledProgress::kIntervalMs;
};

TEST_F(ThrottledProgress, ShowsAFewTimesASecondAndTheLastValueLater)
{
    std::vector<int> painted;
    QObject::connect(&bar, &QProgressBar::valueChanged, [&](int v) { painted.push_back(v); });
    play({{0, 5, 5},
          {0, 10, 5},
          {step / 2, 20, 5},
          {step / 2, 30, 30},
          {1, 99, 30},
          {0, -1, 0},
          {0, 40, 0},
          {step, 50, 50},
          {1, 100, 100},
          {1, 0, 0}});
    // The step that waited when the bar was reset was shown first.
    EXPECT_EQ(painted, (std::vector<int>{5, 30, 99, 0, 50, 100, 0}));
    // A value that waited shows once no further step comes.
    progress.Set(70);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.value() == 70; }, 10000));
}

// While a loop of short operations holds the bar, their starts and ends wait like any
// step; the release shows where the loop ended.
TEST_F(ThrottledProgress, HeldStartsAndEndsWaitAndTheReleaseShowsTheLast)
{
    progress.Set(5);
    const int shows = progress.ShowCount();
    {
        const TThrottledProgress::THold hold(&progress);
        const TThrottledProgress::THold nested(&progress);
        play({{0, 100, 5}, {0, -1, 5}, {0, 40, 5}, {step, 60, 60}, {1, 100, 60}, {1, -1, 60}});
        EXPECT_EQ(progress.ShowCount(), shows + 1);
    }
    EXPECT_EQ(bar.value(), 0);
}

class ProgressReset : public MainWindowTest {};

// Whatever a command reported, the bar is back at 0 when the command has ended.
TEST_F(ProgressReset, EveryCommandLeavesTheBarAtZero)
{
    make();
    imageWindow(300, 200, clRed);
    for (const uint8_t code : {cmdNegative, cmdGray, cmdReduceColors}) {
        form->automatitem.SetArg(1, 16);
        form->runcode(code);
        EXPECT_EQ(form->Control<QProgressBar>(QStringLiteral("ProgressBar1"))->value(), 0) << int(code);
        EXPECT_EQ(form->ProgressThrottle()->Value(), 0) << int(code) << ": a value still waits to be shown";
    }
}
