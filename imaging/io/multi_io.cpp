// Loading and saving every frame of a multi-image file through a multi-image view.
#include "imaging/io/multi_io.h"

#include "imaging/io/gif/gif.h"
#include "imaging/io/tiff/tiff.h"
#include "imaging/view/multi_view.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/video/avi_reader.h"

#include <QFileInfo>

TImageKitMIO::TImageKitMIO(QObject* owner) : QObject(owner) {}

TImageKitMIO::~TImageKitMIO() { detach(); }

void TImageKitMIO::detach()
{
    if (view_)
        view_->RemoveBitmapChangeListener(&TImageKitMIO::viewChanged, this);
    view_.clear();
}

void TImageKitMIO::SetAttachedMView(TImageKitMView* view)
{
    detach();
    view_ = view;
    if (!view)
        return;
    view->AddBitmapChangeListener(&TImageKitMIO::viewChanged, this);
    view->PopLastChange();
    records_.clear();
    for (int i = 0; i < view->ImageCount(); ++i)
        records_.push_back(std::make_unique<TIOParamsVals>());
    renumber();
}

void TImageKitMIO::viewChanged(void* data, TIKView*) { static_cast<TImageKitMIO*>(data)->syncWithView(); }

void TImageKitMIO::syncWithView()
{
    if (!view_)
        return;
    const int change = view_->PopLastChange();
    const int n = view_->LastChangeIndex();
    const int count = ImageCount();
    if (change == 1) {
        auto record = std::make_unique<TIOParamsVals>();
        if (count > 0)
            record->Assign(*records_[size_t(std::clamp(n, 0, count - 1))]);
        records_.insert(records_.begin() + std::clamp(n, 0, count), std::move(record));
    } else if (change == 2 && n >= 0 && n < count) {
        records_.erase(records_.begin() + n);
    } else {
        return;
    }
    renumber();
}

void TImageKitMIO::renumber()
{
    for (size_t i = 0; i < records_.size(); ++i) {
        records_[i]->GifImageIndex = int(i);
        records_[i]->TiffImageIndex = int(i);
    }
}

TIOParamsVals* TImageKitMIO::Params(int index) const
{
    return index >= 0 && index < ImageCount() ? records_[size_t(index)].get() : nullptr;
}

TIOParamsVals& TImageKitMIO::insertFrame(int at)
{
    view_->InsertImage(at);
    // The listener made the record; should the view have been changed behind our back,
    // the lists are matched again here.
    while (ImageCount() < view_->ImageCount())
        records_.insert(records_.begin() + std::min(at, ImageCount()), std::make_unique<TIOParamsVals>());
    return *records_[size_t(at)];
}

void TImageKitMIO::progress(int i, int count)
{
    if (OnProgress && count > 0)
        OnProgress(this, int(int64_t(i) * 100 / count));
}

void TImageKitMIO::LoadFromFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("gif")) {
        TFileStream fs(fileName, fmOpenRead);
        LoadFromStreamGIF(fs);
    } else if (ext == QLatin1String("tif") || ext == QLatin1String("tiff")) {
        TFileStream fs(fileName, fmOpenRead);
        LoadFromStreamTIFF(fs);
    } else if (ext == QLatin1String("avi")) {
        LoadFromFileAVI(fileName);
    }
}

// The frame loop of GIF and TIFF: read(record, i, bitmap, progress) reads frame i and
// returns the file's frame count. A frame that fails leaves no empty image behind; the
// frames before it stay.
template <class ReadFrame> void TImageKitMIO::loadFrames(TStream& stream, ReadFrame read)
{
    if (!view_)
        return;
    int at = std::max(view_->SelectedImage(), 0);
    const int64_t start = stream.Position();
    int count = 1;
    fileFrames_ = 0;
    for (int i = 0; i < count; ++i) {
        stream.SetPosition(start);
        TIOParamsVals& record = insertFrame(at);
        TBitmap bitmap;
        TProgressRec rec;  // no progress of the reader's own, never aborted
        try {
            count = read(record, i, bitmap, rec);
        } catch (...) {
            view_->DeleteImage(at);
            throw;
        }
        if (count <= 0) {
            view_->DeleteImage(at);
            break;
        }
        fileFrames_ = count;
        view_->SetImage(at, &bitmap);
        progress(i, count);
        ++at;
    }
    view_->Update();
    view_->ImageChanged();
}

struct TMultiFrameReader::Walk {
    TGifFrames gif;
    TTiffPages tiff;
};

TMultiFrameReader::TMultiFrameReader(TStream& stream, int64_t start, uint8_t fileType)
    : stream_(stream), start_(start), fileType_(fileType)
{}

TMultiFrameReader::~TMultiFrameReader() = default;

int TMultiFrameReader::Read(int i, TBitmap& bitmap, TIOParamsVals& record, TMultiFrame& frame)
{
    if (!walk_) {
        auto walk = std::make_unique<Walk>();
        stream_.SetPosition(start_);
        if (fileType_ == ioGIF)
            walk->gif = WalkGIFFrames(stream_);
        else
            walk->tiff = WalkTIFFPages(stream_);
        walk_ = std::move(walk);
    }
    stream_.SetPosition(start_);
    TProgressRec rec;  // no progress of the reader's own, never aborted
    if (fileType_ == ioGIF) {
        record.GifImageIndex = i;
        const int count = ReadGIFFrame(stream_, walk_->gif, i, bitmap, record, rec);
        if (count <= 0 || i >= count)
            return 0;
        if (record.GifDelayTime > 0)
            frame.Delay = record.GifDelayTime * 10;
        frame.HasBackground = true;
        frame.Background = IORGBToColor(record.GifBackground);
        record.FileType = ioGIF;
        return count;
    }
    record.TiffImageIndex = i;
    const int count = ReadTIFFPage(stream_, walk_->tiff, i, bitmap, record, rec);
    if (count <= 0 || i >= count)
        return 0;
    frame.Delay = 100;
    frame.HasBackground = false;
    record.FileType = ioTIFF;
    return count;
}

int ReadMultiFrame(TStream& stream, int64_t start, uint8_t fileType, int i, TBitmap& bitmap, TIOParamsVals& record,
                   TMultiFrame& frame)
{
    return TMultiFrameReader(stream, start, fileType).Read(i, bitmap, record, frame);
}

void TImageKitMIO::setFrame(int at, const TMultiFrame& frame, TIOParamsVals& record)
{
    if (frame.HasBackground)
        view_->SetImageBackground(at, frame.Background);
    view_->SetImageDelay(at, frame.Delay);
    record.GifImageIndex = record.TiffImageIndex = at;
    record.FileName.clear();
}

void TImageKitMIO::AddFrame(const TBitmap& bitmap, const TIOParamsVals& record, const TMultiFrame& frame,
                            int fileFrames)
{
    if (!view_)
        return;
    const int at = ImageCount();
    TIOParamsVals& mine = insertFrame(at);
    mine.Assign(record);
    view_->SetImage(at, &bitmap);
    setFrame(at, frame, mine);
    fileFrames_ = fileFrames;
}

void TImageKitMIO::LoadFromStreamGIF(TStream& stream) { loadStreamFrames(stream, ioGIF); }

void TImageKitMIO::LoadFromStreamTIFF(TStream& stream) { loadStreamFrames(stream, ioTIFF); }

void TImageKitMIO::loadStreamFrames(TStream& stream, uint8_t fileType)
{
    TMultiFrame frame;
    TMultiFrameReader reader(stream, stream.Position(), fileType);
    loadFrames(stream, [&](TIOParamsVals& record, int i, TBitmap& bitmap, TProgressRec&) {
        const int count = reader.Read(i, bitmap, record, frame);
        if (count > 0)
            setFrame(view_->SelectedImage(), frame, record);
        return count;
    });
}

void TImageKitMIO::LoadFromFileAVI(const QString& fileName)
{
    if (!view_)
        return;
    TAviReader video(fileName);
    fileFrames_ = video.FrameCount();
    const int count = std::min(fileFrames_, std::max(VideoFrameLimit, 0));
    const int interval = AviFrameInterval(video.Rate(), video.Scale());
    int at = std::max(view_->SelectedImage(), 0);
    for (int i = 0; i < count; ++i) {
        TIOParamsVals& record = insertFrame(at);
        TBitmap bitmap;
        if (!video.ReadFrame(i, bitmap, VideoBoxWidth, VideoBoxHeight)) {
            view_->DeleteImage(at);
            view_->Update();
            throw EInvalidGraphic(QStringLiteral("unable to read AVI frame %1").arg(i));
        }
        view_->SetImage(at, &bitmap);
        view_->SetImageDelay(at, interval);
        record.BitsPerSample = 8;
        record.SamplesPerPixel = 3;
        record.GifImageIndex = record.TiffImageIndex = at;
        record.DpiX = ScreenDpiX();
        record.DpiY = ScreenDpiY();
        // The frame's own size, also when the view keeps a reduced copy.
        record.Width = video.Width();
        record.Height = video.Height();
        record.FileName = fileName;
        record.FileType = ioUnknown;
        record.FreeColorMap();
        progress(i, count);
        ++at;
    }
    view_->Update();
    view_->ImageChanged();
}

bool TImageKitMIO::DoPreviews(int index, int pages)
{
    TIOParamsVals* record = Params(index);
    if (!view_ || !record || !view_->GetBitmap())
        return false;
    // The dialog works on an input/output component: one over a copy of the current
    // image, carrying this image's record, which takes the result back when confirmed.
    TBitmap copy(*view_->GetBitmap());
    TImageKitIO io;
    io.SetAttachedBitmap(&copy);
    io.AssignParams(*record);
    io.MsgLanguage = MsgLanguage;
    io.PreviewsParams = PreviewsParams;
    io.PreviewFont = PreviewFont;
    const bool ok = io.DoPreviews(pages);
    if (ok)
        record->Assign(io.Params());
    renumber();
    view_->Update();
    return ok;
}
