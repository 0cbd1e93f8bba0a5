// The component's life cycle, its attachment to a view, a picture control or a bare
// bitmap, and the operations that are neither loading nor saving.

#include "imaging/io/image_kit_io.h"

#include "imaging/common/msg_tables.h"
#include "platform/core/exceptions.h"

#include "imaging/io/codec_table.h"
#include "imaging/view/ik_view.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/image_control.h"

namespace {

void viewChangedProc(void* data, TIKView*) { static_cast<TImageKitIO*>(data)->ViewBitmapChanged(); }

}  // namespace

TImageKitIO::TImageKitIO(QObject* owner) : QObject(owner) { params_ = std::make_unique<TIOParamsVals>(this); }

TImageKitIO::~TImageKitIO() { listenToView(false); }

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

TBitmap* TImageKitIO::Bitmap() const { return bitmap_; }

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

void TImageKitIO::tellViewDpi()
{
    if (TIKView* v = AttachedImageKit())
        v->SetDpi(params_->DpiX, params_->DpiY);
}

// ---- other operations ---------------------------------------------------------------


void TImageKitIO::AssignParams(const TImageKitIO& source) { params_->Assign(source.Params()); }
void TImageKitIO::AssignParams(const TIOParamsVals& source) { params_->Assign(source); }

QString TImageKitIO::GetFormatDescription(const TIOParamsVals& p)
{
    const TCodec* codec = CodecForType(p.FileType);
    if (!codec)
        return QString();
    QString s = QLatin1String(codec->Name);
    if (codec->DescriptionSuffix)
        s += codec->DescriptionSuffix(p);
    return s;
}
