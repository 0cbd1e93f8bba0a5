// The input/output component's scan: the source's dialog, and the scanned image taken in.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/twain_acquire.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/proc/dib.h"
#include "imaging/view/ik_view.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"

#include <QPointer>

bool TImageKitIO::Acquire()
{
    Aborting = false;
    if (!bitmap_)
        return false;
    // Windows may close while the source's dialog is up, this component with them.
    QPointer<TImageKitIO> alive(this);
    const TMsgLanguage language = MsgLanguage;
    TIKView* view = AttachedImageKit();
    QByteArray dib = TwainAcquire(nullptr, false, view ? view->window() : nullptr, language);
    if (!alive || !bitmap_) {
        const bool scanned = !dib.isEmpty();
        TwainFreeDIBs(dib);
        // A finished scan never vanishes without a word.
        if (scanned)
            throw EInvalidGraphic(
                MsgColumn(language) == msGerman
                    ? QStringLiteral("Das Fenster des Scans wurde geschlossen; das gescannte Bild "
                                     "wurde verworfen.")
                    : QStringLiteral("The scan's window was closed; the scanned image was discarded."));
        return false;
    }
    if (dib.isEmpty())
        return false;
    const int depth = DIBToBitmap(dib, bitmap_);
    switch (depth) {
    case 1:
        params_->BitsPerSample = 1;
        params_->SamplesPerPixel = 1;
        break;
    case 4:
        params_->BitsPerSample = 4;
        params_->SamplesPerPixel = 1;
        break;
    case 8:
        params_->BitsPerSample = 8;
        params_->SamplesPerPixel = 1;
        break;
    case 15:
        params_->BitsPerSample = 5;
        params_->SamplesPerPixel = 3;
        break;
    case 16:
    case 24:
    case 32:
        params_->BitsPerSample = 8;
        params_->SamplesPerPixel = 3;
        break;
    default: break;
    }
    const int dpiX = TwainGetXResolution(), dpiY = TwainGetYResolution();
    if (TIKView* v = AttachedImageKit()) {
        v->SetDpiX(dpiX);
        v->SetDpiY(dpiY);
    }
    params_->DpiX = dpiX;
    params_->DpiY = dpiY;
    params_->Width = bitmap_->Width();
    params_->Height = bitmap_->Height();
    params_->FreeColorMap();
    TwainFreeDIBs(dib);
    Update();
    return true;
}

bool TImageKitIO::SelectAcquireSource() { return TwainSelectSource(nullptr, MsgLanguage); }
