// The combined image component: a view with its processing and input/output objects.
#include "imaging/kit/image_kit.h"
#include "platform/graphics/bitmap.h"

TImageKit::TImageKit(QWidget* owner) : TImageKitView(owner)
{
    proc_ = new TImageKitProc(this);
    proc_->SetAttachedImageKit(this);
    proc_->SetAutoUndo(true);
    io_ = new TImageKitIO(this);
    io_->SetAttachedImageKit(this);
}

TImageKit::~TImageKit()
{
    // The objects leave the view's listener list before the view goes.
    delete proc_;
    proc_ = nullptr;
    delete io_;
    io_ = nullptr;
}

void TImageKit::SetNColors(TNColors)
{
    if (TBitmap* bmp = Bitmap())
        bmp->SetPixelFormat(pf24bit);
    nColors_ = nc24bit;
}

void TImageKit::SetOnProgress(const TProgressEvent& event)
{
    proc_->OnProgress = event;
    io_->OnProgress = event;
}

void TImageKit::SetMsgLanguage(TMsgLanguage language)
{
    proc_->SetMsgLanguage(language);
    io_->MsgLanguage = language;
}

void TImageKit::SetPreviewFont(const TFont& font)
{
    io_->PreviewFont = font;
    proc_->SetPreviewFont(font);
}

void TImageKit::Assign(TImageKit* source)
{
    if (!source)
        return;
    io_->AssignParams(*source->IO());
    TImageKitView::Assign(source);
}

void TImageKit::Assign(TImageKitIO* source)
{
    if (source)
        io_->AssignParams(*source);
}
