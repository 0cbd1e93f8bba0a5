// The non-visual component through which every image enters and leaves: attached to a
// view (or a picture control, or a bare bitmap), it loads files and streams into that
// bitmap and saves it, choosing reader and writer by the file name's extension from the
// codec table (codec_table.h).
#pragma once

#include "imaging/common/types.h"
#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QObject>
#include "platform/ui/image_control.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class TStream;
class TSafeFileStream;
class TIKView;
struct TCodec;

enum TIOPreviewsParamsItems { ioppDefaultLockPreview = 1 };
using TIOPreviewsParams = int;  // set of TIOPreviewsParamsItems

class TImageKitIO;

// A file save taken off its image: a copy of the pixels (shared until the image
// changes) and of the parameters, the temporary file and the writer. Write may run on
// any thread, once; Commit or the destructor (which leaves the old file) follow on
// the thread that made it.
class TDetachedSave {
public:
    ~TDetachedSave();
    TDetachedSave(const TDetachedSave&) = delete;
    TDetachedSave& operator=(const TDetachedSave&) = delete;

    // Creates the temporary file, encodes into it and syncs it; raises what creating
    // the file or the writer raises.
    void Write();
    // Renames the written file over the target; raises as TSafeFileStream::Commit.
    void Commit();

private:
    friend class TImageKitIO;
    TDetachedSave(const TBitmap& bitmap, const TIOParamsVals& params, const TCodec& codec, const QString& fileName);
    TBitmap bitmap_;
    std::unique_ptr<TIOParamsVals> params_;
    const TCodec& codec_;
    QString fileName_;
    std::unique_ptr<TSafeFileStream> stream_;
    bool aborting_ = false;
};

class TImageKitIO : public QObject {
    Q_OBJECT
public:
    explicit TImageKitIO(QObject* owner = nullptr);
    ~TImageKitIO() override;

    // Attachment. A view's bitmap is taken through its GetBitmap and again whenever the
    // view reports a bitmap change; a freed view is forgotten.
    TIKView* AttachedImageKit() const { return viewAlive_ ? view_ : nullptr; }
    void SetAttachedImageKit(TIKView* view);
    // A bare bitmap (not owned). nullptr is ignored while a view is attached.
    void SetAttachedBitmap(TBitmap* bitmap);
    // A picture control: its bitmap becomes the one loaded and saved; attaching one
    // detaches the view and the other way round.
    TImage* AttachedTImage() const { return image_.data(); }
    void SetAttachedTImage(TImage* image);
    TBitmap* Bitmap() const;
    // The bitmap-change listener: takes the view's current bitmap again.
    void ViewBitmapChanged();
    // The attached view's resolution; False without a view.
    bool ViewDpi(int& dpiX, int& dpiY) const;

    // The attached view's background colour, else the component's own.
    TColor Background() const;
    void SetBackground(TColor color);

    TIOParamsVals& Params() { return *params_; }
    const TIOParamsVals& Params() const { return *params_; }

    TProgressEvent OnProgress;
    TMsgLanguage MsgLanguage = msEnglish;
    TIOPreviewsParams PreviewsParams = 0;
    bool StreamHeaders = true;
    TFont PreviewFont;
    bool Aborting = false;

    // After a load: lays out and repaints the view, or marks the bare bitmap changed.
    void Update();

    // Loading. Without a bitmap every call does nothing (results False/0).
    void LoadFromFile(const QString& fileName);
    void LoadFromFileJPEG(const QString& fileName);
    void LoadFromFilePNG(const QString& fileName);
    int LoadFromFileTIFF(const QString& fileName);
    void LoadFromFilePCX(const QString& fileName);
    int LoadFromFileGIF(const QString& fileName);
    void LoadFromFileBMP(const QString& fileName);
    void LoadFromFileICO(const QString& fileName);
    void LoadFromFileCUR(const QString& fileName);
    void LoadFromFileWMF(const QString& fileName);  // .wmf and .emf
    void LoadFromStreamPCX(TStream& stream);
    void LoadFromStreamJPEG(TStream& stream);

    // Saving. Every file save goes through a temporary file renamed over the target
    // only when the writer finished; a failed or aborted save leaves the old file.
    void SaveToFile(const QString& fileName);
    void SaveToFileJPEG(const QString& fileName);
    void SaveToFilePCX(const QString& fileName);
    void SaveToFileGIF(const QString& fileName);
    void SaveToFileTIFF(const QString& fileName);
    void SaveToFilePNG(const QString& fileName);
    void SaveToFileBMP(const QString& fileName);
    void SaveToStreamTIFF(TStream& stream);
    // Inserts the bitmap as image TiffImageIndex of a TIFF file (behind the last when
    // the index is beyond them; a missing file is created); returns the image count.
    int InsertToFileTIFF(const QString& fileName);
    void SaveToStreamPCX(TStream& stream);
    void SaveToStreamJPEG(TStream& stream);
    void SaveToStreamGIF(TStream& stream);
    void SaveToStreamBMP(TStream& stream);
    void SaveToStreamPNG(TStream& stream);
    // The writer of a file type (its own entry; none raises "codec not available").
    void SaveToStream(TStream& stream, TIOFileType fileType);
    // SaveToFile split so that another thread can encode: the bitmap is made savable,
    // the temporary file created and the writer chosen here, as SaveToFile does (and
    // raising what it raises); null when there is nothing to save.
    std::unique_ptr<TDetachedSave> DetachSave(const QString& fileName);

    // Acquisition from the default scanner source: True when an image arrived.
    bool Acquire();
    bool SelectAcquireSource();
    // The format parameter dialog for a set of pages; True when confirmed.
    bool DoPreviews(int pages);

    // Takes a picture its reader decoded elsewhere (on another thread, into its own
    // parameters, which the caller hands on) as the load of fileName: the bitmap, then
    // the load's closing steps. Its rows were reported there, so progress only says done.
    void TakeDecoded(const QString& fileName, uint8_t fileType, const TBitmap& decoded);

    void AssignParams(const TImageKitIO& source);
    void AssignParams(const TIOParamsVals& source);
    int GetGIFImageCount(const QString& fileName);
    int GetTIFFImageCount(const QString& fileName);
    static QString GetFormatDescription(const TIOParamsVals& params);

    // Replaces the format parameter dialog (scripted runs and tests); empty: the dialog.
    using TPreviewsHandler = std::function<bool(TImageKitIO& io, int pages)>;
    static void SetPreviewsHandler(TPreviewsHandler handler);

private:
    // Attachment (image_kit_io.cpp).
    void listenToView(bool on);
    void forgetView();
    void forgetImage();
    void tellViewDpi();
    TProgressRec progressRec();
    // Loading (image_kit_io_load.cpp); returns the number of images the file holds.
    int loadFile(const QString& fileName, const TCodec& codec);
    void afterLoad(const QString& fileName, uint8_t fileType);
    // Saving (image_kit_io_save.cpp).
    bool prepareSave();
    void writeWith(TStream& stream, const TCodec& codec);
    void saveFile(const QString& fileName, const TCodec& codec);
    void saveStream(TStream& stream, const TCodec& codec);

    TIKView* view_ = nullptr;
    QPointer<QObject> viewAlive_;  // turns null when the view is freed
    TBitmap* bitmap_ = nullptr;
    QPointer<TImage> image_;
    QMetaObject::Connection imageConnection_;
    TColor background_ = 0;
    bool listening_ = false;
    QMetaObject::Connection viewConnection_;
    std::unique_ptr<TIOParamsVals> params_;
};
