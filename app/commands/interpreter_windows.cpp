// New windows, their captions and sizes, and the open command.
#include "app/commands/command_seams.h"
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/decode_ahead.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

Tchild* Tform1::addImageWindow()
{
    auto* child = new Tchild(this);
    // Its effects, colour and format dialogs speak the program's language.
    child->imageKit->SetMsgLanguage(LibraryLanguage());
    QMdiSubWindow* sub = mdi_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    const QSize area = mdi_->viewport()->size();
    sub->resize(std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4));
    child->imageKit->installEventFilter(this);
    sub->show();
    return child;
}

Tchild* Tform1::newImageWindow()
{
    Tchild* child = addImageWindow();
    child->imageKit->IOParams().FileName.clear();
    child->setWindowTitle(QString());
    child->imageKit->SetBackground(TColor(options.newbackground & 0xFFFFFF));
    child->imageKit->Proc()->UndoLimit = options.undodepth;
    // The current mouse mode, cursor and tool; the stored ones only before any is chosen.
    if (MouseModeCode() < 0 || ToolCode() < 0)
        restoreModesAndTools();
    mouseModeClicked();
    return child;
}

QWidget* Tform1::newCatalogWindow()
{
    Tkataform* k = CreateCatalogWindow(*this);
    k->setWindowTitle(QString());
    return k;
}

int Tform1::NextUntitledNumber() const
{
    const QString prefix = TranslatedCaption(QStringLiteral("!unbenannt")).toLower();
    const QList<QWidget*> children = MDIChildren();
    int largest = 0;
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        const QString caption = children[i]->windowTitle().toLower();
        if (!caption.startsWith(prefix))
            continue;
        // The digits read before the first other character count, as far as they go.
        int64_t n = 0;
        for (qsizetype k = prefix.size(); k < caption.size() && caption[k].isDigit(); ++k)
            n = std::min<int64_t>(n * 10 + caption[k].digitValue(), 1'000'000'000);
        largest = std::max(largest, int(n));
    }
    return largest + 1;
}

QString Tform1::UntitledCaption() const
{
    return TranslatedCaption(QStringLiteral("!unbenannt")) + QString::number(NextUntitledNumber());
}

void Tform1::fitWindowToImage(QObject* sender, Tchild* image)
{
    QMdiSubWindow* sub = image ? qobject_cast<QMdiSubWindow*>(image->parentWidget()) : nullptr;
    if (!sub || sub->isMinimized() || sub->isMaximized())
        return;
    const QSize main = mdi_->viewport()->size();
    const int avail = main.height();  // the bars sit outside the client area here
    // What the rulers, the status bar and the gaps between them take: the window's size less
    // the view's, so that the view gets exactly its extent whatever the layout's spacing.
    const int extraH = image->height() - image->imageKit->height();
    const int extraW = image->width() - image->imageKit->width();
    // The frame around the child's client area.
    const int frameW = sub->width() - image->width();
    const int frameH = sub->height() - image->height();
    QRect r(sub->pos(), QSize(extraW + image->imageKit->ExtentWidth() + frameW,
                              extraH + image->imageKit->ExtentHeight() + frameH));
    if (r.right() + 1 > main.width() - 20) {
        r.moveLeft(0);
        if (r.width() > main.width() - 20)
            r.setSize(QSize(main.width() - 20, r.height() + 15));
    }
    if (r.bottom() + 1 > avail - 15) {
        r.moveTop(0);
        if (r.height() > avail - 15)
            r.setHeight(avail - 15);
    }
    sub->setGeometry(r);
    image->viewChanged(sender, -1);
}

void Tform1::openCommand(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : fileName.mid(dot).toUpper();
    if (ext == QLatin1String(".PCA")) {
        auto* k = static_cast<Tkataform*>(newCatalogWindow());
        // A damaged catalog keeps the entries read before the fault; the error is reported.
        k->setWindowTitle(fileName);
        k->loadCatalog(fileName);
        // A load stopped by Escape or by closing the window is not maintained.
        if (!k->Aborting)
            k->AutoMaintain();
        return;
    }
    ResetProgress();
    Tchild* child = newImageWindow();
    child->setWindowTitle(fileName);
    // A window whose file did not load goes again; its going is no command of the user's.
    auto dropWindow = [this, child] {
        child->Modified = false;
        const bool recording = std::exchange(Recording, false);
        if (QWidget* sub = child->parentWidget())
            sub->close();
        Recording = recording;
    };
    try {
        const std::unique_ptr<TDecodedPicture> startup = takeStartupPicture(fileName, child->imageKit->IOParams());
        TDecodedPicture* ahead = std::exchange(preloaded_, nullptr);
        if (ahead && std::exchange(preloadedName_, QString()) != fileName)
            ahead = nullptr;
        if (startup)
            ahead = startup.get();
        if (ahead) {
            // Decoded ahead by a batch on its own parameters: the same load, done earlier.
            CopyJpegReadResults(*ahead->Params, child->imageKit->IOParams());
            child->imageKit->IO()->TakeDecoded(fileName, ioJPEG, ahead->Bitmap);
            ahead->Bitmap = TBitmap();
        } else {
            child->imageKit->IO()->LoadFromFile(fileName);
        }
        // No reader for the type (a video, say), or a file that names no image it holds:
        // an empty window would pass for a loaded picture.
        if (child->imageKit->Bitmap()->Empty())
            throw EInvalidGraphic(QStringLiteral("The file holds no picture"));
    } catch (const std::exception& e) {
        if (!loadErrorSink_ && !dynamic_cast<const EInvalidGraphic*>(&e)) {
            // A file that cannot be opened at all: its message comes from the handler above,
            // and no empty window stays behind under the file's name.
            dropWindow();
            throw;
        }
        if (loadErrorSink_) {
            // A batch skips the file and says so at its end; the empty window goes.
            *loadErrorSink_ = TApplication::ExceptionText(e);
            dropWindow();
            return;
        }
        LangMessageDlg(QStringLiteral("Kann Datei") + fileName + QStringLiteral(" nicht laden."), mtError, mbOK,
                       QStringLiteral("Can´t load file") + fileName + QStringLiteral("."));
        dropWindow();
        return;
    }
    child->imageMouseMove(child->imageKit, 0, 0, 0);
    if (options.fitonload)
        fitWindowToImage(this, child);
    checkbuttonsenabled(false);
    child->viewChanged(this, -1);
    ActivateChild(child);
    if (options.zoomonload) {
        zoombox->setEditText(TranslatedCaption(QStringLiteral("Fenstergröße")));
        zoomBoxChanged();
    }
    if (options.fitonload)
        fitWindowToImage(this, child);
    ResetProgress();
    checkbuttonsenabled(false);
}

void Tform1::hsvChannels(Tchild* image)
{
    // Plain image windows: no option colour, undo depth or mouse mode.
    static const char* const suffixes[] = {" Hue", " Saturation", " Value"};
    Tchild* parts[3];
    for (int i = 0; i < 3; ++i) {
        parts[i] = addImageWindow();
        parts[i]->Modified = true;
        parts[i]->setWindowTitle(image->windowTitle() + QLatin1String(suffixes[i]));
    }
    image->imageKit->Proc()->SplitToHSV(parts[0]->imageKit->Bitmap(), parts[1]->imageKit->Bitmap(),
                                         parts[2]->imageKit->Bitmap());
    for (Tchild* c : parts) {
        c->imageKit->Update();
        const TBitmap* bmp = c->imageKit->Bitmap();
        QWidget* sub = c->parentWidget();
        const QSize frame = sub->size() - c->size();
        sub->resize(frame + QSize(bmp->Width(), bmp->Height() + c->statusBar->sizeHint().height()));
        c->repaint();
    }
}
