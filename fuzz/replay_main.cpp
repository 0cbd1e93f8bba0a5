// Replays the seed and regression corpora through the harnesses in the ordinary test
// build, so that every file a fuzzer once found stays fixed. Usage:
//   fuzz_replay READER FILE_OR_FOLDER...
// Each input also has to keep within the memory and time that a file of its size may
// take: the peak of live heap bytes is counted exactly through the sanitizer's
// allocation hooks (deterministic), and the CPU time has a generous limit.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KANDRIVEL_HEAP_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KANDRIVEL_HEAP_HOOKS 1
#endif
#endif
#ifdef KANDRIVEL_HEAP_HOOKS
// The sanitizer runtime's allocator interface (gcc ships no header for it).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

using THarness = int (*)(const uint8_t*, size_t);

#define KANDRIVEL_FUZZ_TARGET(name) extern "C" int kandrivel_fuzz_##name(const uint8_t*, size_t);
#include "fuzz_targets.inc"
#undef KANDRIVEL_FUZZ_TARGET

namespace {

struct TTarget {
    const char* name;
    THarness run;
};

const TTarget kTargets[] = {
#define KANDRIVEL_FUZZ_TARGET(name) {#name, kandrivel_fuzz_##name},
#include "fuzz_targets.inc"
#undef KANDRIVEL_FUZZ_TARGET
};

// Every file under 1 KiB stays within 64 MiB; larger ones get as much per KiB.
constexpr int64_t kBytesPerKiB = int64_t(64) << 20;
// The goal is a second in a release build; the sanitized debug build is many times
// slower and the machine may be busy, so only a runaway trips this.
constexpr double kCpuSecondsLimit = 30.0;

std::atomic<int64_t> live{0};
std::atomic<int64_t> peak{0};

#ifdef KANDRIVEL_HEAP_HOOKS
void onMalloc(const volatile void*, size_t size)
{
    const int64_t now = live.fetch_add(int64_t(size)) + int64_t(size);
    int64_t p = peak.load();
    while (now > p && !peak.compare_exchange_weak(p, now)) {}
}
void onFree(const volatile void* ptr)
{
    if (ptr)
        live.fetch_sub(int64_t(__sanitizer_get_allocated_size(ptr)));
}
#endif

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

QStringList inputsOf(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.isDir())
        return {path};
    QStringList files;
    for (const QFileInfo& f : QDir(path).entryInfoList(QDir::Files, QDir::Name))
        files << f.filePath();
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s READER FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    const auto* target = std::find_if(std::begin(kTargets), std::end(kTargets), [&](const TTarget& t) {
        return QLatin1String(t.name) == QLatin1String(argv[1]);
    });
    if (target == std::end(kTargets)) {
        std::fprintf(stderr, "no harness named %s\n", argv[1]);
        return 2;
    }
#ifdef KANDRIVEL_HEAP_HOOKS
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
#endif
    int failures = 0, count = 0;
    for (int a = 2; a < argc; ++a) {
        for (const QString& file : inputsOf(QString::fromLocal8Bit(argv[a]))) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
                ++failures;
                continue;
            }
            const QByteArray bytes = f.readAll();
            const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
            // A first run fills the caches that live for the whole program (fonts).
            target->run(data, size_t(bytes.size()));
            const int64_t base = live.load();
            peak.store(base);
            const double t0 = cpuSeconds();
            target->run(data, size_t(bytes.size()));
            const double seconds = cpuSeconds() - t0;
            const int64_t took = peak.load() - base;
            const int64_t allowed = kBytesPerKiB * std::max<int64_t>(1, (bytes.size() + 1023) / 1024);
            ++count;
            if (took > allowed) {
                std::fprintf(stderr, "%s: %lld bytes of heap, more than %lld\n", qPrintable(file), (long long)took,
                             (long long)allowed);
                ++failures;
            }
            if (seconds > kCpuSecondsLimit) {
                std::fprintf(stderr, "%s: %.1f s of CPU time\n", qPrintable(file), seconds);
                ++failures;
            }
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "no inputs for %s\n", target->name);
        return 1;
    }
    std::printf("%s: %d inputs, %d failed\n", target->name, count, failures);
    return failures ? 1 : 0;
}
