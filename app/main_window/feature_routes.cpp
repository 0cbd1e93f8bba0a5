// The main window's side of the features: what they ask of it, and its menu items and
// tool-bar controls routed to them.
#include "app/batch/batch_runner.h"
#include "app/comments/comment_commands.h"
#include "app/main_window/main_window.h"
#include "app/print/print_dialog.h"
#include "app/slideshow/slide_commands.h"
#include "app/slideshow/slide_player.h"
#include "app/video/video_import_dialog.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QComboBox>
#include <QStatusBar>
#include <QToolButton>

Tautoform* Tform1::autoform() const { return batch_->Dialog(); }

void Tform1::OpenFiles(const QStringList& files)
{
    OpenFileList = files;
    openit();
}

bool Tform1::SaveActiveImage(bool& cancelled)
{
    SaveCancelled = false;
    const bool saved = Speichern1Click();
    cancelled = SaveCancelled;
    return saved;
}

void Tform1::HandOverDecoded(TDecodedPicture* picture, const QString& fileName)
{
    preloaded_ = picture;
    preloadedName_ = picture ? fileName : QString();
}

void Tform1::ShowStatus(const QString& text) { statusBar()->showMessage(text); }

void Tform1::Abspielen1Click() { PlaySlideShow(*this); }
void Tform1::Optionen1Click() { RunSlideShowOptions(*this); }
void Tform1::DiashowdirektvomKatalog1Click() { PlayCatalogSlideShow(*this); }
void Tform1::Drucken2Click() { RunPrintDialog(*this); }
void Tform1::runComment(const tautomatitem& item, Tchild* image) { RunCommentCommand(*this, item, image); }

void Tform1::wireSlideShow()
{
    wire(Item("Abspielen1"), [this] { Abspielen1Click(); });
    wire(Item("Optionen1"), [this] { Optionen1Click(); });
    wire(Item("DiashowdirektvomKatalog1"), [this] { DiashowdirektvomKatalog1Click(); });
    wireButton(Control<QToolButton>("SpeedButton9"), [this] { Optionen1Click(); });
}

void Tform1::wireBatch()
{
    // The runner is made after the menus; the handlers find it when they are clicked.
    auto route = [this](void (TBatchRunner::*handler)()) { return [this, handler] { (batch_.get()->*handler)(); }; };
    auto onBox = [this](int mode) { return [this, mode] { batch_->PlayBoxRecord(mode); }; };
    wire(Item(QStringLiteral("Neuaufnehmen1")), route(&TBatchRunner::Neuaufnehmen1Click));
    wire(Item(QStringLiteral("Aufnahmestoppen1")), route(&TBatchRunner::Aufnahmestoppen1click));
    wire(Item(QStringLiteral("AufaktuellesBildanwenden1")), route(&TBatchRunner::AufaktuellesBildanwenden1Click));
    wire(Item(QStringLiteral("AufallegeladenenBilderanwenden1")), onBox(TBatchRunner::bmAllLoaded));
    wire(Item(QStringLiteral("AufVerzeichnisanwenden1")), onBox(TBatchRunner::bmFileList));
    wire(Item(QStringLiteral("Bildereinscannen1")), onBox(TBatchRunner::bmScanner));
    wire(Item(QStringLiteral("Batch2")), route(&TBatchRunner::Batch2Click));
    wireButton(Control<QToolButton>(QStringLiteral("SpeedButton11")), route(&TBatchRunner::Neuaufnehmen1Click));
    wireButton(Control<QToolButton>(QStringLiteral("SpeedButton8")), route(&TBatchRunner::Aufnahmestoppen1click));
    wireButton(Control<QToolButton>(QStringLiteral("SpeedButton13")),
               route(&TBatchRunner::AufaktuellesBildanwenden1Click));
    if (auto* box = Control<QComboBox>(QStringLiteral("autobox"))) {
        box->setEnabled(true);
    }
    for (int i = 0; i < 8; ++i) {
        auto* key = new QAction(this);
        key->setObjectName(QStringLiteral("QuickStart%1").arg(i + 1));
        key->setShortcut(QKeySequence(Qt::Key(Qt::Key_F2 + i)));
        key->setShortcutContext(Qt::WindowShortcut);
        addAction(key);
        connect(key, &QAction::triggered, this,
                [this, i] { TApplication::Guard([this, i] { batch_->QuickStartClick(i); }); });
    }
}
