#pragma once
#include <QString>
#include <QStringList>

// A fresh folder that lives until the process ends.
QString TempDir();
// Absolute path of a file below the source tree.
QString SourcePath(const QString& relative);
// Runs a program; returns its exit code (−1 when it could not start) and its output.
int RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr);
// True when a program is on PATH; oracle tests skip (GTEST_SKIP) without one.
bool HaveTool(const QString& program);
