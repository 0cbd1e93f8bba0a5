// The combined image component (TImageKit).
#pragma once
#include "imaging/io/image_kit_io.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/view/image_kit_view.h"

class TStream;

enum TNColors { nc8bit, nc24bit };

// The combined image component: a view that owns one processing and one input/output
// object, both attached to itself, and forwards to them.
class TImageKit : public TImageKitView {
    Q_OBJECT
public:
    explicit TImageKit(QWidget* owner = nullptr);
    ~TImageKit() override;

    TImageKitProc* Proc() const { return proc_; }
    TImageKitIO* IO() const { return io_; }

    bool AutoUndo() const { return proc_->AutoUndo(); }
    void SetAutoUndo(bool on) { proc_->SetAutoUndo(on); }
    TNColors NColors() const { return nColors_; }
    // Any write keeps the bitmap at 24 bits.
    void SetNColors(TNColors value);
    const TProgressEvent& OnProgress() const { return proc_->OnProgress; }
    void SetOnProgress(const TProgressEvent& event);
    TMsgLanguage MsgLanguage() const { return proc_->MsgLanguage(); }
    void SetMsgLanguage(TMsgLanguage language);
    TPRPreviewsParams ProcPreviewsParams() const { return proc_->PreviewsParams(); }
    void SetProcPreviewsParams(TPRPreviewsParams params) { proc_->SetPreviewsParams(params); }
    TIOPreviewsParams IOPreviewsParams() const { return io_->PreviewsParams; }
    void SetIOPreviewsParams(TIOPreviewsParams params) { io_->PreviewsParams = params; }
    const TFont& PreviewFont() const { return io_->PreviewFont; }
    void SetPreviewFont(const TFont& font);
    bool StreamHeaders() const { return io_->StreamHeaders; }
    void SetStreamHeaders(bool on) { io_->StreamHeaders = on; }
    TIOParamsVals& IOParams() { return io_->Params(); }

    void SaveUndo() { proc_->SaveUndo(); }
    void ClearUndo() { proc_->ClearUndo(); }
    void Undo() { proc_->Undo(); }
    bool CanUndo() const { return proc_->CanUndo(); }
    void Negative() { proc_->Negative(); }
    void ConvertToGray() { proc_->ConvertToGray(); }
    void Rotate(int angle, bool antialias) { proc_->Rotate(angle, antialias); }
    void Flip(int direction) { proc_->Flip(direction); }
    void ResizeCanvas(int width, int height) { proc_->ResizeCanvas(width, height); }
    void Resample(int width, int height, TResampleFilter filter) { proc_->Resample(width, height, filter); }
    bool DoIOPreviews(int pages) { return io_->DoPreviews(pages); }
    bool DoProcPreviews(int effects) { return proc_->DoPreviews(effects); }
    void Clear() { proc_->Clear(); }
    void CopyToClipboard() { proc_->CopyToClipboard(); }
    void PasteToSelection() { proc_->PasteToSelection(); }
    void PasteFromClipboard() { proc_->PasteFromClipboard(); }
    void CutToClipboard() { proc_->CutToClipboard(); }
    void Merge(const TBitmap* graphic, int percent) { proc_->Merge(graphic, percent); }
    void LoadFromFile(const QString& fileName) { io_->LoadFromFile(fileName); }
    void SaveToStreamPCX(TStream& stream) { io_->SaveToStreamPCX(stream); }
    void LoadFromStreamPCX(TStream& stream) { io_->LoadFromStreamPCX(stream); }

    // Parameters first (from a combined component or an input/output object), then the
    // image when the source is a view.
    void Assign(TImageKit* source);
    void Assign(TImageKitIO* source);
    void Assign(TImageKitView* source) { TImageKitView::Assign(source); }
    void Assign(const TBitmap* source) { TImageKitView::Assign(source); }

private:
    TImageKitProc* proc_ = nullptr;
    TImageKitIO* io_ = nullptr;
    TNColors nColors_ = nc24bit;
};
