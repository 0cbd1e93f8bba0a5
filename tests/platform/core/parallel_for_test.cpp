// The parallel-for helper: every row runs exactly once whatever the thread count,
// progress arrives on the calling thread in order, errors come back to the caller.
#include "platform/core/parallel_for.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(ParallelRows, EveryRowOnceAndProgressInOrderOnTheCaller)
{
    struct Case {
        int threads, rows;
        int64_t pixels, minPixels;
    } const cases[] = {{1, 37, 1 << 20, 0}, {2, 37, 1 << 20, 0},   {8, 37, 1 << 20, 0}, {8, 1, 1 << 20, 0},
                       {8, 5, 1 << 20, 0},  {3, 1001, 1 << 20, 0}, {8, 999, 100, 1000}, {16, 64, 1 << 20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.threads << " threads, " << c.rows << " rows");
        TScopedParallelThreads scope(c.threads, c.minPixels);
        std::vector<std::atomic<int>> hits(size_t(c.rows));
        std::atomic<bool> sawOther{false};
        const std::thread::id caller = std::this_thread::get_id();
        std::vector<int> reports;
        bool reportsOnCaller = true;
        ParallelRows(
            c.rows, c.pixels,
            [&](int b, int e) {
                ASSERT_LE(0, b);
                ASSERT_LT(b, e);
                ASSERT_LE(e, c.rows);
                for (int y = b; y < e; ++y)
                    ++hits[size_t(y)];
                if (std::this_thread::get_id() != caller)
                    sawOther = true;
            },
            [&](int done) {
                reports.push_back(done);
                reportsOnCaller &= std::this_thread::get_id() == caller;
            });
        for (int y = 0; y < c.rows; ++y)
            EXPECT_EQ(hits[size_t(y)], 1) << "row " << y;
        ASSERT_EQ(int(reports.size()), c.rows);
        for (int i = 0; i < c.rows; ++i)
            EXPECT_EQ(reports[size_t(i)], i + 1);
        EXPECT_TRUE(reportsOnCaller);
        // Below the minimum size, or with one thread, nothing leaves the caller.
        if (c.threads == 1 || c.pixels < c.minPixels) {
            EXPECT_FALSE(sawOther);
        }
    }
}

TEST(ParallelRows, FailuresReachTheCallerAndNestedCallsStillRun)
{
    for (int threads : {1, 2, 8}) {
        SCOPED_TRACE(threads);
        TScopedParallelThreads scope(threads, 0);
        EXPECT_THROW(ParallelRows(100, 1 << 20,
                                  [](int b, int e) {
                                      if (b <= 50 && 50 < e)
                                          throw std::runtime_error("row 50");
                                  }),
                     std::runtime_error);
        EXPECT_THROW(ParallelRows(
                         100, 1 << 20, [](int, int) {},
                         [](int done) {
                             if (done == 10)
                                 throw std::runtime_error("progress");
                         }),
                     std::runtime_error);
        // The pool is usable again, also from inside a band.
        std::atomic<int> inner{0};
        ParallelRows(8, 1 << 20, [&](int b, int e) {
            for (int y = b; y < e; ++y)
                ParallelRows(10, 1 << 20, [&](int ib, int ie) { inner += ie - ib; });
        });
        EXPECT_EQ(inner, 80);
    }
}

// Jobs in quick succession: helpers join late, or not at all, while the caller has
// already moved on; each job still runs each of its rows once, and only its own (under
// the address sanitizer a helper touching a finished job's state is caught).
TEST(ParallelRows, BackToBackJobsEachRunTheirOwnRowsOnce)
{
    TScopedParallelThreads scope(8, 0);
    for (int job = 0; job < 3000; ++job) {
        const int rows = 1 + job % 23;
        std::vector<int> hits(static_cast<size_t>(rows));
        std::atomic<int> reports{0};
        ParallelRows(
            rows, 1 << 20,
            [&](int b, int e) {
                for (int y = b; y < e; ++y)
                    ++hits[size_t(y)];
            },
            job % 2 ? std::function<void(int)>([&](int) { ++reports; }) : std::function<void(int)>());
        ASSERT_EQ(std::count(hits.begin(), hits.end(), 1), rows) << "job " << job;
        ASSERT_EQ(reports, job % 2 ? rows : 0) << "job " << job;
    }
}
