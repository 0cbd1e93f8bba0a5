// The open command: a catalog by its extension, else an image window whose file loads,
// or decoded ahead by a batch or at start-up.
#include "app/commands/interpreter.h"

#include "app/commands/command_host.h"
#include "app/image_window/image_window.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/util/decode_ahead.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"


void TCommandInterpreter::Open(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : fileName.mid(dot).toUpper();
    if (ext == QLatin1String(".PCA")) {
        host_.OpenCatalog(fileName);
        return;
    }
    host_.ResetProgress();
    Tchild* child = host_.NewImageWindow();
    child->setWindowTitle(fileName);
    // A window whose file did not load goes again; its going is no command of the user's.
    auto dropWindow = [this, child] {
        child->SetModified(false);
        const bool recording = host_.IsRecording();
        host_.SetRecording(false);
        if (QWidget* sub = child->parentWidget())
            sub->close();
        host_.SetRecording(recording);
    };
    try {
        const std::unique_ptr<TDecodedPicture> startup =
            host_.TakeStartupPicture(fileName, child->imageKit->IOParams());
        TDecodedPicture* ahead = host_.TakeHandedOver(fileName);
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
        if (!host_.LoadErrorSink() && !dynamic_cast<const EInvalidGraphic*>(&e)) {
            // A file that cannot be opened at all: its message comes from the handler above,
            // and no empty window stays behind under the file's name.
            dropWindow();
            throw;
        }
        if (host_.LoadErrorSink()) {
            // A batch skips the file and says so at its end; the empty window goes.
            *host_.LoadErrorSink() = TApplication::ExceptionText(e);
            dropWindow();
            return;
        }
        LangMessageDlg(QStringLiteral("Kann Datei") + fileName + QStringLiteral(" nicht laden."), mtError, mbOK,
                       QStringLiteral("Can´t load file") + fileName + QStringLiteral("."));
        dropWindow();
        return;
    }
    child->imageMouseMove(child->imageKit, 0, 0, 0);
    if (host_.Options().fitonload)
        host_.FitWindowToImage(host_.Window(), child);
    host_.UpdateAvailability(false);
    child->viewChanged(host_.Window(), -1);
    host_.ActivateChild(child);
    if (host_.Options().zoomonload) {
        host_.ZoomToWindow();
    }
    if (host_.Options().fitonload)
        host_.FitWindowToImage(host_.Window(), child);
    host_.ResetProgress();
    host_.UpdateAvailability(false);
}
