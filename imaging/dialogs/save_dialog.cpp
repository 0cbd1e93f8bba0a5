// The save dialog: its filters, the extension kept in step and the Advanced button.
#include "imaging/dialogs/save_dialog.h"

#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/file_filters.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/io/multi_io.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QPushButton>

namespace {

const char* const kSaveFilter = "JPEG Bitmap (JPG)|*.jpg"
                                "|CompuServe Bitmap (GIF)|*.gif"
                                "|TIFF Bitmap (TIF)|*.tif"
                                "|PaintBrush (PCX)|*.pcx"
                                "|Portable Network Graphics (PNG)|*.png"
                                "|Windows Bitmap (BMP)|*.bmp"
                                "|OS/2 Bitmap (BMP)|*.bmp";

// Pages of the format parameter dialog.
constexpr int kPagesJPEG = 4, kPagesTIFF = 8, kPagesGIF = 16, kPagesBMP = 32, kPagesPCX = 64, kPagesPNG = 128;

int pagesForExtension(const QString& ext)
{
    static const struct {
        const char* ext;
        int pages;
    } table[] = {
        {"jpg", kPagesJPEG}, {"jpeg", kPagesJPEG}, {"tif", kPagesTIFF}, {"tiff", kPagesTIFF},
        {"gif", kPagesGIF},  {"bmp", kPagesBMP},   {"pcx", kPagesPCX},  {"png", kPagesPNG},
    };
    for (const auto& e : table)
        if (ext == QLatin1String(e.ext))
            return e.pages;
    return 0;
}

}  // namespace

TSaveImageKitDialog::TSaveImageKitDialog(QObject* owner) : TOpenImageKitDialog(owner)
{
    Filter = QLatin1String(kSaveFilter);
    saved_ = std::make_unique<TIOParamsVals>();
    connect(AdvancedButton, &QPushButton::clicked, this, [this] { Guarded([this] { AdvancedClick(); }); });
}

TSaveImageKitDialog::~TSaveImageKitDialog() = default;

QObject* TSaveImageKitDialog::AttachedImageKitIO() const { return attached_.data(); }

void TSaveImageKitDialog::SetAttachedImageKitIO(QObject* component)
{
    if (qobject_cast<TImageKitIO*>(component) || qobject_cast<TImageKitMIO*>(component))
        attached_ = component;
}

// The record the Advanced button edits: the single component's, or the multi component's first.
TIOParamsVals* TSaveImageKitDialog::attachedParams() const
{
    if (auto* io = qobject_cast<TImageKitIO*>(attached_.data()))
        return &io->Params();
    if (auto* mio = qobject_cast<TImageKitMIO*>(attached_.data()))
        return mio->Params(0);
    return nullptr;
}

int TSaveImageKitDialog::AdvancedPageSet(const QString& fileName, const QString& defaultExt)
{
    if (const int pages = pagesForExtension(QFileInfo(fileName).suffix().toLower()))
        return pages;
    return pagesForExtension(defaultExt.toLower());
}

void TSaveImageKitDialog::AdvancedClick()
{
    const int pages = AdvancedPageSet(FileName(), DefaultExt);
    if (pages == 0)
        return;
    if (auto* io = qobject_cast<TImageKitIO*>(attached_.data()))
        io->DoPreviews(pages);
    else if (auto* mio = qobject_cast<TImageKitMIO*>(attached_.data()))
        mio->DoPreviews(0, pages);
}

bool TSaveImageKitDialog::Execute()
{
    // A multi-image component without images has nothing to save.
    TIOParamsVals* params = attachedParams();
    if (attached_ && !params)
        return false;
    ShowPreview = (ExOptions & sdShowPreview) != 0;
    AdvancedButton->setText(LabelText(LabelMsg::Advanced, MsgLanguage) + QStringLiteral("..."));
    AdvancedButton->setVisible((ExOptions & sdShowAdvanced) != 0);
    // Without a component the button has nothing to open.
    AdvancedButton->setEnabled(params != nullptr);
    PreviewCheck->setText(PreviewText(PreviewMsg::Preview, MsgLanguage));
    PreviewCheck->setVisible(ShowPreview);
    if (params)
        saved_->Assign(*params);

    const bool confirmed = RunSystemDialog(QFileDialog::AcceptSave);
    // The component may have gone, or lost its images, while the dialog was open.
    if (!confirmed && (params = attachedParams()))
        params->Assign(*saved_);
    const QString fileName = FileName();
    if (!fileName.isEmpty() && !HasExtension(fileName))
        SetFileName(fileName + MaskExtension(filterMask_));
    return confirmed;
}

QString TSaveImageKitDialog::TypedNameSuffix() const
{
    const QString ext = MaskExtension(filterMask_);
    return ext.isEmpty() ? DefaultExt : ext.mid(1);
}

void TSaveImageKitDialog::UpdateExtension()
{
    if (TIKFileDialog* d = Handle())
        d->setDefaultSuffix(TypedNameSuffix());
    const QString ext = MaskExtension(filterMask_);
    if (ext.isEmpty())
        return;
    SetFileSpec(ReplaceExtension(GetFileSpec(), ext));
}

void TSaveImageKitDialog::TypeChanged()
{
    UpdateExtension();
    TOpenImageKitDialog::TypeChanged();
}
