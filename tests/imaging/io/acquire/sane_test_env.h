// The SANE test device as the scanner of the acquisition tests: one configuration folder
// per process (SANE reads its location once), rewritten before each scan, and
// scanimage on the same folder as the oracle for the pixels.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

class TBitmap;
class TScanSourceDialog;

namespace scantest {

// Keys of the test device's configuration file, overriding its defaults.
using TConf = std::map<QString, QString>;

bool HaveTestBackend();
// Writes dll.conf naming `backends` and test.conf (defaults with overrides).
void Configure(const TConf& overrides = {}, const QString& backends = QStringLiteral("test"));

// A scan as scanimage writes it: samples top-down, channels interleaved, 1-bit lineart
// expanded to 0 (white) and 1 (black) as PBM stores it.
struct TPnm {
    int Width = 0, Height = 0, Channels = 0, MaxVal = 0;
    std::vector<int> Samples;
    int At(int x, int y, int c) const { return Samples[(size_t(y) * Width + x) * Channels + c]; }
};
bool ParsePnm(const QByteArray& data, TPnm& out);
// Runs scanimage on the test device with extra arguments; false when it failed.
bool ScanImage(const QStringList& args, TPnm& out);

// The first mismatch between our bitmap and scanimage's scan ("" when they agree):
// 16-bit samples are compared by their high byte, lineart by black and white.
QString CompareWithScan(const TBitmap& ours, const TPnm& scan);

// Runs `action` on the source dialog once the acquisition's loop shows it.
void OnSourceDialog(std::function<void(TScanSourceDialog*)> action);
void ClickScan(TScanSourceDialog* dialog);
void ClickCancel(TScanSourceDialog* dialog);
// Picks the entry of an option's combo box by its text.
void ChooseOption(TScanSourceDialog* dialog, const char* option, const QString& text);

// Whether the source manager's library is mapped into this process now.
bool SaneLibraryMapped();

}  // namespace scantest

#define REQUIRE_SANE_TEST_BACKEND() \
    do { \
        if (!scantest::HaveTestBackend()) \
            GTEST_SKIP() << "missing tool: libsane test backend"; \
    } while (0)
