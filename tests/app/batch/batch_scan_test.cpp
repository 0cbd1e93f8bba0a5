// Batches that scan: a window per scanned image, and windows closed while the source is up.
#include "app/batch/batch_file.h"
#include "app/batch/batch_runner.h"
#include "app/batch/batch_dialog.h"
#include "app/app_test_util.h"
#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/io/acquire/sane_test_env.h"
#include "imaging/dialogs/twain_acquire.h"
#include "imaging/io/image_kit_io.h"

#include <QPointer>
#include <QTimer>

namespace {

class BatchScanner : public MainWindowTest {};

TEST_F(BatchScanner, EveryScannedImageGetsItsOwnWindowUntilTheSourceIsCancelled)
{
    REQUIRE_SANE_TEST_BACKEND();
    scantest::Configure({{"mode", "Color"}, {"br_x", "20.0"}, {"br_y", "15.0"}});
    scantest::TPnm scan;
    ASSERT_TRUE(
        scantest::ScanImage({QStringLiteral("--mode=Color"), QStringLiteral("--resolution=50"), QStringLiteral("-x"),
                             QStringLiteral("20"), QStringLiteral("-y"), QStringLiteral("15")},
                            scan));
    make();
    form->Batch().ScanPauseMs = 0;
    tautomatitem neg;
    neg.SetCode(cmdNegative);
    WriteBatchFile(BatchFilePath(QStringLiteral("neg")), {neg.ToByteArray()});
    const QString out = TempDir() + QStringLiteral("/scanout");
    QDir().mkpath(out);

    const struct {
        int after;
        int scans;
    } cases[] = {{2, 3}, {0, 2}};
    for (const auto& c : cases) {
        for (const QString& f : QDir(out).entryList(QDir::Files))
            QFile::remove(out + QLatin1Char('/') + f);
        Tautoform* a = form->autoform();
        a->work.after = c.after;
        a->work.formatindex = 1;
        a->work.startnumber = 1;
        a->work.startname.Assign(QStringLiteral("s"));
        a->FormActivate(form->options);
        a->SetDirectory(out);
        // Scan while there are scans to make, then cancel the source.
        int shown = 0;
        QPointer<TScanSourceDialog> handled;
        QTimer driver;
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            TScanSourceDialog* d = TwainSourceDialog();
            if (!d || d == handled.data() || !d->isVisible())
                return;
            handled = d;
            if (++shown <= c.scans)
                scantest::ClickScan(d);
            else
                scantest::ClickCancel(d);
        });
        driver.start();
        form->Batch().RunBatch(BatchFilePath(QStringLiteral("neg")), TBatchRunner::bmScanner);
        driver.stop();
        EXPECT_EQ(shown, c.scans + 1);

        std::vector<const TBitmap*> images;
        std::vector<TBitmap> loaded;
        if (c.after == 2) {
            EXPECT_EQ(form->MDIChildCount(), 0);
            const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
            ASSERT_EQ(files.size(), c.scans);
            for (int i = 0; i < c.scans; ++i) {
                EXPECT_EQ(files[i], QStringLiteral("s000%1.bmp").arg(i + 1));
                TImageKitIO io;
                loaded.emplace_back();
                io.SetAttachedBitmap(&loaded.back());
                io.LoadFromFile(out + QLatin1Char('/') + files[i]);
            }
            for (const TBitmap& b : loaded)
                images.push_back(&b);
        } else {
            ASSERT_EQ(form->MDIChildCount(), c.scans);
            QStringList captions;
            for (QWidget* w : form->MDIChildren()) {
                auto* child = qobject_cast<Tchild*>(w);
                ASSERT_NE(child, nullptr);
                captions << child->windowTitle();
                images.push_back(child->imageKit->Bitmap());
            }
            EXPECT_EQ(captions.size(), QSet<QString>(captions.begin(), captions.end()).size());
            EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());
        }
        for (const TBitmap* b : images) {
            TBitmap back;
            back.Assign(*b);
            for (int y = 0; y < back.Height(); ++y) {
                uint8_t* row = back.ScanLine(y);
                for (int x = 0; x < 3 * back.Width(); ++x)
                    row[x] = uint8_t(255 - row[x]);
            }
            EXPECT_EQ(scantest::CompareWithScan(back, scan), QString());
        }
    }
}

// The scan command's window, or the main window, closed while the scanner's dialog is
// up; Scan is pressed afterwards and the read runs to its end.
TEST_F(BatchScanner, ScanCommandSurvivesClosingItsWindowsWhileTheSourceIsUp)
{
    REQUIRE_SANE_TEST_BACKEND();
    scantest::Configure({{"mode", "Color"}, {"br_x", "20.0"}, {"br_y", "15.0"}});
    for (const bool mainWindow : {false, true}) {
        make();
        answer = mrNo;
        bool pressed = false;
        scantest::OnSourceDialog([&](TScanSourceDialog* d) {
            ASSERT_TRUE(d);
            if (mainWindow) {
                form->close();
            } else {
                ASSERT_EQ(form->MDIChildCount(), 1);
                form->MDIChildren().front()->parentWidget()->close();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (TwainSourceDialog() == d) {
                scantest::ClickScan(d);
                pressed = true;
            }
        });
        tautomatitem scan;
        scan.SetCode(cmdScan);
        form->runautomatitem(form.get(), scan);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(pressed || mainWindow);
        EXPECT_EQ(form->MDIChildCount(), 0) << mainWindow;
        EXPECT_EQ(TwainState(), 1);
        form.reset();
    }
}

}  // namespace
