// The scan command through the main window: the scanner's dialog stays above it, one
// scan at a time, and a scan that fails or finishes says so in the user's language.
#include "app/app_test_util.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/io/acquire/sane_test_env.h"
#include "imaging/dialogs/twain_acquire.h"
#include "platform/scan/default_source.h"

#include <QPushButton>
#include <QToolButton>
#include <QWindow>

namespace {

class ScanCommand : public MainWindowTest {
protected:
    void TearDown() override
    {
        SetLanguage(langGerman);
        MainWindowTest::TearDown();
    }
    void clickScan()
    {
        QTest::mouseClick(form->Control<QToolButton>(QLatin1String(ObjectName::MainWindow::scanbtn)), Qt::LeftButton);
    }
};

}  // namespace

TEST_F(ScanCommand, TheDialogStaysAboveTheMainWindowAndASecondScanBringsItForward)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    scantest::Configure();
    make();
    SetLanguage(langGerman);
    bool above = false, stillUp = false, buttonUsable = false;
    int windowsWhileUp = -1, windowsAfterSecond = -1;
    QString cancelText;
    scantest::OnSourceDialog([&](TScanSourceDialog* d) {
        ASSERT_TRUE(d);
        above = d->windowHandle() && d->windowHandle()->transientParent() == form->windowHandle();
        cancelText = d->CancelButton()->text();
        windowsWhileUp = form->MDIChildCount();
        form->activateWindow();  // a click on the main window
        buttonUsable = form->Control<QToolButton>(QLatin1String(ObjectName::MainWindow::scanbtn))->isEnabled();
        clickScan();
        windowsAfterSecond = form->MDIChildCount();
        stillUp = TwainSourceDialog() == d && d->isVisible();
        scantest::ClickCancel(d);
    });
    clickScan();
    EXPECT_TRUE(above);
    EXPECT_TRUE(buttonUsable);
    EXPECT_EQ(cancelText, QStringLiteral("Abbrechen"));
    EXPECT_EQ(windowsWhileUp, 1);
    EXPECT_EQ(windowsAfterSecond, 1);
    EXPECT_TRUE(stillUp);
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->MDIChildCount(), 0);
    EXPECT_EQ(TwainState(), 1);
}

TEST_F(ScanCommand, AFailedOrLostScanLeavesNoWindowAndSaysWhyInTheUsersLanguage)
{
    REQUIRE_SANE_TEST_BACKEND();
    SetScanDefaultSource({});
    const struct {
        uint8_t language;
        bool noScanner;  // else the scan's window is closed before the scan ends
        const char* message;
    } cases[] = {
        {langGerman, true, "TWAIN:Standard-Datenquelle kann nicht geöffnet werden."},
        {langEnglish, true, "TWAIN:Unable to open default Data Source."},
        {langGerman, false, "Das Fenster des Scans wurde geschlossen; das gescannte Bild wurde verworfen."},
        {langEnglish, false, "The scan's window was closed; the scanned image was discarded."},
    };
    for (const auto& c : cases) {
        scantest::Configure({}, c.noScanner ? QString() : QStringLiteral("test"));
        make();
        SetLanguage(c.language);
        messages.clear();
        answer = mrNo;
        if (!c.noScanner)
            scantest::OnSourceDialog([&](TScanSourceDialog* d) {
                ASSERT_TRUE(d);
                ASSERT_EQ(form->MDIChildCount(), 1);
                form->MDIChildren().front()->parentWidget()->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                scantest::ClickScan(d);
            });
        clickScan();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(form->MDIChildCount(), 0) << c.message;
        ASSERT_FALSE(messages.empty()) << c.message;
        EXPECT_EQ(messages.back(), QString::fromUtf8(c.message));
        EXPECT_EQ(TwainState(), 1);
        form.reset();
    }
}
