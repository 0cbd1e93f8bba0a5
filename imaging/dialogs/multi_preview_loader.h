// Decodes the frames of a multi-image file (GIF frames, TIFF pages) for the open
// dialog's preview on a worker thread: each frame is reduced to the thumbnail box
// there, at most a limit of them is decoded, and they arrive one by one on the
// loader's own thread through the event loop. A newer request, Cancel or the loader's
// end abandons the older work; nothing more is delivered for it.
#pragma once
#include "imaging/dialogs/superseding_worker.h"
#include "imaging/io/multi_io.h"

#include <QString>
#include <functional>
#include <memory>

class TBitmap;
class TIOParamsVals;

class TMultiPreviewLoader : public TSupersedingWorker {
    Q_OBJECT
public:
    struct TFrame {
        int Index = 0;       // 0-based frame number
        int FileFrames = 0;  // the frames the file holds
        int Frames = 0;      // the frames that will be delivered
        std::shared_ptr<TBitmap> Bitmap;
        std::shared_ptr<TIOParamsVals> Params;
        TMultiFrame Frame;
    };

    explicit TMultiPreviewLoader(QObject* parent = nullptr);
    ~TMultiPreviewLoader() override;

    // fileType ioGIF or ioTIFF; frames larger than boxWidth × boxHeight are reduced to
    // fit it (the record keeps the frame's own size).
    void Start(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit);

    std::function<void(const TFrame& frame)> OnFrame;
    // After the last frame; ok false when not even the first frame could be read.
    std::function<void(bool ok)> OnFinished;

private:
    void run(const QString& fileName, uint8_t fileType, int boxWidth, int boxHeight, int limit, const JobRef& job);
};
