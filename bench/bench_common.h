// What every benchmark shares so that ours and the references are measured alike: ours
// and the reference run in turn, the best of kBestOf runs for every figure, programs'
// start-up timed on its own and taken off their figures, one environment for
// references, one table line with ours, the reference, ours / reference, threads and
// whether the machine was loaded beyond its cores while the figures were taken.
#pragma once

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

constexpr int kBestOf = 7;

// The machine's one-minute load average now; 0 when it cannot be read.
inline double LoadNow()
{
    std::ifstream f("/proc/loadavg");
    double load = 0;
    f >> load;
    return load;
}

// The highest load seen in this process, and the highest seen while each figure was kept.
inline double g_peakLoad = 0;
inline std::map<std::string, double> g_loadOf;

inline double SampleLoad()
{
    const double load = LoadNow();
    g_peakLoad = std::max(g_peakLoad, load);
    return load;
}

inline int OnlineCores() { return int(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN))); }

// " load 9.3 > 8 cores: yes" for the end of a table line.
inline std::string LoadNote(double load)
{
    char s[64];
    std::snprintf(s, sizeof s, "   load %.1f > %d cores: %s", load, OnlineCores(), load > OnlineCores() ? "yes" : "no");
    return s;
}

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
        SampleLoad();
    }
    return best;
}

// Runs ours and the reference in turn, kBestOf times each; the best of each side in ms,
// -1 for a side as soon as one of its runs fails.
inline std::pair<double, double> BestAlternating(const std::function<bool()>& ours, const std::function<bool()>& ref)
{
    double a = 1e30, b = 1e30;
    for (int i = 0; i < kBestOf; ++i) {
        if (a >= 0)
            a = std::min(a, BestRunMs(1, ours));
        if (b >= 0)
            b = std::min(b, BestRunMs(1, ref));
        if (a < 0 && b < 0)
            break;
    }
    return {a, b};
}

// Best (shortest) figure in milliseconds of every benchmark, by name ("BM_X" or "BM_X/arg").
inline std::map<std::string, double> g_bestMs;

// Keeps the shorter of a figure and the one already kept under that name, and the
// highest load seen while any figure under that name was taken.
inline void KeepBest(const std::string& name, double ms)
{
    double& load = g_loadOf[name];
    load = std::max(load, SampleLoad());
    const auto it = g_bestMs.find(name);
    if (it == g_bestMs.end() || ms < it->second)
        g_bestMs[name] = ms;
}

// One timed run per round: BENCHMARK(BM_X)->Apply(BestOf), then RunRounds.
inline void BestOf(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(1);
}

class TBestReporter : public benchmark::ConsoleReporter {
public:
    TBestReporter() : ConsoleReporter(OO_Tabular) {}  // plain text: no colour codes in logs
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration) {
                const std::string args = r.run_name.args;
                KeepBest(r.run_name.function_name + (args.empty() ? "" : "/" + args),
                         r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3);
            }
    }
};

// Every registered benchmark once per round, kBestOf rounds, so that ours and the
// references alternate run by run instead of one side running all its repetitions
// first; `eachRound` runs what is measured outside the benchmark library (a python
// process timing its own side once) in the same rounds.
inline void RunRounds(TBestReporter& reporter, const std::function<void()>& eachRound = {})
{
    for (int i = 0; i < kBestOf; ++i) {
        benchmark::RunSpecifiedBenchmarks(&reporter);
        if (eachRound)
            eachRound();
    }
}

// Freed memory stays in the process, so repeated runs on both sides write into pages
// already touched; references started from here get the same allocator settings.
inline void KeepFreedMemory()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
}

// References run single-threaded as ours unless `allThreads` (then with their own
// default threads), with the allocator settings of KeepFreedMemory when
// `keepFreedMemory` (Python's image library keeps its own blocks then, too).
inline QProcessEnvironment ReferenceEnvironment(bool keepFreedMemory, bool allThreads = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!allThreads) {
        env.insert(QStringLiteral("OMP_NUM_THREADS"), QStringLiteral("1"));
        env.insert(QStringLiteral("MAGICK_THREAD_LIMIT"), QStringLiteral("1"));
        env.insert(QStringLiteral("VIPS_CONCURRENCY"), QStringLiteral("1"));
    }
    if (keepFreedMemory) {
        env.insert(QStringLiteral("MALLOC_MMAP_MAX_"), QStringLiteral("0"));
        env.insert(QStringLiteral("MALLOC_TRIM_THRESHOLD_"), QString::number(INT_MAX));
        env.insert(QStringLiteral("PILLOW_BLOCKS_MAX"), QStringLiteral("1024"));
    }
    return env;
}

// Runs a program to its end with the reference environment; false when it failed.
inline bool RunReference(const QString& program, const QStringList& args, bool keepFreedMemory = false,
                         bool allThreads = false)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(keepFreedMemory, allThreads));
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

// Runs a python script that times its side itself and prints one JSON object of
// name: milliseconds; keeps the best of each name. False when python failed.
inline bool RunPythonTimings(const char* script, const QStringList& args, bool keepFreedMemory = true,
                             bool allThreads = false)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(keepFreedMemory, allThreads));
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + args);
    if (!p.waitForFinished(1800000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::printf("python run failed: %s\n", p.readAllStandardError().constData());
        return false;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        KeepBest(it.key().toStdString(), it.value().toDouble());
    return true;
}

// Thread counts of a line, ours and the reference's: "1/1", "8/8".
inline std::string Threads(int ours, int ref) { return std::to_string(ours) + "/" + std::to_string(ref); }

// The highest load kept with any of the named figures.
inline double LoadOf(std::initializer_list<std::string> names)
{
    double load = 0;
    for (const std::string& n : names)
        if (const auto it = g_loadOf.find(n); it != g_loadOf.end())
            load = std::max(load, it->second);
    return load;
}

// One table line: ours, the reference, ours / reference, the threads of each side and
// the load while the figures were taken (by default the highest seen in this run).
inline void PrintLine(const char* what, double ours, const char* refName, double ref, const std::string& threads,
                      double load = -1)
{
    const std::string note = LoadNote(load < 0 ? g_peakLoad : load);
    if (ours < 0 || ref <= 0) {
        std::printf("%-26s (not measured)   %-30s threads %s%s\n", what, refName, threads.c_str(), note.c_str());
        return;
    }
    std::printf("%-26s ours %9.1f ms   %-30s %9.1f ms   ours/ref %6.3f   threads %s%s\n", what, ours, refName, ref,
                ours / ref, threads.c_str(), note.c_str());
}

// PrintLine over figures kept by name. A program's start-up (its figure named by
// `startup`) is taken off its time and printed on a line of its own.
inline void PrintComparison(const char* what, const std::string& ours, const char* refName, const std::string& ref,
                            const std::string& threads, const std::string& startup = {})
{
    const auto a = g_bestMs.find(ours), b = g_bestMs.find(ref);
    const double load = LoadOf({ours, ref, startup});
    if (a == g_bestMs.end() || b == g_bestMs.end()) {
        PrintLine(what, -1, refName, -1, threads, load);
        return;
    }
    double theirs = b->second;
    const auto s = startup.empty() ? g_bestMs.end() : g_bestMs.find(startup);
    if (s != g_bestMs.end())
        theirs -= s->second;
    PrintLine(what, a->second, refName, theirs, threads, load);
    if (s != g_bestMs.end())
        std::printf("%-26s      %9s      %-30s %9.1f ms   (start-up, taken off above)\n", "", "", refName, s->second);
}

inline void PrintTableHeading(const char* what)
{
    std::printf("\n%s\nbest of %d runs each, ours and the reference in turn; threads ours/ref; machine shared "
                "with other work, so figures are noisy\n",
                what, kBestOf);
}
