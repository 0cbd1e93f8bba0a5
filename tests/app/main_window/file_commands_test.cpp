// File commands: save as, save parameters, formats without writer and failed saves.
#include "app/app_test_util.h"
#include "app/main_window/history_list.h"
#include "imaging/dialogs/dialog_driver.h"
#include "imaging/dialogs/save_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>

using namespace dlgtest;

namespace {

class FileCommands : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        dir_ = home_ + QStringLiteral("/pics");
        QDir().mkpath(dir_);
        TImageKitIO::SetPreviewsHandler([this](TImageKitIO&, int pages) {
            pagesShown.push_back(pages);
            return previewsOk;
        });
        TApplication::OnException = [this](const std::exception& e) { errors.push_back(QString::fromUtf8(e.what())); };
        make();
        form->Files().saveDialog = new TSaveImageKitDialog(form.get());
        form->Files().openDialog = new TOpenImageKitDialog(form.get());
    }
    void TearDown() override
    {
        TImageKitIO::SetPreviewsHandler(nullptr);
        TApplication::OnException = nullptr;
        MainWindowTest::TearDown();
    }
    // Every showing of `d` runs `script`; what it leaves open is cancelled.
    void script(TOpenImageKitDialog& d, std::function<void(TIKFileDialog&)> fn)
    {
        d.OnShow = [this, &d, fn](TObject*) {
            ++shown;
            QTimer::singleShot(0, &d, [&d, fn] {
                QPointer<TIKFileDialog> g(d.Handle());
                if (!g)
                    return;
                fn(*g);
                if (g && g->isVisible())
                    g->reject();
            });
        };
    }
    QString dir_;
    std::vector<int> pagesShown;
    bool previewsOk = true;
    std::vector<QString> errors;
    int shown = 0;
};

TEST_F(FileCommands, SaveAsChecksTheExtensionAgainstTheFilter)
{
    struct Row {
        int filter;
        const char* typed;
        int pages;  // parameter pages opened, 0: none
        bool saved;
    };
    const Row rows[] = {{5, "bild.jpg", 4, true}, {2, "bild.jpg", 0, false}, {4, "scan.tiff", 8, true},
                        {4, "scan.tif", 8, true}, {1, "x.gif", 0, false},    {3, "p.pcx", 64, true},
                        {6, "q.bmp", 32, true},   {1, "q.png", 0, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        Tchild* c = imageWindow(20, 10, TColor(0x0000FF));
        c->SetModified(true);
        form->options.savefilter = r.filter;
        form->options.lastdir = dir_ + u'/';
        pagesShown.clear();
        messages.clear();
        form->Files().SaveCancelled = false;
        script(*form->Files().saveDialog, [&](TIKFileDialog& fd) {
            TypeName(fd, QLatin1String(r.typed));
            ClickAccept(fd);
        });
        EXPECT_TRUE(form->Files().saveAsClicked());
        const QString path = dir_ + u'/' + QLatin1String(r.typed);
        EXPECT_EQ(QFileInfo::exists(path), r.saved);
        EXPECT_EQ(form->Files().SaveCancelled, !r.saved);
        EXPECT_EQ(c->Modified(), !r.saved);
        EXPECT_EQ(pagesShown, r.pages ? std::vector<int>{r.pages} : std::vector<int>{});
        EXPECT_EQ(messages.empty(), r.saved);
        if (r.saved) {
            EXPECT_EQ(c->imageKit->IOParams().FileName, path);
            EXPECT_EQ(form->options.savefilter, r.filter);
        }
        QFile::remove(path);
        c->SetModified(false);
        c->parentWidget()->close();
    }
}

// The block of a fresh install is all zeros: applied, it would save at quality 0 and as
// white-is-zero black and white. Only a block a "save as" filled is applied.
TEST_F(FileCommands, SaveAsAppliesTheLastSaveAsParametersOnlyOnceThereAreAny)
{
    tsaveparams last;
    last.BitsPerSample = 8;
    last.SamplesPerPixel = 3;
    last.JpegQuality = 90;
    last.TiffPhotometric = 2;
    const struct {
        bool fresh;
        const char* typed;
        int filter;
        int quality, photometric, bits;
    } rows[] = {{true, "a.jpg", 1, 75, 2, 8}, {true, "a.tif", 4, 75, 2, 8}, {false, "b.jpg", 1, 90, 2, 8}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        form->options.saveparams = r.fresh ? tsaveparams{} : last;
        ASSERT_EQ(form->options.saveparams.IsBlank(), r.fresh);
        Tchild* c = imageWindow(20, 10, TColor(0x0000FF));
        c->imageKit->IOParams().JpegQuality = 75;
        form->options.savefilter = r.filter;
        form->options.lastdir = dir_ + u'/';
        int quality = -1, photometric = -1, bits = -1;
        TImageKitIO::SetPreviewsHandler([&](TImageKitIO& io, int) {
            quality = io.Params().JpegQuality;
            photometric = io.Params().TiffPhotometric;
            bits = io.Params().BitsPerSample;
            return true;
        });
        script(*form->Files().saveDialog, [&](TIKFileDialog& fd) {
            TypeName(fd, QLatin1String(r.typed));
            ClickAccept(fd);
        });
        EXPECT_TRUE(form->Files().saveAsClicked());
        EXPECT_EQ(quality, r.quality);
        EXPECT_EQ(photometric, r.photometric);
        EXPECT_EQ(bits, r.bits);
        EXPECT_TRUE(QFileInfo::exists(dir_ + u'/' + QLatin1String(r.typed)));
        EXPECT_FALSE(form->options.saveparams.IsBlank());
        EXPECT_EQ(form->options.saveparams.JpegQuality, r.quality);
        c->SetModified(false);
        c->parentWidget()->close();
    }
}

TEST_F(FileCommands, SaveOverAFormatWithoutWriterGoesToSaveAsAndKeepsTheFile)
{
    for (const char* ext : {"ico", "wmf", "cur", "emf", "gif"}) {
        SCOPED_TRACE(ext);
        const QString path = dir_ + QStringLiteral("/old.") + QLatin1String(ext);
        WriteBytes(path, "original");
        Tchild* c = imageWindow(8, 8, TColor(0));
        c->imageKit->IOParams().FileName = path;
        c->SetModified(true);
        shown = 0;
        script(*form->Files().saveDialog, [](TIKFileDialog& fd) { fd.reject(); });
        EXPECT_FALSE(form->Files().saveClicked());
        EXPECT_EQ(shown, 1);
        EXPECT_TRUE(form->Files().SaveCancelled);
        EXPECT_TRUE(c->Modified());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("original"));
        c->SetModified(false);
        c->parentWidget()->close();
    }
}

// A picture keeps the resolution it came with; saving it where no field holds that
// resolution stores the nearest one instead of refusing the save.
TEST_F(FileCommands, SaveOfAnExtremeResolutionStoresTheNearestTheFormatHolds)
{
    for (const char* ext : {"png", "jpg", "pcx", "bmp", "tif"}) {
        SCOPED_TRACE(ext);
        const QString path = dir_ + QStringLiteral("/dense.") + QLatin1String(ext);
        Tchild* c = imageWindow(8, 8, TColor(0));
        c->imageKit->IOParams().FileName = path;
        c->imageKit->IOParams().DpiX = 2000000000;
        c->imageKit->IOParams().DpiY = 2000000000;
        c->SetModified(true);
        messages.clear();
        errors.clear();
        EXPECT_TRUE(form->Files().saveClicked());
        EXPECT_TRUE(messages.empty()) << (messages.empty() ? std::string() : messages[0].toStdString());
        EXPECT_TRUE(errors.empty());
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_FALSE(c->Modified());
        c->SetModified(false);
        c->parentWidget()->close();
    }
}

TEST_F(FileCommands, AFailedSaveKeepsModifiedShowsTheErrorAndStopsSaveAll)
{
    for (int n : {1, 3}) {
        SCOPED_TRACE(n);
        std::vector<Tchild*> windows;
        for (int i = 0; i < n; ++i) {
            Tchild* c = imageWindow(8, 8, TColor(0));
            c->imageKit->IOParams().FileName = dir_ + QStringLiteral("/missing%1/a.bmp").arg(i);
            c->SetModified(true);
            windows.push_back(c);
        }
        errors.clear();
        form->Files().saveAllClicked();
        EXPECT_EQ(errors.size(), 1u);  // stopped at the first failure
        EXPECT_TRUE(form->Files().SaveCancelled);
        for (Tchild* c : windows) {
            EXPECT_TRUE(c->Modified());
            c->SetModified(false);
            c->parentWidget()->close();
        }
    }
}

TEST_F(FileCommands, CloseAllStopsAtTheFirstCancelledSaveAs)
{
    for (int n : {1, 2, 4}) {
        SCOPED_TRACE(n);
        for (int i = 0; i < n; ++i)
            imageWindow(8, 8, TColor(0))->SetModified(true);
        answer = mrYes;  // save each on close
        shown = 0;
        script(*form->Files().saveDialog, [](TIKFileDialog& fd) { fd.reject(); });
        EXPECT_FALSE(form->Files().closeAllClicked());
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(form->MDIChildCount(), n);
        for (QWidget* w : form->MDIChildren())
            if (Tchild* c = Tform1::imageWindowOf(w))
                c->SetModified(false);
        EXPECT_TRUE(form->Files().closeAllClicked());
        EXPECT_EQ(form->MDIChildCount(), 0);
    }
}

TEST_F(FileCommands, OpenOfSeveralFilesOpensEachAndRemembersTheFolder)
{
    const QStringList names{QStringLiteral("a.bmp"), QStringLiteral("b.bmp"), QStringLiteral("c.bmp")};
    for (const QString& n : names)
        SaveImage(dir_ + u'/' + n, 12, 9, pf24bit, 72, 72);
    form->options.lastdir = dir_ + u'/';
    script(*form->Files().openDialog, [](TIKFileDialog& fd) {
        ClickEntry(fd, QStringLiteral("a.bmp"));
        ClickEntry(fd, QStringLiteral("b.bmp"), Qt::ControlModifier);
        ClickEntry(fd, QStringLiteral("c.bmp"), Qt::ControlModifier);
        ClickAccept(fd);
    });
    form->Files().openClicked();
    ASSERT_EQ(form->MDIChildCount(), 3);
    for (int i = 0; i < 3; ++i) {
        Tchild* c = Tform1::imageWindowOf(form->MDIChildren()[i]);
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->imageKit->IOParams().FileName.endsWith(names[i]));
    }
    EXPECT_TRUE(form->History()->Strings(0).endsWith(QStringLiteral("c.bmp")));
    EXPECT_EQ(form->options.lastdir, QFileInfo(dir_).absoluteFilePath() + u'/');
    EXPECT_EQ(form->options.openfilter, form->Files().openDialog->FilterIndex());
}

TEST_F(FileCommands, ARecentEntryThatIsGoneShowsAMessageAndStays)
{
    const QString gone = dir_ + QStringLiteral("/gone.bmp");
    form->History()->PushName(gone);
    const int before = form->History()->Count();
    form->Files().historyItemClicked(gone);
    EXPECT_EQ(form->MDIChildCount(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(gone));
    EXPECT_EQ(form->History()->Count(), before);
    EXPECT_EQ(form->History()->Strings(0), gone);
}

TEST_F(FileCommands, ClipboardCommandsGoThroughTheRealClipboard)
{
    struct Row {
        const char* item;
        bool modifies;
        bool fillsClipboard;
    };
    const Row rows[] = {{"Kopieren1", false, true}, {"Ausschneiden1", true, true}, {"Pastetorect1", true, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.item);
        Tchild* c = imageWindow(30, 20, TColor(0x00FF00));
        c->SetModified(false);
        c->imageKit->Proc()->SelectRect(0, 0, 9, 9);
        QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
        if (r.fillsClipboard)
            QApplication::clipboard()->clear();
        QAction* a = form->Item(QString::fromLatin1(r.item));
        a->setEnabled(true);
        a->trigger();
        EXPECT_EQ(c->Modified(), r.modifies);
        if (r.fillsClipboard) {
            EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(10, 10));
        }
        c->SetModified(false);
        c->parentWidget()->close();
    }
}

}  // namespace

namespace {

TEST_F(FileCommands, FitToImageShowsTheWholeImageAtEveryZoom)
{
    form->resize(1200, 900);
    QCoreApplication::processEvents();
    const QSize area = form->ClientArea()->viewport()->size();
    struct Row {
        int w, h, zoom;
    } rows[] = {{120, 80, 25}, {120, 80, 50}, {120, 80, 100}, {120, 80, 150}, {120, 80, 300},
                {33, 257, 75}, {201, 3, 400}, {7, 7, 1000},   {300, 200, 200}};
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1x%2 at %3 %").arg(r.w).arg(r.h).arg(r.zoom).toStdString());
        Tchild* c = imageWindow(r.w, r.h, clWhite);
        c->imageKit->SetZoom(r.zoom);
        form->Item(QStringLiteral("AufBildgreanpassen1"))->trigger();
        QCoreApplication::processEvents();
        TImageKit* view = c->imageKit;
        // The view's own zoomed size (its rounding is the GDI rule's, 201 at 400 % is 803).
        const int zw = view->ZoomedWidth(), zh = view->ZoomedHeight();
        EXPECT_NEAR(zw, r.w * r.zoom / 100, 1);
        // Whole image visible, no scroll position left over, and no more than one pixel of border.
        EXPECT_GE(view->ClientWidth(), zw);
        EXPECT_GE(view->ClientHeight(), zh);
        // A small image's window is as wide as its status line or the title bar needs;
        // any other hugs the image.
        const QWidget* sub = c->parentWidget();
        const int floorW = std::max(c->StatusLineWidth(), sub->minimumSizeHint().width() - (sub->width() - c->width()));
        if (c->width() > floorW + 1) {
            EXPECT_LE(view->ClientWidth(), zw + 1 + (view->Width() - view->ClientWidth()));
        }
        EXPECT_LE(view->ClientHeight(), zh + 1 + (view->Height() - view->ClientHeight()));
        EXPECT_EQ(view->ViewX(), 0);
        EXPECT_EQ(view->ViewY(), 0);
        const QRect g = c->parentWidget()->geometry();
        EXPECT_LE(g.right() + 1, area.width() - 20);
        EXPECT_LE(g.bottom() + 1, area.height() - 15);
        c->parentWidget()->close();
        QCoreApplication::processEvents();
    }

    // Too large for the area: moved to the left and top edges and cut to the area less the margins.
    Tchild* big = imageWindow(3000, 2500, clWhite);
    big->imageKit->SetZoom(100);
    form->Item(QStringLiteral("AufBildgreanpassen1"))->trigger();
    QCoreApplication::processEvents();
    const QRect g = big->parentWidget()->geometry();
    EXPECT_EQ(g.topLeft(), QPoint(0, 0));
    EXPECT_EQ(g.width(), area.width() - 20);
    EXPECT_EQ(g.height(), area.height() - 15);
}

}  // namespace
