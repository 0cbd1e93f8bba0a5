// What the benchmarks that drive the application's windows share: an offscreen main
// window over a data directory of their own, and a folder of photographs to work on.
#pragma once

#include "app/main_window/main_window.h"

#include "bench_image.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <memory>

// Before the QApplication: offscreen, and a data directory apart from the user's.
inline void UseBenchEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("KANDRIVEL_HOME"))
        qputenv("KANDRIVEL_HOME", QDir::tempPath().toUtf8() + "/kandrivel_bench_home");
    QDir().mkpath(qEnvironmentVariable("KANDRIVEL_HOME"));
}

// The main window shown and activated, with no welcome window among its children.
inline std::unique_ptr<Tform1> StartBenchMainWindow()
{
    Tform1::ShowWelcomeAtStart = false;
    // The benchmark's own flags are no file to open.
    auto form = std::make_unique<Tform1>(QStringList());
    form->show();
    form->FormActivate();
    return form;
}

// count photo-like JPEGs (quality 90, written by cjpeg, 4:2:0 or 4:4:4) named
// photo000.jpg, … in dir. A few distinct pictures are cycled: making each file afresh
// would take longer than the measurement. Empty when cjpeg failed.
inline QStringList WriteBenchPhotos(const QString& dir, int count, int width, int height, bool subsampled = true)
{
    constexpr int kDistinct = 4;
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << dir + QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    for (int s = 0; s < kDistinct && s < count; ++s) {
        if (!WriteCjpeg(MakeBenchPhoto(width, height, unsigned(s + 1)), files[s], 90, subsampled))
            return {};
        for (int i = s + kDistinct; i < count; i += kDistinct)
            if (!QFile::copy(files[s], files[i]))
                return {};
    }
    return files;
}
