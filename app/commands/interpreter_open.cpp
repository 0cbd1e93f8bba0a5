// The open command: a catalog by its extension, else an image window whose file loads,
// or decoded ahead by a batch or at start-up.
#include "app/commands/interpreter.h"

#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/decode_ahead.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QComboBox>

void TCommandInterpreter::Open(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : fileName.mid(dot).toUpper();
    if (ext == QLatin1String(".PCA")) {
        auto* k = static_cast<Tkataform*>(form_.newCatalogWindow());
        // A damaged catalog keeps the entries read before the fault; the error is reported.
        k->setWindowTitle(fileName);
        k->loadCatalog(fileName);
        // A load stopped by Escape or by closing the window is not maintained.
        if (!k->Aborting)
            k->AutoMaintain();
        return;
    }
    form_.ResetProgress();
    Tchild* child = form_.NewImageWindow();
    child->setWindowTitle(fileName);
    // A window whose file did not load goes again; its going is no command of the user's.
    auto dropWindow = [this, child] {
        child->SetModified(false);
        const bool recording = std::exchange(form_.Recording, false);
        if (QWidget* sub = child->parentWidget())
            sub->close();
        form_.Recording = recording;
    };
    try {
        const std::unique_ptr<TDecodedPicture> startup =
            form_.takeStartupPicture(fileName, child->imageKit->IOParams());
        TDecodedPicture* ahead = std::exchange(form_.preloaded_, nullptr);
        if (ahead && std::exchange(form_.preloadedName_, QString()) != fileName)
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
        if (!form_.loadErrorSink_ && !dynamic_cast<const EInvalidGraphic*>(&e)) {
            // A file that cannot be opened at all: its message comes from the handler above,
            // and no empty window stays behind under the file's name.
            dropWindow();
            throw;
        }
        if (form_.loadErrorSink_) {
            // A batch skips the file and says so at its end; the empty window goes.
            *form_.loadErrorSink_ = TApplication::ExceptionText(e);
            dropWindow();
            return;
        }
        LangMessageDlg(QStringLiteral("Kann Datei") + fileName + QStringLiteral(" nicht laden."), mtError, mbOK,
                       QStringLiteral("Can´t load file") + fileName + QStringLiteral("."));
        dropWindow();
        return;
    }
    child->imageMouseMove(child->imageKit, 0, 0, 0);
    if (form_.options.fitonload)
        form_.fitWindowToImage(&form_, child);
    form_.UpdateAvailability(false);
    child->viewChanged(&form_, -1);
    form_.ActivateChild(child);
    if (form_.options.zoomonload) {
        form_.zoombox->setEditText(TranslatedCaption(QStringLiteral("Fenstergröße")));
        form_.zoomBoxChanged();
    }
    if (form_.options.fitonload)
        form_.fitWindowToImage(&form_, child);
    form_.ResetProgress();
    form_.UpdateAvailability(false);
}
