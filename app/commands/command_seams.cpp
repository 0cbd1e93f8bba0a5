#include "app/commands/command_seams.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/print/print_job.h"
#include "app/text/language.h"
#include "imaging/dialogs/io_previews_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/graphics/bitmap.h"

namespace {

// The batch dialog's save parameters, edited on the active image when there is one so that
// the preview shows what the batch will write; otherwise on a white sample.
bool EditBatchFormatParams(QWidget* owner, TIOParamsVals& params, int pages)
{
    const auto* form = owner ? qobject_cast<Tform1*>(owner->parentWidget()) : nullptr;
    Tchild* image = form ? form->ActiveImageWindow() : nullptr;
    TBitmap sample(64, 64);
    sample.Canvas()->Brush.Color = clWhite;
    sample.Canvas()->FillRect(TRect(0, 0, 64, 64));
    TImageKitIO io;
    io.SetAttachedBitmap(image ? image->imageKit->Bitmap() : &sample);
    io.AssignParams(params);
    io.MsgLanguage = LibraryLanguage();
    if (!RunIOPreviews(io, pages))
        return false;
    params.Assign(io.Params());
    return true;
}

} // namespace

std::function<void(Tchild*)> TCommandSeams::Histogram;
std::function<void(Tform1&, Tchild*)> TCommandSeams::Merge;
std::function<void(Tform1&, Tchild*, const tautomatitem&)> TCommandSeams::Print = ExecutePrint;
std::function<void(Tform1&)> TCommandSeams::VideoImport;
std::function<void(Tform1&)> TCommandSeams::SlideShow;
std::function<void(const QString&, const QString&, int)> TCommandSeams::CommentForm;
std::function<QString(const QString&, const QString&, const QString&)> TCommandSeams::ChooseWavFile;
std::function<bool(QWidget*, TIOParamsVals&, int)> TCommandSeams::FormatParams = EditBatchFormatParams;
