// The main window driven as a user drives it: menus, tool buttons, dialogs and the mouse.
// Files on disk are checked with tools from outside the program.
#include "app/catalog/catalog_entry.h"
#include "app/batch/batch_dialog.h"
#include "app/catalog/catalog_window.h"
#include "app/app_test_util.h"
#include "imaging/dialogs/dialog_driver.h"
#include "imaging/dialogs/open_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <cstring>

using namespace dlgtest;

namespace {

class EndToEnd : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        dir_ = home_ + QStringLiteral("/pics");
        QDir().mkpath(dir_);
        make();
    }
    void TearDown() override
    {
        SetInputQueryHook(nullptr);
        MainWindowTest::TearDown();
    }
    // Pictures and an untouched copy of each, for cmp afterwards.
    QStringList originals(const QStringList& names)
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i) {
            const QString p = dir_ + u'/' + names[i];
            SaveImage(p, 9 + i, 7, pf24bit, 72, 72);
            QFile::copy(p, p + QStringLiteral(".orig"));
            paths << p;
        }
        return paths;
    }
    static bool unchanged(const QString& path)
    {
        return QProcess::execute(QStringLiteral("/usr/bin/cmp"),
                                 {QStringLiteral("-s"), path, path + QStringLiteral(".orig")}) == 0;
    }
    // Runs `script` on the next modal dialog once it shows, from that dialog's own loop.
    static void onNextModal(std::function<void(QWidget&)> script)
    {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, script] {
            QWidget* m = QApplication::activeModalWidget();
            if (!m || !m->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            script(*m);
        });
        poll->start(0);
    }
    // Opens the files through File > Open, picking them in the dialog with the mouse.
    void openThroughMenu(const QStringList& names)
    {
        form->options.lastdir = dir_ + u'/';
        onNextModal([names](QWidget& m) {
            auto* d = qobject_cast<TIKFileDialog*>(&m);
            ASSERT_NE(d, nullptr);
            for (int i = 0; i < names.size(); ++i)
                ClickEntry(*d, names[i], i ? Qt::ControlModifier : Qt::NoModifier);
            ClickAccept(*d);
        });
        form->Item(QStringLiteral("ffnen2"))->trigger();
    }
    QString dir_;
};

// The batch dialog left on "save and close" must not decide for the Batch menu's "all
// loaded images": that overwrote the originals and closed their windows without asking.
TEST_F(EndToEnd, RecordedBatchPlayedOnAllLoadedImagesLeavesTheOriginalsAsTheyAre)
{
    const QStringList files = originals({QStringLiteral("a.bmp"), QStringLiteral("b.bmp")});
    openThroughMenu({QStringLiteral("a.bmp"), QStringLiteral("b.bmp")});
    ASSERT_EQ(form->MDIChildCount(), 2);

    form->Item(QStringLiteral("Neuaufnehmen1"))->trigger();  // the question is answered OK
    ASSERT_TRUE(form->Recording);
    form->Item(QStringLiteral("Negativ1"))->trigger();
    SetInputQueryHook([](const QString&, const QString&, QString& value) {
        value = QStringLiteral("neg");
        return true;
    });
    form->Control<QToolButton>(QStringLiteral("SpeedButton8"))->click();
    ASSERT_TRUE(QFileInfo::exists(home_ + QStringLiteral("/neg.atm")));

    // The batch dialog is left on "speichern und schliessen".
    onNextModal([](QWidget& m) {
        auto* a = qobject_cast<Tautoform*>(&m);
        ASSERT_NE(a, nullptr);
        QTest::mouseClick(a->afterSaveCloseRadio, Qt::LeftButton, {}, QPoint(4, a->afterSaveCloseRadio->height() / 2));
        ASSERT_TRUE(a->afterSaveCloseRadio->isChecked());
        QTest::mouseClick(a->findChild<QPushButton*>(QStringLiteral("Button6")), Qt::LeftButton);
    });
    form->Item(QStringLiteral("Batch2"))->trigger();
    ASSERT_EQ(form->options.autodialog.after, 1);
    ASSERT_EQ(form->Control<QComboBox>(QStringLiteral("autobox"))->currentText(), QStringLiteral("neg.atm"));

    messages.clear();
    form->Item(QStringLiteral("AufallegeladenenBilderanwenden1"))->trigger();
    EXPECT_EQ(form->MDIChildCount(), 2);
    for (const QString& f : files)
        EXPECT_TRUE(unchanged(f)) << f.toStdString();
    for (QWidget* w : form->MDIChildren())
        EXPECT_TRUE(Tform1::imageWindowOf(w)->Modified());
    EXPECT_TRUE(form->autoform()->afterNothingRadio->isChecked());
    EXPECT_TRUE(form->Control<QToolButton>(QStringLiteral("SpeedButton13"))->isEnabled());
}

// A catalog window closed while it adds, reloads or loads: the loop ends at its next step and
// the window goes after it, asking about its changes as any close does.
TEST_F(EndToEnd, ClosingACatalogWhileItsLoopRunsClosesItAfterTheLoop)
{
    const QStringList files = originals(
        {QStringLiteral("c1.bmp"), QStringLiteral("c2.bmp"), QStringLiteral("c3.bmp"), QStringLiteral("c4.bmp")});
    const QString pca = dir_ + QStringLiteral("/four.pca");
    {
        Tkataform* k = CreateCatalogWindow(*form);
        k->AddFiles(files);
        k->saveCatalogTo(pca);
        k->closeCatalogClicked();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    auto catalog = [this] { return form ? form->findChild<Tkataform*>() : nullptr; };
    // Closes the catalog the way `how` says once it holds `after` entries but not all four.
    auto closeDuringLoop = [&](const char* how, int after) {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [=, this] {
            Tkataform* k = catalog();
            if (!k || k->Count() < after || k->Count() >= 4)
                return;
            poll->stop();
            poll->deleteLater();
            if (std::strcmp(how, "button") == 0)
                QTest::mouseClick(k->closeCatalogButton, Qt::LeftButton);
            else if (std::strcmp(how, "menu") == 0)
                form->Item(QStringLiteral("Schliessen1"))->trigger();
            else
                k->parentWidget()->close();  // the frame's close box
        });
        poll->start(0);
    };
    answer = mrNo;  // do not save the catalog's changes
    int round = 0;
    for (const char* how : {"button", "menu", "box"}) {
        SCOPED_TRACE(how);
        ++round;
        // A new catalog asks for its files at once; they are added one by one.
        closeDuringLoop(how, 1);
        onNextModal([](QWidget& m) {
            auto* d = qobject_cast<TIKFileDialog*>(&m);
            ASSERT_NE(d, nullptr);
            ChooseFilter(*d, 10);  // all image types
            for (int i = 1; i <= 4; ++i)
                ClickEntry(*d, QStringLiteral("c%1.bmp").arg(i), i > 1 ? Qt::ControlModifier : Qt::NoModifier);
            ClickAccept(*d);
        });
        form->options.lastdir = dir_ + u'/';
        form->Item(QStringLiteral("NeuenKatalogerstellen1"))->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return catalog() == nullptr; }, 20000));

        // Reloading every image; the loop lets the events run after each.
        form->Files().OpenFileList = {pca};
        form->Files().openChosenFiles();
        ASSERT_NE(catalog(), nullptr);
        ASSERT_EQ(catalog()->Count(), 4);
        auto* now = new QTimer(qApp);
        QObject::connect(now, &QTimer::timeout, now, [=, this] {
            now->stop();
            now->deleteLater();
            if (std::strcmp(how, "menu") == 0)
                form->Item(QStringLiteral("Schliessen1"))->trigger();
            else if (std::strcmp(how, "button") == 0)
                QTest::mouseClick(catalog()->closeCatalogButton, Qt::LeftButton);
            else
                catalog()->parentWidget()->close();
        });
        now->start(0);
        QTest::mouseClick(catalog()->reloadAllButton, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return catalog() == nullptr; }, 20000));

        // Updating the entries whose files changed since they were made.
        form->Files().OpenFileList = {pca};
        form->Files().openChosenFiles();
        ASSERT_NE(catalog(), nullptr);
        for (const QString& f : files) {
            QFile touched(f);
            ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
            touched.setFileTime(QDateTime(QDate(2001, 2, round), QTime(4, 5, 6)), QFileDevice::FileModificationTime);
        }
        bool midUpdate = false;  // the first entry made again, the last not yet
        const auto before = catalog()->Entry(3).Time;
        auto* soon = new QTimer(qApp);
        // Events also run while a file loads: wait for the first entry to be made again.
        QObject::connect(soon, &QTimer::timeout, soon, [=, &midUpdate] {
            Tkataform* k = catalog();
            if (k && k->Entry(0).Time == before)
                return;
            if (!k) {
                soon->stop();
                soon->deleteLater();
                return;
            }
            soon->stop();
            soon->deleteLater();
            midUpdate = k->Entry(3).Time == before;
            k->parentWidget()->close();
        });
        soon->start(0);
        QTest::mouseClick(catalog()->updateImagesButton, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return catalog() == nullptr; }, 20000));
        EXPECT_TRUE(midUpdate);

        // Loading the catalog file, opened through the File menu.
        closeDuringLoop(how, 1);
        openThroughMenu({QStringLiteral("four.pca")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return catalog() == nullptr; }, 20000));
        EXPECT_EQ(form->MDIChildCount(), 0);
    }
    for (const QString& f : files)
        EXPECT_TRUE(unchanged(f));
}

}  // namespace
