#include "imaging/dialogs/save_dialog.h"

#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/file_filters.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"

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
    static const struct { const char* ext; int pages; } table[] = {
        {"jpg", kPagesJPEG}, {"jpeg", kPagesJPEG}, {"tif", kPagesTIFF}, {"tiff", kPagesTIFF},
        {"gif", kPagesGIF},  {"bmp", kPagesBMP},   {"pcx", kPagesPCX},  {"png", kPagesPNG},
    };
    for (const auto& e : table)
        if (ext == QLatin1String(e.ext))
            return e.pages;
    return 0;
}

} // namespace

TSaveImageKitDialog::TSaveImageKitDialog(QObject* owner) : TOpenImageKitDialog(owner)
{
    Filter = QLatin1String(kSaveFilter);
    saved_ = std::make_unique<TIOParamsVals>();
    connect(AdvancedButton, &QPushButton::clicked, this, [this] { Guarded([this] { AdvancedClick(); }); });
}

TSaveImageKitDialog::~TSaveImageKitDialog() = default;

QObject* TSaveImageKitDialog::AttachedImageKitIO() const
{
    return attached_.data();
}

void TSaveImageKitDialog::SetAttachedImageKitIO(QObject* component)
{
    // The multi-image component joins here once it exists.
    if (auto* io = qobject_cast<TImageKitIO*>(component))
        attached_ = io;
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
    if (pages == 0 || !attached_)
        return;
    attached_->DoPreviews(pages);
}

bool TSaveImageKitDialog::Execute()
{
    ShowPreview = (ExOptions & sdShowPreview) != 0;
    AdvancedButton->setText(LabelText(LabelMsg::Advanced, MsgLanguage) + QStringLiteral("..."));
    AdvancedButton->setVisible((ExOptions & sdShowAdvanced) != 0);
    // Without a component the button has nothing to open.
    AdvancedButton->setEnabled(bool(attached_));
    PreviewCheck->setText(PreviewText(PreviewMsg::Preview, MsgLanguage));
    PreviewCheck->setVisible(ShowPreview);
    if (attached_)
        saved_->Assign(attached_->Params());

    const bool confirmed = RunSystemDialog(QFileDialog::AcceptSave);
    if (!confirmed && attached_)
        attached_->AssignParams(*saved_);
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
