// What every test executable shares: temporary folders, source paths and tools.
#pragma once
#include <QString>
#include <QStringList>
#include <dlfcn.h>
#include <gtest/gtest.h>

// A fresh folder that lives until the process ends.
QString TempDir();
// Absolute path of a file below the source tree.
QString SourcePath(const QString& relative);
// Runs a program; returns its exit code (−1 when it could not start) and its output.
int RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr);

// Whether a shared library is already in this process (nothing is loaded to find out).
inline bool LibraryLoaded(const char* soname)
{
    void* const lib = ::dlopen(soname, RTLD_NOW | RTLD_NOLOAD);
    if (lib)
        ::dlclose(lib);
    return lib != nullptr;
}

// Oracles are other tools the tests check against, each named by one of:
//   a program on PATH ("convert"), a Python module ("python3:PIL"),
//   a shared library ("lib:libEMF.so.1"), or an absolute path a package installs.
// Returns the first one that is not there, empty when all are.
QString MissingTool(const QStringList& tools);

// Whether one oracle is there; tests that need it skip with KANDRIVEL_SKIP_TOOL and its name.
inline bool HaveTool(const QString& tool) { return MissingTool({tool}).isEmpty(); }
inline bool HavePIL() { return HaveTool(QStringLiteral("python3:PIL")); }

// Skip reasons begin with one of these; scripts/run-tests fails a CI run on a missing
// tool (every oracle is installed there) and only lists the hardware a machine lacks.
#define KANDRIVEL_SKIP_TOOL "missing tool: "
#define KANDRIVEL_SKIP_HARDWARE "no hardware: "

// Skips the running test, naming the oracle, unless every one given is there.
#define REQUIRE_TOOLS(...) \
    do { \
        if (const QString missing_tool_ = MissingTool(QStringList{__VA_ARGS__}); !missing_tool_.isEmpty()) \
            GTEST_SKIP() << KANDRIVEL_SKIP_TOOL << missing_tool_.toStdString(); \
    } while (0)
