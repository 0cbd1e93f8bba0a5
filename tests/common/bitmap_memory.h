// Running out of bitmap memory on purpose.
#pragma once
#include "platform/graphics/bitmap.h"

#include <atomic>

// While it lives, bitmap allocations fail as if memory had run out, after the first
// `allowed` of them.
class TBitmapMemoryRefusal {
public:
    explicit TBitmapMemoryRefusal(int allowed = 0) : allowed_(allowed)
    {
        TBitmap::AllocationGate = [this](int64_t) { return allowed_.fetch_sub(1) > 0; };
    }
    ~TBitmapMemoryRefusal() { TBitmap::AllocationGate = nullptr; }
    TBitmapMemoryRefusal(const TBitmapMemoryRefusal&) = delete;
    TBitmapMemoryRefusal& operator=(const TBitmapMemoryRefusal&) = delete;

private:
    std::atomic<int> allowed_;
};
