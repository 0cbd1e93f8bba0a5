// The scanner library's test device set up for the tests, and PNM parsing of scanimage output.
#include "sane_test_env.h"

#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/dialogs/twain_acquire.h"
#include "platform/graphics/bitmap.h"
#include "common/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace scantest {

namespace {

QString configDir()
{
    static const QString dir = [] {
        const QString d = TempDir();
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(d));
        // The remembered default source lives in the data directory; tests running side
        // by side must not change it under each other.
        qputenv("KANDRIVEL_HOME", QFile::encodeName(TempDir()));
        return d;
    }();
    return dir;
}

void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}

}  // namespace

bool HaveTestBackend()
{
    configDir();
    static const bool have = [] {
        QStringList candidates{QStringLiteral("/usr/lib/sane/libsane-test.so.1")};
        for (const QString& lib : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            candidates << QStringLiteral("/usr/lib/%1/sane/libsane-test.so.1").arg(lib);
        // The test device's library stays mapped for the whole run (the source manager
        // itself still loads and unloads): leaks its own threads leave behind can then be
        // named in the leak report and suppressed there.
        void* backend = nullptr;
        for (const QString& path : candidates)
            if (!backend && QFile::exists(path))
                backend = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        void* h = dlopen("libsane.so.1", RTLD_NOW | RTLD_LOCAL);
        if (h)
            dlclose(h);
        return backend && h && MissingTool({QStringLiteral("scanimage")}).isEmpty();
    }();
    return have;
}

void Configure(const TConf& overrides, const QString& backends)
{
    TConf conf = {
        {"number_of_devices", "2"},
        {"mode", "Gray"},
        {"depth", "8"},
        {"hand-scanner", "false"},
        {"three-pass", "false"},
        {"three-pass-order", "RGB"},
        {"resolution_min", "1.0"},
        {"resolution_max", "1200.0"},
        {"resolution_quant", "1.0"},
        {"resolution", "50.0"},
        {"test-picture", "\"Color pattern\""},
        {"geometry_min", "0.0"},
        {"geometry_max", "300.0"},
        {"geometry_quant", "1.0"},
        {"tl_x", "0.0"},
        {"tl_y", "0.0"},
        {"br_x", "40.0"},
        {"br_y", "30.0"},
    };
    for (const auto& [k, v] : overrides)
        conf[k] = v;
    QByteArray text;
    for (const auto& [k, v] : conf)
        text += (k + QLatin1Char(' ') + v + QLatin1Char('\n')).toUtf8();
    const QString dir = configDir();
    writeFile(dir + QStringLiteral("/test.conf"), text);
    writeFile(dir + QStringLiteral("/dll.conf"), backends.toUtf8() + '\n');
}

bool ParsePnm(const QByteArray& data, TPnm& out)
{
    qsizetype pos = 0;
    auto token = [&]() -> QByteArray {
        for (;;) {
            while (pos < data.size() && QChar(data[pos]).isSpace())
                ++pos;
            if (pos < data.size() && data[pos] == '#') {
                while (pos < data.size() && data[pos] != '\n')
                    ++pos;
                continue;
            }
            break;
        }
        const qsizetype start = pos;
        while (pos < data.size() && !QChar(data[pos]).isSpace())
            ++pos;
        return data.mid(start, pos - start);
    };
    const QByteArray magic = token();
    out.Width = token().toInt();
    out.Height = token().toInt();
    out.MaxVal = magic == "P4" ? 1 : token().toInt();
    ++pos;  // the single white space before the samples
    out.Channels = magic == "P6" ? 3 : 1;
    if ((magic != "P4" && magic != "P5" && magic != "P6") || out.Width <= 0 || out.Height <= 0)
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + pos;
    const size_t avail = size_t(data.size() - pos);
    out.Samples.assign(size_t(out.Width) * out.Height * out.Channels, 0);
    if (magic == "P4") {
        const size_t row = size_t(out.Width + 7) / 8;
        if (avail < row * out.Height)
            return false;
        for (int y = 0; y < out.Height; ++y)
            for (int x = 0; x < out.Width; ++x)
                out.Samples[size_t(y) * out.Width + x] = (p[y * row + x / 8] >> (7 - x % 8)) & 1;
        return true;
    }
    const size_t bytes = out.MaxVal > 255 ? 2 : 1;
    if (avail < out.Samples.size() * bytes)
        return false;
    for (size_t i = 0; i < out.Samples.size(); ++i)
        out.Samples[i] = bytes == 2 ? p[2 * i] << 8 | p[2 * i + 1] : p[i];
    return true;
}

bool ScanImage(const QStringList& args, TPnm& out)
{
    configDir();
    QByteArray data;
    const int rc =
        RunTool(QStringLiteral("scanimage"),
                QStringList{QStringLiteral("-d"), QStringLiteral("test:0"), QStringLiteral("--format=pnm")} + args,
                &data);
    return rc == 0 && ParsePnm(data, out);
}

QString CompareWithScan(const TBitmap& ours, const TPnm& scan)
{
    if (ours.Width() != scan.Width || ours.Height() != scan.Height)
        return QStringLiteral("size %1 x %2, scanimage %3 x %4")
            .arg(ours.Width())
            .arg(ours.Height())
            .arg(scan.Width)
            .arg(scan.Height);
    const bool wide = scan.MaxVal > 255;
    for (int y = 0; y < scan.Height; ++y) {
        const uint8_t* row = ours.ScanLine(y);
        for (int x = 0; x < scan.Width; ++x) {
            int want[3], got[3];
            if (scan.MaxVal == 1) {
                want[0] = want[1] = want[2] = scan.At(x, y, 0) ? 0 : 255;  // PBM: 1 is black
            } else {
                for (int c = 0; c < 3; ++c) {
                    const int v = scan.At(x, y, scan.Channels == 3 ? c : 0);
                    want[c] = wide ? v >> 8 : v;
                }
            }
            if (ours.PixelFormat() == pf1bit) {
                got[0] = got[1] = got[2] = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
            } else {
                got[0] = row[3 * x + 2];
                got[1] = row[3 * x + 1];
                got[2] = row[3 * x];
            }
            if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2])
                return QStringLiteral("pixel %1,%2 is %3,%4,%5, scanimage %6,%7,%8")
                    .arg(x)
                    .arg(y)
                    .arg(got[0])
                    .arg(got[1])
                    .arg(got[2])
                    .arg(want[0])
                    .arg(want[1])
                    .arg(want[2]);
        }
    }
    return {};
}

void OnSourceDialog(std::function<void(TScanSourceDialog*)> action)
{
    // Fires inside the acquisition's event loop, after the dialog went up.
    QTimer::singleShot(0, [action = std::move(action)] { action(TwainSourceDialog()); });
}

void ClickScan(TScanSourceDialog* dialog) { QTest::mouseClick(dialog->ScanButton(), Qt::LeftButton); }
void ClickCancel(TScanSourceDialog* dialog) { QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton); }

void ChooseOption(TScanSourceDialog* dialog, const char* option, const QString& text)
{
    auto* box = qobject_cast<QComboBox*>(dialog->OptionControl(option));
    ASSERT_TRUE(box) << option;
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << option << " has no " << text.toStdString();
    // Through the keyboard as a user would: focus, then step to the entry.
    box->setFocus();
    while (box->currentIndex() < i)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > i)
        QTest::keyClick(box, Qt::Key_Up);
}

bool SaneLibraryMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    maps.open(QIODevice::ReadOnly);
    return maps.readAll().contains("libsane.so.1");
}

}  // namespace scantest
