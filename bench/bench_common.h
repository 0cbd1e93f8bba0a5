#pragma once
// What every benchmark shares so that ours and the references are measured alike: the
// best of kBestOf runs for every figure, programs' start-up timed on its own and taken
// off their figures, one environment for references, one table with ours / reference.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <malloc.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

constexpr int kBestOf = 5;

// The shortest of `runs` timings of `run` in milliseconds; -1 as soon as a run fails.
inline double BestRunMs(int runs, const std::function<bool()>& run)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run())
            return -1;
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// Best (shortest) figure in milliseconds of every benchmark, by name ("BM_X" or "BM_X/arg").
inline std::map<std::string, double> g_bestMs;

// One figure per repetition, the best of kBestOf kept: BENCHMARK(BM_X)->Apply(BestOf).
inline void BestOf(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(kBestOf)
        ->ComputeStatistics("best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly(true);
}

class TBestReporter : public benchmark::ConsoleReporter {
public:
    TBestReporter() : ConsoleReporter(OO_Tabular) {}  // plain text: no colour codes in logs
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate && r.aggregate_name == "best") {
                const std::string args = r.run_name.args;
                g_bestMs[r.run_name.function_name + (args.empty() ? "" : "/" + args)] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
            }
    }
};

// Freed memory stays in the process, so repeated runs on both sides write into pages
// already touched; references started from here get the same allocator settings.
inline void KeepFreedMemory()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
}

// References run single-threaded as ours, with the allocator settings of KeepFreedMemory
// when `keepFreedMemory` (Python's image library keeps its own blocks then, too).
inline QProcessEnvironment ReferenceEnvironment(bool keepFreedMemory)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_NUM_THREADS"), QStringLiteral("1"));
    env.insert(QStringLiteral("MAGICK_THREAD_LIMIT"), QStringLiteral("1"));
    if (keepFreedMemory) {
        env.insert(QStringLiteral("MALLOC_MMAP_MAX_"), QStringLiteral("0"));
        env.insert(QStringLiteral("MALLOC_TRIM_THRESHOLD_"), QString::number(INT_MAX));
        env.insert(QStringLiteral("PILLOW_BLOCKS_MAX"), QStringLiteral("1024"));
    }
    return env;
}

// Runs a program to its end with the reference environment; false when it failed.
inline bool RunReference(const QString& program, const QStringList& args, bool keepFreedMemory = false)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(keepFreedMemory));
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A benchmark body timing one run of a program per iteration.
inline void ReferenceBench(benchmark::State& state, const QString& program, const QStringList& args)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        state.SkipWithError((program.toStdString() + " is not installed").c_str());
        return;
    }
    for (auto _ : state)
        if (!RunReference(program, args))
            state.SkipWithError((program.toStdString() + " failed").c_str());
}

// Prints ours, the reference and ours / reference. A program's start-up (its figure
// named by `startup`) is taken off its time and printed on a line of its own.
inline void PrintComparison(const char* what, const std::string& ours, const char* refName, const std::string& ref,
                            const std::string& startup = {})
{
    const auto a = g_bestMs.find(ours), b = g_bestMs.find(ref);
    if (a == g_bestMs.end() || b == g_bestMs.end()) {
        std::printf("%-26s (not measured)\n", what);
        return;
    }
    double theirs = b->second;
    const auto s = startup.empty() ? g_bestMs.end() : g_bestMs.find(startup);
    if (s != g_bestMs.end())
        theirs -= s->second;
    std::printf("%-26s ours %9.1f ms   %-30s %9.1f ms   ours/ref %6.3f\n", what, a->second, refName, theirs,
                theirs > 0 ? a->second / theirs : 0.0);
    if (s != g_bestMs.end())
        std::printf("%-26s      %9s      %-30s %9.1f ms   (start-up, taken off above)\n", "", "", refName, s->second);
}

inline void PrintTableHeading(const char* what)
{
    std::printf("\n%s\nbest of %d runs each; machine shared with other work, so figures are noisy\n", what, kBestOf);
}
