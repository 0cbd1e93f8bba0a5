// Scanning through the source manager: pixels, dialog settings, cancels, feeders and failures.
#include "sane_test_env.h"

#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/dialogs/select_source_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/dialogs/twain_acquire.h"
#include "imaging/proc/dib.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/scan/default_source.h"
#include "platform/scan/sane_manager.h"

#include "common/test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace scantest;

namespace {

// Scans once through the source dialog's Scan button.
QByteArray scanOnce(bool multiple = false, std::function<void(TScanSourceDialog*)> prepare = {})
{
    OnSourceDialog([prepare](TScanSourceDialog* d) {
        if (!d)
            return;
        if (prepare)
            prepare(d);
        ClickScan(d);
    });
    return TwainAcquire(nullptr, multiple);
}

struct ModeCase {
    const char* name;
    TConf conf;
    TConf oracle;  // scanimage's settings where it cannot scan ours (else the same)
    int dibBits;
    int samples;
    int depth;
    int lostPixels = 0;  // at the end of each line, beside the oracle's
};

class AcquireModes : public ::testing::TestWithParam<ModeCase> {};

}  // namespace

TEST_P(AcquireModes, PixelsMatchScanimageForTheSameSettings)
{
    REQUIRE_SANE_TEST_BACKEND();
    const ModeCase& c = GetParam();
    SetScanDefaultSource({});
    Configure(c.oracle.empty() ? c.conf : c.oracle);
    TPnm want;
    ASSERT_TRUE(ScanImage({}, want));
    Configure(c.conf);
    if (c.lostPixels) {
        TPnm cut = want;
        cut.Width -= c.lostPixels;
        cut.Samples.clear();
        for (int y = 0; y < want.Height; ++y)
            for (int x = 0; x < cut.Width; ++x)
                for (int ch = 0; ch < want.Channels; ++ch)
                    cut.Samples.push_back(want.At(x, y, ch));
        want = cut;
    }

    QByteArray dib = scanOnce();
    EXPECT_EQ(TwainState(), 1);
    ASSERT_FALSE(dib.isEmpty());
    TBitmap bmp;
    EXPECT_EQ(DIBToBitmap(dib, &bmp), c.dibBits);
    const QString diff = CompareWithScan(bmp, want);
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    const TTwainImageInfo& info = TwainLastImageInfo();
    EXPECT_EQ(info.SamplesPerPixel, c.samples);
    EXPECT_EQ(info.BitsPerSample, c.depth);
    EXPECT_EQ(info.ImageLength, want.Height);
    EXPECT_EQ(TwainGetXResolution(), 50);
    EXPECT_EQ(TwainGetYResolution(), 50);
    TwainFreeDIBs(dib);
    EXPECT_TRUE(dib.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AcquireModes,
    ::testing::Values(
        ModeCase{"Colour8", {{"mode", "Color"}}, {}, 24, 3, 8},
        ModeCase{"Colour16", {{"mode", "Color"}, {"depth", "16"}}, {}, 24, 3, 16},
        // The grid looks the same in every mode; 1-bit colour is 1 = full intensity.
        ModeCase{"Colour1",
                 {{"mode", "Color"}, {"depth", "1"}, {"test-picture", "Grid"}},
                 {{"mode", "Gray"}, {"depth", "1"}, {"test-picture", "Grid"}},
                 24,
                 3,
                 1},
        ModeCase{"Grey8", {{"mode", "Gray"}}, {}, 8, 1, 8},
        ModeCase{"Grey16", {{"mode", "Gray"}, {"depth", "16"}}, {}, 8, 1, 16},
        ModeCase{"Lineart", {{"mode", "Gray"}, {"depth", "1"}}, {}, 1, 1, 1},
        ModeCase{"LineartGridOddWidth",
                 {{"mode", "Gray"}, {"depth", "1"}, {"test-picture", "Grid"}, {"br_x", "41.0"}},
                 {},
                 1,
                 1,
                 1},
        ModeCase{"ThreePassRGB", {{"mode", "Color"}, {"three-pass", "true"}}, {}, 24, 3, 8},
        ModeCase{"ThreePassGBR", {{"mode", "Color"}, {"three-pass", "true"}, {"three-pass-order", "GBR"}}, {}, 24, 3, 8},
        ModeCase{"ThreePass16",
                 {{"mode", "Color"}, {"depth", "16"}, {"three-pass", "true"}},
                 {{"mode", "Color"}, {"depth", "16"}},
                 24,
                 3,
                 16},
        ModeCase{"HandScannerColour", {{"mode", "Color"}, {"hand-scanner", "true"}}, {}, 24, 3, 8},
        ModeCase{"HandScannerLineart", {{"mode", "Gray"}, {"depth", "1"}, {"hand-scanner", "true"}}, {}, 1, 1, 1},
        ModeCase{
            "HandScannerThreePass", {{"mode", "Color"}, {"hand-scanner", "true"}, {"three-pass", "true"}}, {}, 24, 3, 8},
        ModeCase{"ShortReads", {{"mode", "Color"}, {"read-limit", "true"}, {"read-limit-size", "7"}}, {}, 24, 3, 8},
        ModeCase{"PaddedLines", {{"mode", "Color"}, {"ppl-loss", "5"}}, {{"mode", "Color"}}, 24, 3, 8, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Acquire, DialogSettingsReachTheScan)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure({{"mode", "Gray"}, {"resolution_quant", "0.5"}});
    // Colour chosen in the dialog, a resolution with a fraction typed in.
    QByteArray dib = scanOnce(false, [](TScanSourceDialog* d) {
        ChooseOption(d, "mode", QStringLiteral("Color"));
        auto* res = qobject_cast<QDoubleSpinBox*>(d->OptionControl("resolution"));
        ASSERT_TRUE(res);
        res->setFocus();
        res->selectAll();
        QTest::keyClicks(res, QStringLiteral("72.5"));
        QTest::keyClick(res, Qt::Key_Return);
    });
    ASSERT_FALSE(dib.isEmpty());
    TBitmap bmp;
    EXPECT_EQ(DIBToBitmap(dib, &bmp), 24);
    EXPECT_EQ(TwainLastImageInfo().XResolution, 72.5);
    EXPECT_EQ(TwainGetXResolution(), 72);  // the whole-number part
    TPnm want;
    ASSERT_TRUE(ScanImage({"--mode", "Color", "--resolution", "72.5"}, want));
    const QString diff = CompareWithScan(bmp, want);
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
}

TEST(Acquire, CancelInTheDialogReturnsNothingAndUnwinds)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure();
    int stateWhileUp = 0;
    bool visible = false;
    OnSourceDialog([&](TScanSourceDialog* d) {
        ASSERT_TRUE(d);
        stateWhileUp = TwainState();
        visible = d->isVisible();
        ClickCancel(d);
    });
    EXPECT_TRUE(TwainAcquire(nullptr, false).isEmpty());
    EXPECT_EQ(stateWhileUp, 5);
    EXPECT_TRUE(visible);
    EXPECT_EQ(TwainState(), 1);
    EXPECT_FALSE(TwainSourceDialog());
    EXPECT_FALSE(SaneLibraryMapped());
}

TEST(Acquire, DocumentFeederInMultipleModeDeliversEveryPage)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure({{"mode", "Color"}});
    // scanimage tells how many pages the feeder holds.
    const QString batch = TempDir();
    ASSERT_EQ(RunTool("scanimage", {"-d", "test:0", "--source", "Automatic Document Feeder", "--format=pnm",
                                    "--batch=" + batch + "/p%d.pnm"}),
              0);
    const int pages = QDir(batch).entryList({"p*.pnm"}).size();
    ASSERT_GT(pages, 1);
    TPnm first;
    QFile f(batch + "/p1.pnm");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(ParsePnm(f.readAll(), first));

    QByteArray last = scanOnce(true, [](TScanSourceDialog* d) {
        ChooseOption(d, "source", QStringLiteral("Automatic Document Feeder"));
    });
    EXPECT_EQ(TwainState(), 1);
    ASSERT_EQ(int(TwainImages().size()), pages);
    EXPECT_EQ(int(TwainImageInfos().size()), pages);
    EXPECT_EQ(last, TwainImages().back());
    for (const QByteArray& page : TwainImages()) {
        TBitmap bmp;
        DIBToBitmap(page, &bmp);
        const QString diff = CompareWithScan(bmp, first);
        EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    }
    TwainFreeDIBs(last);
    EXPECT_TRUE(TwainImages().empty());
    EXPECT_FALSE(last.isEmpty());  // the pages were kept, so the handle is the caller's
}

TEST(Acquire, FeederInSingleModeTakesOnePageAndTheNextScanStillWorks)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure({{"mode", "Color"}});
    for (int round = 0; round < 2; ++round) {
        QByteArray dib = scanOnce(false, [](TScanSourceDialog* d) {
            ChooseOption(d, "source", QStringLiteral("Automatic Document Feeder"));
        });
        EXPECT_FALSE(dib.isEmpty()) << round;
        EXPECT_TRUE(TwainImages().empty());
        EXPECT_EQ(TwainState(), 1);
        EXPECT_FALSE(SaneLibraryMapped());
    }
}

TEST(Acquire, TwoAcquisitionsEachLoadAndUnload)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure({{"mode", "Color"}});
    for (int round = 0; round < 2; ++round) {
        bool mappedWhileUp = false;
        OnSourceDialog([&](TScanSourceDialog* d) {
            mappedWhileUp = SaneLibraryMapped();
            ClickScan(d);
        });
        EXPECT_FALSE(TwainAcquire(nullptr, false).isEmpty()) << round;
        EXPECT_TRUE(mappedWhileUp) << round;
        EXPECT_FALSE(SaneLibraryMapped()) << round;
        EXPECT_EQ(TwainState(), 1);
    }
}

namespace {

struct FailureCase {
    const char* name;
    QString library;
    QString backends;
    QByteArray defaultSource;
    QString message;  // %1: the library's name
};

class AcquireFailures : public ::testing::TestWithParam<FailureCase> {};

}  // namespace

TEST_P(AcquireFailures, RaiseTheirMessageAndLeaveStateOne)
{
    const FailureCase& c = GetParam();
    const bool needsBackend = c.library == "libsane.so.1";
    if (needsBackend)
        REQUIRE_SANE_TEST_BACKEND();
    Configure({}, c.backends);
    SetScanDefaultSource(c.defaultSource);
    TSaneManager::SetLibraryName(c.library);
    // Should the source open after all, its dialog is cancelled rather than left waiting.
    OnSourceDialog([](TScanSourceDialog* d) {
        if (d)
            ClickCancel(d);
    });
    QString message;
    try {
        TwainAcquire(nullptr, false);
    } catch (const EInvalidGraphic& e) {
        message = e.Message();
    }
    QCoreApplication::processEvents();  // the unused dialog action runs now, finding nothing
    TSaneManager::SetLibraryName("libsane.so.1");
    SetScanDefaultSource({});
    EXPECT_EQ(message, c.message.contains("%1") ? c.message.arg(c.library) : c.message);
    EXPECT_EQ(TwainState(), 1);
    EXPECT_FALSE(SaneLibraryMapped());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AcquireFailures,
    ::testing::Values(
        FailureCase{"NoLibrary", "libkandrivel-missing.so.9", "test", {}, "TWAIN:Unable to load Source Manager (%1)"},
        FailureCase{"LibraryWithoutEntries", "libz.so.1", "test", {}, "TWAIN:Unable to load Source Manager (%1)"},
        FailureCase{"NoDevice", "libsane.so.1", "", {}, "TWAIN:Unable to open default Data Source."},
        FailureCase{"OpenFails", "libsane.so.1", "test", "test:7", "TWAIN:Unable to open default Data Source."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Acquire, OnlyTheParentIsDisabledAndReentryIsRefused)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure();
    auto* parent = new QWidget;
    QWidget other;
    parent->show();
    other.show();
    bool parentEnabled = true, otherEnabled = false, dialogEnabled = false;
    QString reentry;
    OnSourceDialog([&](TScanSourceDialog* d) {
        parentEnabled = parent->isEnabled();
        otherEnabled = other.isEnabled();
        dialogEnabled = d->isEnabled();
        try {
            TwainAcquire(nullptr, false);
        } catch (const EInvalidGraphic& e) {
            reentry = e.Message();
        }
        delete parent;  // a window freed while the source is up
        parent = nullptr;
        ClickCancel(d);
    });
    EXPECT_TRUE(TwainAcquire(parent, false).isEmpty());
    EXPECT_FALSE(parentEnabled);
    EXPECT_TRUE(otherEnabled);
    EXPECT_TRUE(dialogEnabled);
    EXPECT_EQ(reentry, "TWAIN:Acquisition already in progress");
    EXPECT_EQ(TwainState(), 1);

    // Without a window freed the parent comes back enabled.
    QWidget kept;
    kept.show();
    OnSourceDialog([](TScanSourceDialog* d) { ClickCancel(d); });
    TwainAcquire(&kept, false);
    EXPECT_TRUE(kept.isEnabled());
}

namespace {

class QuitCounter : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == qApp && e->type() == QEvent::Quit) {
            ++Count;
            return true;  // the test has no main loop to end
        }
        return false;
    }
};

}  // namespace

TEST(Acquire, QuitDuringTheLoopEndsItAndIsPostedAgain)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure();
    QuitCounter counter;
    qApp->installEventFilter(&counter);
    int countInLoop = -1;
    OnSourceDialog([&](TScanSourceDialog*) {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        countInLoop = counter.Count;
    });
    EXPECT_TRUE(TwainAcquire(nullptr, false).isEmpty());
    EXPECT_EQ(TwainState(), 1);
    EXPECT_EQ(countInLoop, 0);  // taken by the acquisition
    QCoreApplication::sendPostedEvents(qApp, QEvent::Quit);
    EXPECT_EQ(counter.Count, 1);  // and handed on after it
    qApp->removeEventFilter(&counter);
}

TEST(SelectSource, TheChosenDeviceBecomesTheDefaultSource)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    Configure();
    struct Case {
        const char* name;
        int row;  // -1: Cancel
        bool result;
        QByteArray source;  // the default afterwards
    } cases[] = {
        {"second device", 1, true, "test:1"},
        {"cancelled keeps it", -1, false, "test:1"},
        {"first device", 0, true, "test:0"},
    };
    for (const Case& c : cases) {
        int listed = 0;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TSelectSourceDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d) << c.name;
            listed = d->List()->count();
            if (c.row < 0) {
                d->reject();
                return;
            }
            d->List()->setCurrentRow(c.row);
            QTest::mouseClick(d->findChild<QPushButton*>("SelectButton"), Qt::LeftButton);
        });
        EXPECT_EQ(TwainSelectSource(nullptr), c.result) << c.name;
        EXPECT_EQ(listed, 2) << c.name;
        EXPECT_EQ(ScanDefaultSource(), c.source) << c.name;
        EXPECT_EQ(TwainState(), 1) << c.name;
    }
    // The next scan opens the chosen device: its name heads the source's dialog.
    QString caption;
    OnSourceDialog([&](TScanSourceDialog* d) {
        caption = d->windowTitle();
        ClickCancel(d);
    });
    TwainAcquire(nullptr, false);
    EXPECT_EQ(caption, "test:0");
    SetScanDefaultSource({});
}

TEST(ImageKitIOAcquire, TheScanBecomesTheBitmapWithItsParameters)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    struct Case {
        const char* name;
        TConf conf;
        TPixelFormat format;
        int bitsPerSample, samplesPerPixel;
    } cases[] = {
        {"colour", {{"mode", "Color"}, {"resolution", "75"}}, pf24bit, 8, 3},
        {"grey", {{"mode", "Gray"}, {"resolution", "75"}}, pf24bit, 8, 1},
        {"lineart", {{"mode", "Gray"}, {"depth", "1"}, {"resolution", "75"}}, pf1bit, 1, 1},
    };
    for (const Case& c : cases) {
        Configure(c.conf);
        TPnm want;
        ASSERT_TRUE(ScanImage({}, want)) << c.name;
        TBitmap bmp;
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        OnSourceDialog([](TScanSourceDialog* d) { ClickScan(d); });
        ASSERT_TRUE(io.Acquire()) << c.name;
        EXPECT_EQ(bmp.PixelFormat(), c.format) << c.name;
        const QString diff = CompareWithScan(bmp, want);
        EXPECT_TRUE(diff.isEmpty()) << c.name << ": " << diff.toStdString();
        EXPECT_EQ(io.Params().BitsPerSample, c.bitsPerSample) << c.name;
        EXPECT_EQ(io.Params().SamplesPerPixel, c.samplesPerPixel) << c.name;
        EXPECT_EQ(io.Params().DpiX, 75) << c.name;
        EXPECT_EQ(io.Params().DpiY, 75) << c.name;
        EXPECT_EQ(io.Params().Width, want.Width) << c.name;
        EXPECT_EQ(io.Params().Height, want.Height) << c.name;
    }
    // Cancelled: nothing acquired, the bitmap untouched.
    TBitmap bmp(5, 4, pf24bit);
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    OnSourceDialog([](TScanSourceDialog* d) { ClickCancel(d); });
    EXPECT_FALSE(io.Acquire());
    EXPECT_EQ(bmp.Width(), 5);
}

// The device's reads run beside the window's thread: the source's dialog shows their
// progress from the line count, and Cancel during them stops the scan and unwinds.
TEST(Acquire, TransferShowsProgressAndCancelStopsIt)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    // Small reads with a pause each: the transfer lasts long enough to be cancelled.
    Configure({{"resolution", "100"},
               {"br_x", "80.0"},
               {"br_y", "60.0"},
               {"read-limit", "true"},
               {"read-limit-size", "1000"},
               {"read-delay", "true"},
               {"read-delay-duration", "20000"}});
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "to the end");
        std::vector<int> seen;
        bool eventsRan = false;
        OnSourceDialog([&](TScanSourceDialog* d) {
            ASSERT_TRUE(d);
            auto* bar = d->findChild<QProgressBar*>(QStringLiteral("ScanProgress"));
            ASSERT_TRUE(bar);
            QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
            ClickScan(d);
            // Events keep running while the device reads.
            QTimer::singleShot(0, [&] { eventsRan = true; });
            ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty() && seen.back() > 0; }, 20000));
            EXPECT_TRUE(d->CancelButton()->isEnabled());
            EXPECT_FALSE(d->ScanButton()->isEnabled());
            if (cancel)
                ClickCancel(d);
        });
        const QByteArray dib = TwainAcquire(nullptr, false);
        EXPECT_TRUE(eventsRan);
        EXPECT_EQ(dib.isEmpty(), cancel);
        EXPECT_EQ(TwainState(), 1);
        EXPECT_FALSE(TwainSourceDialog());
        ASSERT_FALSE(seen.empty());
        if (!cancel)
            EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), 100);
        else
            EXPECT_LT(*std::max_element(seen.begin(), seen.end()), 100);
    }
}
