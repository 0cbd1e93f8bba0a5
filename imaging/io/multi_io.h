// Loads every frame of a multi-image file into a multi-image view (the frames of an
// animated GIF, the pages of a TIFF, the frames of a video) and keeps one parameter
// record per image of the view, in step with its list.
#pragma once

#include "imaging/common/types.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/view/multi_view.h"
#include "platform/graphics/canvas.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <climits>
#include <memory>
#include <vector>

class TStream;
class TIKView;

// What a frame of a GIF or TIFF file adds beside its picture and record. Delay also
// carries the last display time seen from one GIF frame to the next.
struct TMultiFrame {
    int Delay = 10;
    bool HasBackground = false;
    TColor Background = 0;
};

// Reads the frames of a GIF (ioGIF) or TIFF (ioTIFF) stream that begins at `start`, as
// the loader below reads them. The file's frames are found once, at the first read, so
// that reading all of them costs time in step with the file. Callers on other threads
// decode with it and hand the frames over with AddFrame.
class TMultiFrameReader {
public:
    TMultiFrameReader(TStream& stream, int64_t start, uint8_t fileType);
    ~TMultiFrameReader();
    // Frame i: returns the file's frame count, 0 when there is no such frame. The
    // record's indexes and name are left for AddFrame to set.
    int Read(int i, TBitmap& bitmap, TIOParamsVals& record, TMultiFrame& frame);

private:
    struct Walk;
    TStream& stream_;
    int64_t start_;
    uint8_t fileType_;
    std::unique_ptr<Walk> walk_;
};

// One frame, read by a reader of its own.
int ReadMultiFrame(TStream& stream, int64_t start, uint8_t fileType, int i, TBitmap& bitmap, TIOParamsVals& record,
                   TMultiFrame& frame);

class TImageKitMIO : public QObject {
    Q_OBJECT
public:
    explicit TImageKitMIO(QObject* owner = nullptr);
    ~TImageKitMIO() override;

    TImageKitMView* AttachedMView() const { return view_.data(); }
    // Records for images the view already holds are made with default values.
    void SetAttachedMView(TImageKitMView* view);

    TProgressEvent OnProgress;
    TMsgLanguage MsgLanguage = msEnglish;
    TIOPreviewsParams PreviewsParams = 0;
    TFont PreviewFont;

    // Video previews: at most this many frames, each decoded to fit the box (0 × 0: at
    // full size). A feature film must not fill the memory.
    int VideoFrameLimit = INT_MAX;
    int VideoBoxWidth = 0;
    int VideoBoxHeight = 0;
    // The frames the last loaded file holds, whatever was loaded of them.
    int FileFrameCount() const { return fileFrames_; }

    // By the lower-case extension: .gif, .tif/.tiff, .avi; anything else loads nothing.
    void LoadFromFile(const QString& fileName);
    void LoadFromStreamGIF(TStream& stream);
    void LoadFromStreamTIFF(TStream& stream);
    void LoadFromFileAVI(const QString& fileName);

    // Appends a frame decoded elsewhere (ReadMultiFrame, perhaps reduced) with its record;
    // fileFrames is the count the file holds.
    void AddFrame(const TBitmap& bitmap, const TIOParamsVals& record, const TMultiFrame& frame, int fileFrames);

    int ImageCount() const { return int(records_.size()); }
    // Null for an index out of range.
    TIOParamsVals* Params(int index) const;
    // The format parameter dialog on image index's record; True when confirmed.
    bool DoPreviews(int index, int pages);

private:
    static void viewChanged(void* data, TIKView* view);
    void syncWithView();
    void renumber();
    void detach();
    // Inserts an empty image at `at` and returns its record.
    TIOParamsVals& insertFrame(int at);
    void progress(int i, int count);
    template <class ReadFrame> void loadFrames(TStream& stream, ReadFrame read);
    void loadStreamFrames(TStream& stream, uint8_t fileType);
    // The view's side of a frame at `at`: background, display time, the record's indexes.
    void setFrame(int at, const TMultiFrame& frame, TIOParamsVals& record);

    QPointer<TImageKitMView> view_;
    std::vector<std::unique_ptr<TIOParamsVals>> records_;
    int fileFrames_ = 0;
};
