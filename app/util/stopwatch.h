// A seconds stopwatch for recordings, on a replaceable monotonic clock.
#pragma once
#include <cstdint>
#include <functional>

// A seconds stopwatch on a monotonic clock, so that changing the wall clock while
// recording never shows negative or jumping times.
void StartStopwatch();
// Whole seconds since StartStopwatch, rounded to the nearest second (halves to even).
int StopwatchSeconds();

// Milliseconds of a monotonic clock; tests replace it (nullptr restores the real one).
using TStopwatchClock = std::function<int64_t()>;
void SetStopwatchClock(TStopwatchClock clock);
// The clock's milliseconds now.
int64_t StopwatchNowMs();
