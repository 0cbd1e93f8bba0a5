// A seconds stopwatch on a monotonic clock that tests can replace.
#include "app/util/stopwatch.h"

#include <chrono>
#include <cmath>

namespace {

TStopwatchClock g_clock;
int64_t g_start = 0;

int64_t nowMs()
{
    if (g_clock)
        return g_clock();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void SetStopwatchClock(TStopwatchClock clock) { g_clock = std::move(clock); }

int64_t StopwatchNowMs() { return nowMs(); }

void StartStopwatch() { g_start = nowMs(); }

int StopwatchSeconds() { return static_cast<int>(std::nearbyint(static_cast<double>(nowMs() - g_start) / 1000.0)); }
