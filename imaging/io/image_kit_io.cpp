#include "imaging/io/image_kit_io.h"
#include "platform/ui/image_control.h"

#include "imaging/io/acquire/twain_acquire.h"
#include "imaging/io/bmp/bmp.h"
#include "imaging/io/jpeg/jpeg_codec.h"
#include "imaging/io/png/png_codec.h"
#include "imaging/io/stream_frame.h"
#include "imaging/proc/dib.h"
#include "imaging/view/ik_view.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/metafile.h"

#include <QFileInfo>
#include <QPainter>

namespace {

TImageKitIO::TPreviewsHandler& previewsHandler()
{
    static TImageKitIO::TPreviewsHandler h;
    return h;
}

void viewChangedProc(void* data, TIKView*)
{
    static_cast<TImageKitIO*>(data)->ViewBitmapChanged();
}

// The format a file name stands for, by its extension alone (contents are never sniffed).
TIOFileType fileTypeOfName(const QString& fileName)
{
    static const struct { const char* ext; TIOFileType type; } table[] = {
        {"jpg", ioJPEG}, {"jpeg", ioJPEG}, {"png", ioPNG}, {"tif", ioTIFF}, {"tiff", ioTIFF},
        {"pcx", ioPCX}, {"gif", ioGIF}, {"wmf", ioWMF}, {"emf", ioEMF}, {"bmp", ioBMP},
        {"cur", ioCUR}, {"ico", ioICO},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const auto& entry : table)
        if (suffix == QLatin1String(entry.ext))
            return entry.type;
    return ioUnknown;
}

// The file-level message: the reader's own words (when they say more) before the format's.
QString withDetail(const Exception& e, const QString& generic)
{
    const QString m = e.Message();
    if (m.isEmpty() || m.compare(generic, Qt::CaseInsensitive) == 0)
        return generic;
    return m + QStringLiteral(" : ") + generic;
}

[[noreturn]] void notAvailable(const char* format)
{
    throw EInvalidGraphic(QStringLiteral("%1 codec not available").arg(QLatin1String(format)));
}

}  // namespace

void TImageKitIO::SetPreviewsHandler(TPreviewsHandler handler) { previewsHandler() = std::move(handler); }

TImageKitIO::TImageKitIO(QObject* owner) : QObject(owner)
{
    params_ = std::make_unique<TIOParamsVals>(this);
}

TImageKitIO::~TImageKitIO()
{
    listenToView(false);
}

// ---- attachment -------------------------------------------------------------------

void TImageKitIO::listenToView(bool on)
{
    TIKView* v = AttachedImageKit();
    if (!v)
        return;
    if (on && !listening_) {
        v->AddBitmapChangeListener(&viewChangedProc, this);
        listening_ = true;
    } else if (!on && listening_) {
        v->RemoveBitmapChangeListener(&viewChangedProc, this);
        listening_ = false;
    }
}

void TImageKitIO::forgetView()
{
    if (viewConnection_)
        disconnect(viewConnection_);
    viewConnection_ = {};
    view_ = nullptr;
    viewAlive_ = nullptr;
    listening_ = false;
}

void TImageKitIO::SetAttachedImageKit(TIKView* view)
{
    listenToView(false);
    forgetView();
    if (!view) {
        if (!AttachedTImage())
            bitmap_ = nullptr;
        return;
    }
    forgetImage();
    view_ = view;
    viewAlive_ = view;
    bitmap_ = view->GetBitmap();
    // The view's bitmap dies with it: forget both the moment it goes.
    viewConnection_ = connect(view, &QObject::destroyed, this, [this] {
        forgetView();
        bitmap_ = nullptr;
    });
    listenToView(true);
}

void TImageKitIO::SetAttachedBitmap(TBitmap* bitmap)
{
    if (!bitmap && (AttachedImageKit() || AttachedTImage()))
        return;
    listenToView(false);
    forgetView();
    forgetImage();
    bitmap_ = bitmap;
}

void TImageKitIO::forgetImage()
{
    if (imageConnection_)
        disconnect(imageConnection_);
    imageConnection_ = {};
    image_ = nullptr;
}

void TImageKitIO::SetAttachedTImage(TImage* image)
{
    listenToView(false);
    forgetView();
    forgetImage();
    if (!image) {
        bitmap_ = nullptr;
        return;
    }
    image_ = image;
    bitmap_ = image->PictureBitmap();
    // The picture's bitmap dies with the control.
    imageConnection_ = connect(image, &QObject::destroyed, this, [this] {
        forgetImage();
        bitmap_ = nullptr;
    });
}

void TImageKitIO::ViewBitmapChanged()
{
    if (TIKView* v = AttachedImageKit())
        bitmap_ = v->GetBitmap();
}

TBitmap* TImageKitIO::Bitmap() const
{
    return bitmap_;
}

bool TImageKitIO::ViewDpi(int& dpiX, int& dpiY) const
{
    TIKView* v = AttachedImageKit();
    if (!v)
        return false;
    dpiX = v->DpiX();
    dpiY = v->DpiY();
    return true;
}

TColor TImageKitIO::Background() const
{
    if (TIKView* v = AttachedImageKit())
        return v->Background();
    return background_;
}

void TImageKitIO::SetBackground(TColor color)
{
    if (TIKView* v = AttachedImageKit())
        v->SetBackground(color);
    else
        background_ = color;
}

void TImageKitIO::Update()
{
    if (TIKView* v = AttachedImageKit()) {
        v->Update();
        v->ImageChanged();
    } else if (bitmap_) {
        bitmap_->Changed();
    }
}

TProgressRec TImageKitIO::progressRec()
{
    TProgressRec r;
    r.fOnProgress = OnProgress;
    r.Sender = this;
    r.Aborting = &Aborting;
    return r;
}

void TImageKitIO::afterLoad(const QString& fileName, uint8_t fileType)
{
    params_->FileName = fileName;
    params_->FileType = fileType;
    tellViewDpi();
    Update();
}

void TImageKitIO::tellViewDpi()
{
    if (TIKView* v = AttachedImageKit())
        v->SetDpi(params_->DpiX, params_->DpiY);
}

// ---- loading ------------------------------------------------------------------------

void TImageKitIO::LoadFromFile(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    switch (fileTypeOfName(fileName)) {
    case ioJPEG: LoadFromFileJPEG(fileName); break;
    case ioPNG: LoadFromFilePNG(fileName); break;
    case ioTIFF: LoadFromFileTIFF(fileName); break;
    case ioPCX: LoadFromFilePCX(fileName); break;
    case ioGIF: LoadFromFileGIF(fileName); break;
    case ioWMF:
    case ioEMF: LoadFromFileWMF(fileName); break;
    case ioBMP: LoadFromFileBMP(fileName); break;
    case ioCUR: LoadFromFileCUR(fileName); break;
    case ioICO: LoadFromFileICO(fileName); break;
    default:
        // No reader for the extension: nothing is loaded.
        params_->FileName.clear();
        params_->FileType = ioUnknown;
        break;
    }
}

void TImageKitIO::LoadFromFileJPEG(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    TFileStream fs(fileName, fmOpenRead);
    TProgressRec rec = progressRec();
    try {
        ReadJPEGStream(fs, *bitmap_, *params_, rec);
    } catch (const EInvalidGraphic&) {
        throw EInvalidGraphic(QStringLiteral("unrecognized JPEG"));
    }
    afterLoad(fileName, ioJPEG);
}

void TImageKitIO::LoadFromFilePNG(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    TFileStream fs(fileName, fmOpenRead);
    // A refused file leaves the parameters as they were.
    const TIORGB oldBackground = params_->PngBackground;
    params_->PngBackground = ColorToIORGB(ColorToRGB(Background()));
    TProgressRec rec = progressRec();
    try {
        ReadPNGStream(fs, *bitmap_, *params_, rec);
    } catch (const EInvalidGraphic&) {
        params_->PngBackground = oldBackground;
        throw EInvalidGraphic(QStringLiteral("unrecognized PNG"));
    } catch (...) {
        params_->PngBackground = oldBackground;
        throw;
    }
    SetBackground(IORGBToColor(params_->PngBackground));
    afterLoad(fileName, ioPNG);
}

// TIFF, PCX and GIF readers are not part of this build: the file must still open (an
// unopenable file keeps the stream's error), then the load is refused and nothing changes.
void TImageKitIO::refuseUnavailable(const QString& fileName, const char* format)
{
    Aborting = false;
    if (!bitmap_)
        return;
    TFileStream fs(fileName, fmOpenRead);
    throw EInvalidGraphic(QStringLiteral("%1 codec not available : unrecognized %1").arg(QLatin1String(format)));
}

int TImageKitIO::LoadFromFileTIFF(const QString& fileName)
{
    refuseUnavailable(fileName, "TIFF");
    return 0;
}

void TImageKitIO::LoadFromFilePCX(const QString& fileName) { refuseUnavailable(fileName, "PCX"); }

int TImageKitIO::LoadFromFileGIF(const QString& fileName)
{
    refuseUnavailable(fileName, "GIF");
    return 0;
}

void TImageKitIO::LoadFromFileBMP(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    // A file that cannot be opened is not a bad picture: the stream's error passes.
    TFileStream fs(fileName, fmOpenRead);
    TProgressRec rec = progressRec();
    try {
        ReadBMPStream(fs, *bitmap_, fs.Size(), rec, *params_);
    } catch (const EOutOfMemory&) {
        throw;
    } catch (const Exception& e) {
        throw EInvalidGraphic(withDetail(e, QStringLiteral("unrecognized BMP")));
    }
    afterLoad(fileName, ioBMP);
}

void TImageKitIO::LoadFromFileWMF(const QString& fileName)
{
    Aborting = false;
    if (!bitmap_)
        return;
    TFileStream fs(fileName, fmOpenRead);
    TMetafile mf;
    QImage img;
    try {
        mf.LoadFromStream(fs);
        const int w = mf.Width() - 1, h = mf.Height() - 1;
        if (w <= 0 || h <= 0 || int64_t(w) * h > (int64_t(1) << 28))
            throw EInvalidGraphic(QStringLiteral("metafile size out of range"));
        img = QImage(w, h, QImage::Format_BGR888);
        if (img.isNull())
            throw EOutOfMemory(QStringLiteral("Not enough memory for the metafile"));
        img.fill(ToQColor(Background()));
        QPainter p(&img);
        mf.Draw(p, TRect(0, 0, mf.Width(), mf.Height()));
    } catch (const Exception& e) {
        throw EInvalidGraphic(withDetail(e, QStringLiteral("unrecognized WMF or EMF")));
    }
    bitmap_->SetImage(img);
    params_->BitsPerSample = 8;
    params_->SamplesPerPixel = 3;
    params_->Width = bitmap_->Width();
    params_->Height = bitmap_->Height();
    params_->DpiX = ScreenDpiX();
    params_->DpiY = ScreenDpiY();
    params_->FreeColorMap();
    afterLoad(fileName, fileTypeOfName(fileName) == ioWMF ? ioWMF : ioEMF);
}

void TImageKitIO::loadIconOrCursor(const QString& fileName, bool cursor)
{
    Aborting = false;
    if (!bitmap_)
        return;
    const int w = cursor ? params_->CurWidth : params_->IcoWidth;
    const int h = cursor ? params_->CurHeight : params_->IcoHeight;
    const QString generic = cursor ? QStringLiteral("unrecognized CUR") : QStringLiteral("unrecognized ICO");
    TFileStream fs(fileName, fmOpenRead);
    QImage img;
    try {
        if (w <= 0 || h <= 0 || w > 4096 || h > 4096)
            throw EInvalidGraphic(QStringLiteral("requested icon size out of range"));
        TIcon icon;
        icon.SetRequestedSize(w, h);
        icon.LoadFromStream(fs);
        // Transparent parts show what a new bitmap holds: the canvas brush colour.
        img = QImage(w, h, QImage::Format_BGR888);
        if (img.isNull())
            throw EOutOfMemory(QStringLiteral("Not enough memory for the icon"));
        img.fill(Qt::white);
        QPainter p(&img);
        icon.Draw(p, TRect(0, 0, w, h));
    } catch (const Exception& e) {
        throw EInvalidGraphic(withDetail(e, generic));
    }
    bitmap_->SetImage(img);
    params_->BitsPerSample = 8;
    params_->SamplesPerPixel = 3;
    params_->Width = bitmap_->Width();
    params_->Height = bitmap_->Height();
    params_->DpiX = ScreenDpiX();
    params_->DpiY = ScreenDpiY();
    params_->FreeColorMap();
    afterLoad(fileName, cursor ? ioCUR : ioICO);
}

void TImageKitIO::LoadFromFileICO(const QString& fileName) { loadIconOrCursor(fileName, false); }
void TImageKitIO::LoadFromFileCUR(const QString& fileName) { loadIconOrCursor(fileName, true); }

void TImageKitIO::LoadFromStreamPCX(TStream& stream)
{
    Aborting = false;
    if (!bitmap_)
        return;
    TStreamFrame frame;
    try {
        frame = ReadPCXStreamHeader(stream, StreamHeaders);
    } catch (const Exception&) {
        throw EInvalidGraphic(QStringLiteral("unrecognized PCX stream"));
    }
    try {
        notAvailable("PCX");
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(withDetail(e, QStringLiteral("unrecognized PCX stream")));
    }
    params_->FileName.clear();
    params_->FileType = ioPCX;
    tellViewDpi();
    Update();
    if (frame.Framed)
        frame.SkipPast(stream);
}

void TImageKitIO::LoadFromStreamJPEG(TStream& stream)
{
    Aborting = false;
    if (!bitmap_)
        return;
    try {
        const TStreamFrame frame = ReadTaggedStreamHeader(stream, "JFIF");
        TProgressRec rec = progressRec();
        ReadJPEGStream(stream, *bitmap_, *params_, rec);
        if (frame.Framed)
            frame.SkipPast(stream);
    } catch (const Exception&) {
        throw EInvalidGraphic(QStringLiteral("unrecognized JPEG stream"));
    }
    tellViewDpi();
    params_->FileName.clear();
    params_->FileType = ioJPEG;
    Update();
}

// ---- saving -------------------------------------------------------------------------

// Every save starts here: a bitmap in another format is written as 24-bit. False when
// there is nothing to save.
bool TImageKitIO::prepareSave()
{
    Aborting = false;
    if (!bitmap_)
        return false;
    if (bitmap_->PixelFormat() != pf24bit && bitmap_->PixelFormat() != pf1bit) {
        bitmap_->SetPixelFormat(pf24bit);
        bitmap_->Changed();
    }
    return true;
}

void TImageKitIO::writeWith(TStream& stream, TCodecWriter writer)
{
    TProgressRec rec = progressRec();
    writer(stream, *bitmap_, *params_, rec);
}

template <class Writer>
void TImageKitIO::saveFileSafely(const QString& fileName, Writer&& writer)
{
    if (!prepareSave())
        return;
    TSafeFileStream fs(fileName);
    writer(fs);
    // An aborted writer did not finish: the old file stays.
    if (!Aborting)
        fs.Commit();
}

template <class Writer>
void TImageKitIO::saveFramed(TStream& stream, const char tag[4], bool patchAfterAbort, Writer&& writer)
{
    if (!prepareSave())
        return;
    if (!StreamHeaders) {
        writer(stream);
        return;
    }
    WriteFramedStream(stream, tag, [&] {
        writer(stream);
        return patchAfterAbort || !Aborting;
    });
}

void TImageKitIO::SaveToFile(const QString& fileName)
{
    switch (fileTypeOfName(fileName)) {
    case ioJPEG: SaveToFileJPEG(fileName); break;
    case ioPCX: SaveToFilePCX(fileName); break;
    case ioGIF: SaveToFileGIF(fileName); break;
    case ioTIFF: SaveToFileTIFF(fileName); break;
    case ioPNG: SaveToFilePNG(fileName); break;
    default: SaveToFileBMP(fileName); break;
    }
}

void TImageKitIO::SaveToFileJPEG(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream& s) { writeWith(s, WriteJPEGStream); });
}

void TImageKitIO::SaveToFilePCX(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream&) { notAvailable("PCX"); });
}

void TImageKitIO::SaveToFileGIF(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream&) { notAvailable("GIF"); });
}

void TImageKitIO::SaveToFileTIFF(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream&) { notAvailable("TIFF"); });
}

void TImageKitIO::SaveToFilePNG(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream& s) { writeWith(s, WritePNGStream); });
}

void TImageKitIO::SaveToFileBMP(const QString& fileName)
{
    saveFileSafely(fileName, [&](TStream& s) { writeWith(s, WriteBMPStream); });
}

void TImageKitIO::SaveToStreamTIFF(TStream& stream)
{
    saveFramed(stream, "TIFF", true, [&](TStream&) { notAvailable("TIFF"); });
}

void TImageKitIO::SaveToStreamPCX(TStream& stream)
{
    saveFramed(stream, "PCX2", false, [&](TStream&) { notAvailable("PCX"); });
}

void TImageKitIO::SaveToStreamJPEG(TStream& stream)
{
    saveFramed(stream, "JFIF", true, [&](TStream& s) { writeWith(s, WriteJPEGStream); });
}

void TImageKitIO::SaveToStreamGIF(TStream&)
{
    if (prepareSave())
        notAvailable("GIF");
}

void TImageKitIO::SaveToStreamBMP(TStream& stream)
{
    if (prepareSave())
        writeWith(stream, WriteBMPStream);
}

void TImageKitIO::SaveToStreamPNG(TStream& stream)
{
    if (prepareSave())
        writeWith(stream, WritePNGStream);
}

// ---- other operations ---------------------------------------------------------------

bool TImageKitIO::Acquire()
{
    Aborting = false;
    if (!bitmap_)
        return false;
    QByteArray dib = TwainAcquire(nullptr, false);
    if (dib.isEmpty())
        return false;
    const int depth = DIBToBitmap(dib, bitmap_);
    switch (depth) {
    case 1: params_->BitsPerSample = 1; params_->SamplesPerPixel = 1; break;
    case 4: params_->BitsPerSample = 4; params_->SamplesPerPixel = 1; break;
    case 8: params_->BitsPerSample = 8; params_->SamplesPerPixel = 1; break;
    case 15: params_->BitsPerSample = 5; params_->SamplesPerPixel = 3; break;
    case 16:
    case 24:
    case 32: params_->BitsPerSample = 8; params_->SamplesPerPixel = 3; break;
    default: break;
    }
    const int dpiX = TwainGetXResolution(), dpiY = TwainGetYResolution();
    if (TIKView* v = AttachedImageKit()) {
        v->SetDpiX(dpiX);
        v->SetDpiY(dpiY);
    }
    params_->DpiX = dpiX;
    params_->DpiY = dpiY;
    params_->Width = bitmap_->Width();
    params_->Height = bitmap_->Height();
    params_->FreeColorMap();
    TwainFreeDIBs(dib);
    Update();
    return true;
}

bool TImageKitIO::SelectAcquireSource() { return TwainSelectSource(nullptr); }

bool TImageKitIO::DoPreviews(int pages)
{
    if (!bitmap_)
        return false;
    if (bitmap_->PixelFormat() != pf24bit && bitmap_->PixelFormat() != pf1bit)
        bitmap_->SetPixelFormat(pf24bit);
    bool result = false;
    if (previewsHandler())
        result = previewsHandler()(*this, pages);
    Update();
    return result;
}

void TImageKitIO::AssignParams(const TImageKitIO& source) { params_->Assign(source.Params()); }
void TImageKitIO::AssignParams(const TIOParamsVals& source) { params_->Assign(source); }

int TImageKitIO::GetGIFImageCount(const QString&)
{
    // Counting needs the GIF codec; every failure counts as no frames.
    return 0;
}

int TImageKitIO::GetTIFFImageCount(const QString& fileName)
{
    TFileStream fs(fileName, fmOpenRead);
    notAvailable("TIFF");
}

QString TImageKitIO::GetFormatDescription(const TIOParamsVals& p)
{
    static const char* const names[] = {"",
                                        "TIFF Bitmap (TIF)",
                                        "CompuServe Bitmap (TIF)",
                                        "JPEG Bitmap (JPG)",
                                        "PaintBrush (PCX)",
                                        "Windows Bitmap (BMP)",
                                        "Windows Icon (ICO)",
                                        "Windows Cursor (CUR)",
                                        "Portable Network Graphics (PNG)",
                                        "Windows Metafile (WMF)",
                                        "Enhanced Windows Metafile (WMF)"};
    if (p.FileType > ioEMF)
        return QString();
    QString s = QLatin1String(names[p.FileType]);
    switch (p.FileType) {
    case ioTIFF: {
        static const char* const c[] = {" Uncompressed", " Huffman", " Group 3 Fax", " Group 3 Fax 2D", " Group 4 Fax",
                                        " LZW", " Jpeg v.5", " Jpeg", " PackBits RLE"};
        if (p.TiffCompression <= 8)
            s += QLatin1String(c[p.TiffCompression]);
        break;
    }
    case ioGIF:
        if (p.GifInterlaced)
            s += QLatin1String(" Interlaced");
        break;
    case ioJPEG: {
        static const char* const c[] = {"", " Gray level", " YCbCr", " CMYK", " YCbCrK"};
        if (p.JpegColorSpace <= 4)
            s += QLatin1String(c[p.JpegColorSpace]);
        break;
    }
    case ioPCX:
        if (p.PcxCompression == 0)
            s += QLatin1String(" Uncompressed");
        break;
    case ioBMP: {
        static const char* const c[] = {" ver.1", " ver.3", " OS/2 v.1", " OS/2 v.2"};
        if (p.BmpVersion <= 3)
            s += QLatin1String(c[p.BmpVersion]);
        break;
    }
    case ioPNG:
        if (p.PngInterlaced)
            s += QLatin1String(" Interlaced");
        break;
    default:
        break;
    }
    return s;
}
