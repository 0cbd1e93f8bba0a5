#pragma once
// What the benchmarks that drive the application's windows share: an offscreen main
// window over a data directory of their own, and a folder of photographs to work on.

#include "app/forms/main_window.h"
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg_codec.h"
#include "platform/core/streams.h"

#include "bench_image.h"

#include <QDir>
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
    auto form = std::make_unique<Tform1>();
    form->show();
    form->FormActivate();
    return form;
}

// count JPEGs (quality 90) named photo000.jpg, … in dir. A few distinct pictures are
// cycled: making each file afresh would take longer than the measurement.
inline QStringList WriteBenchPhotos(const QString& dir, int count, int width, int height)
{
    constexpr int kDistinct = 4;
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << dir + QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    TProgressRec progress;
    for (int s = 0; s < kDistinct && s < count; ++s) {
        TBitmap photo = MakeBenchImage(width, height, unsigned(s + 1));
        for (int i = s; i < count; i += kDistinct) {
            TIOParamsVals params;
            params.JpegQuality = 90;
            TFileStream fs(files[i], fmCreate);
            WriteJPEGStream(fs, photo, params, progress);
        }
    }
    return files;
}
