// The main window's side of the features: what they ask of it, and its menu items and
// tool-bar controls routed to them.
#include "app/batch/batch_runner.h"
#include "app/comments/comment_commands.h"
#include "app/main_window/main_window.h"
#include "app/print/print_dialog.h"
#include "app/slideshow/slide_commands.h"
#include "app/slideshow/slide_player.h"
#include "app/text/object_names.h"
#include "app/video/video_import_dialog.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QComboBox>
#include <QStatusBar>
#include <QToolButton>

Tautoform* Tform1::autoform() const { return batch_->Dialog(); }

void Tform1::OpenFiles(const QStringList& files)
{
    files_->OpenFileList = files;
    files_->openChosenFiles();
}

void Tform1::HandOverDecoded(TDecodedPicture* picture, const QString& fileName)
{
    preloaded_ = picture;
    preloadedName_ = picture ? fileName : QString();
}

void Tform1::ShowStatus(const QString& text) { statusBar()->showMessage(text); }

void Tform1::onChild(QWidget* child, const std::function<void()>& fn)
{
    // Commands, parameter blocks and dialogs act on the active child: make it this one,
    // and give a batch its own pin back afterwards.
    const QPointer<QWidget> before = pinnedChild_;
    const bool wasPinned = pinned_;
    PinChild(child);
    try {
        fn();
    } catch (...) {
        PinChild(before, wasPinned);
        throw;
    }
    PinChild(before, wasPinned);
}

TSaveOutcome Tform1::SaveImage(Tchild* image) { return files_->SaveImage(image); }

TSaveOutcome Tform1::RunSave(Tchild* image, const QString& fileName, const tsaveparams& block, QString* error)
{
    return files_->RunSave(image, fileName, block, error);
}

void Tform1::playSlideShowClicked() { PlaySlideShow(*this); }
void Tform1::slideShowOptionsClicked() { RunSlideShowOptions(*this); }
void Tform1::slideShowFromCatalogClicked() { PlayCatalogSlideShow(*this); }
void Tform1::printClicked() { RunPrintDialog(*this); }
void Tform1::runComment(const tautomatitem& item, Tchild* image) { RunCommentCommand(*this, item, image); }

void Tform1::wireSlideShow()
{
    wire(Item(ObjectName::MainWindow::Abspielen1), [this] { playSlideShowClicked(); });
    wire(Item(ObjectName::MainWindow::Optionen1), [this] { slideShowOptionsClicked(); });
    wire(Item(ObjectName::MainWindow::DiashowdirektvomKatalog1), [this] { slideShowFromCatalogClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton9), [this] { slideShowOptionsClicked(); });
}

void Tform1::wireBatch()
{
    // The runner is made after the menus; the handlers find it when they are clicked.
    auto route = [this](void (TBatchRunner::*handler)()) { return [this, handler] { (batch_.get()->*handler)(); }; };
    auto onBox = [this](int mode) { return [this, mode] { batch_->PlayBoxRecord(mode); }; };
    wire(Item(QLatin1String(ObjectName::MainWindow::Neuaufnehmen1)), route(&TBatchRunner::newRecordingClicked));
    wire(Item(QLatin1String(ObjectName::MainWindow::Aufnahmestoppen1)), route(&TBatchRunner::stopRecordingClicked));
    wire(Item(QLatin1String(ObjectName::MainWindow::AufaktuellesBildanwenden1)),
         route(&TBatchRunner::applyToCurrentImageClicked));
    wire(Item(QLatin1String(ObjectName::MainWindow::AufallegeladenenBilderanwenden1)),
         onBox(TBatchRunner::bmAllLoaded));
    wire(Item(QLatin1String(ObjectName::MainWindow::AufVerzeichnisanwenden1)), onBox(TBatchRunner::bmFileList));
    wire(Item(QLatin1String(ObjectName::MainWindow::Bildereinscannen1)), onBox(TBatchRunner::bmScanner));
    wire(Item(QLatin1String(ObjectName::MainWindow::Batch2)), route(&TBatchRunner::batchClicked));
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11)),
               route(&TBatchRunner::newRecordingClicked));
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8)),
               route(&TBatchRunner::stopRecordingClicked));
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton13)),
               route(&TBatchRunner::applyToCurrentImageClicked));
    if (auto* box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox))) {
        box->setEnabled(true);
    }
    for (int i = 0; i < 8; ++i) {
        auto* key = new QAction(this);
        key->setObjectName(QStringLiteral("QuickStart%1").arg(i + 1));
        key->setShortcut(QKeySequence(Qt::Key(Qt::Key_F2 + i)));
        key->setShortcutContext(Qt::WindowShortcut);
        addAction(key);
        connect(key, &QAction::triggered, this,
                [this, i] { TApplication::Guard([this, i] { batch_->quickStartClicked(i); }); });
    }
}
