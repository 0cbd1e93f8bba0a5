// The processing component's effects dialog run.
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/image_kit_proc.h"
#include "platform/ui/dialogs.h"

bool TImageKitProc::DoPreviews(int effects)
{
    if (!holds(pf24bit))
        return false;
    const TIKWorkArea area = WorkArea();
    if (area.Empty())
        return false;
    TfPreviews form;
    form.SetLockPreviewDefault((previewsParams_ & prppDefaultLockPreview) != 0);
    form.Translate(msgLanguage_);
    form.SetFont(previewFont_.toQFont());
    form.SetProgress(this, OnProgress);
    TBitmap* source = form.ImageKit1->Bitmap();
    CopyBitmapArea(bitmap_, source, area.X1, area.Y1, area.X2, area.Y2);
    form.ImageKit1->Update();
    form.SetEffectsSet(effects);
    const bool ok = form.exec() == mrOk;
    if (ok) {
        runUndoable([&] {
            if (isTruePolygon(area))
                DrawThroughPolygon(bitmap_, area.X1, area.Y1, source, area.Polygon);
            else
                CopyBitmapInto(bitmap_, area.X1, area.Y1, source);
        });
    }
    return ok;
}
