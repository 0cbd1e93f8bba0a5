// The input/output component's format parameter dialog run.
#include "imaging/dialogs/io_previews_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/bitmap.h"

namespace {

TImageKitIO::TPreviewsHandler& previewsHandler()
{
    static TImageKitIO::TPreviewsHandler h;
    return h;
}

}  // namespace

void TImageKitIO::SetPreviewsHandler(TPreviewsHandler handler) { previewsHandler() = std::move(handler); }

bool TImageKitIO::DoPreviews(int pages)
{
    if (!bitmap_)
        return false;
    if (bitmap_->PixelFormat() != pf24bit && bitmap_->PixelFormat() != pf1bit)
        bitmap_->SetPixelFormat(pf24bit);
    const bool result = previewsHandler() ? previewsHandler()(*this, pages) : RunIOPreviews(*this, pages);
    Update();
    return result;
}
