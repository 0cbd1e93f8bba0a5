// Clipboard operations of the processing component.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/dib.h"
#include "imaging/proc/image_kit_proc.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/clipboard.h"

#include <QImage>
#include <utility>

namespace {

// Puts a bitmap on the clipboard: a BMP file (file header + packed DIB) and an image.
void putOnClipboard(const TBitmap& piece)
{
    const QByteArray dib = BitmapAreaToDIB(&piece, 0, 0, piece.Width() - 1, piece.Height() - 1);
    if (dib.isEmpty())
        return;
    Clipboard::SetBitmap(DIBToBMPFile(dib), piece.Image());
}

}  // namespace

bool TImageKitProc::pasteInto(TBitmap& target)
{
    if (!Clipboard::Available())
        return false;
    QByteArray bmp;
    if (Clipboard::GetBmpFile(bmp)) {
        // A bad block raises EInvalidGraphic here, before anything changed.
        BMPFileToBitmap(bmp, &target);
        return true;
    }
    QImage image;
    if (Clipboard::GetImage(image)) {
        target.SetImage(image);
        return !target.Empty();
    }
    return false;
}

void TImageKitProc::CopyImageToClipboard()
{
    if (!bitmap_ || bitmap_->Empty() || !Clipboard::Available())
        return;
    putOnClipboard(*bitmap_);
}

void TImageKitProc::CopyToClipboard()
{
    if (!bitmap_ || bitmap_->Empty() || !Clipboard::Available())
        return;
    const TIKWorkArea area = WorkArea();
    if (!area.Selected) {
        CopyImageToClipboard();
        return;
    }
    if (area.Empty())
        return;
    TBitmap piece;
    if (isTruePolygon(area))
        CopyPolygonRect(bitmap_, &piece, area.Polygon, area.X1, area.Y1, area.X2, area.Y2, Background());
    else
        CopyBitmapArea(bitmap_, &piece, area.X1, area.Y1, area.X2, area.Y2);
    putOnClipboard(piece);
}

void TImageKitProc::CutToClipboard()
{
    if (!bitmap_ || bitmap_->Empty() || !Clipboard::Available())
        return;
    const TIKWorkArea area = WorkArea();
    if (!area.Selected || area.Empty())
        return;
    runUndoable([&] {
        CopyToClipboard();
        if (isTruePolygon(area))
            FillPolygon(bitmap_, area.Polygon, Background());
        else
            FillBitmapRect(bitmap_, area.X1, area.Y1, area.X2, area.Y2, Background());
    });
}

void TImageKitProc::PasteFromClipboard()
{
    if (!bitmap_)
        return;
    TBitmap pasted;
    if (!pasteInto(pasted))
        return;
    runUndoable([&] { CopyBitmap(&pasted, bitmap_); });
}

void TImageKitProc::PasteToSelection()
{
    if (!bitmap_)
        return;
    const TIKWorkArea area = WorkArea();
    if (!area.Selected) {
        PasteFromClipboard();
        return;
    }
    if (area.Empty() || bitmap_->Empty())
        return;
    TBitmap pasted;
    if (!pasteInto(pasted))
        return;
    // Stretched over the rectangle; the polygon is not applied.
    const QImage stretched = std::as_const(pasted)
                                 .Image()
                                 .convertToFormat(QImage::Format_BGR888)
                                 .scaled(area.Width(), area.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                 .convertToFormat(QImage::Format_BGR888);
    // Qt's conversions give a null image when memory runs out.
    if (stretched.isNull())
        BitmapOutOfMemory(area.Width(), area.Height());
    TBitmap piece;
    piece.SetImage(stretched);
    piece.SetPixelFormat(bitmap_->PixelFormat());
    runUndoable([&] { CopyBitmapInto(bitmap_, area.X1, area.Y1, &piece); });
}
