// The open dialog: picture and information panels, preview loading and zoom.
#include "imaging/dialogs/open_dialog.h"

#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/file_filters.h"
#include "imaging/dialogs/preview_form.h"
#include "imaging/dialogs/preview_info.h"
#include "imaging/dialogs/preview_loader.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "imaging/io/multi_io.h"
#include "imaging/view/image_kit_view.h"
#include "imaging/view/multi_view.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/video/avi_reader.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>

namespace {

const char* const kOpenFilter =
    "All graphics|*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.pcx;*.png;*.bmp;*.wmf;*.emf;*.ico;*.cur;*.avi"
    "|JPEG Bitmap (JPG;JPEG)|*.jpg;*.jpeg"
    "|CompuServe Bitmap (GIF)|*.gif"
    "|TIFF Bitmap (TIF;TIFF)|*.tif;*.tiff"
    "|PaintBrush (PCX)|*.pcx"
    "|Portable Network Graphics (PNG)|*.png"
    "|Windows Bitmap (BMP)|*.bmp"
    "|OS/2 Bitmap (BMP)|*.bmp"
    "|Enhanced Windows Metafile (EMF)|*.emf"
    "|Windows Metafile (WMF)|*.wmf"
    "|Icon resource (ICO)|*.ico"
    "|Cursor Resource (CUR)|*.cur"
    "|Video for Windows (AVI)|*.avi";

constexpr TColor kWhite = RGB(255, 255, 255);
// Frames a video preview holds at most.
// A preview holds reduced frames, and not too many of them (the label tells the true
// count); the full-size preview decodes its frame again.
constexpr int kMaxPreviewFrames = 300;

void setAutoSizeText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

}  // namespace

TOpenImageKitDialog::TOpenImageKitDialog(QObject* owner) : TIKCommonDialog(owner)
{
    Filter = QLatin1String(kOpenFilter);
    mio_ = new TImageKitMIO(this);
    buildPicturePanel();
    buildInfoPanel();
    io_ = new TImageKitIO(this);
    io_->SetAttachedImageKit(ImageKitView);
    loader_ = std::make_unique<TPreviewLoader>();
    loader_->OnProgress = [this](int percent) { ProgressBar->setValue(percent); };
    loader_->OnFinished = [this](const TPreviewLoader::TResult& r) {
        Guarded([&] { previewLoaded(r); });
        Guarded([this] {
            if (OnSelectionChange)
                OnSelectionChange(this);
        });
    };
    multiLoader_ = std::make_unique<TMultiPreviewLoader>();
    multiLoader_->OnFrame = [this](const TMultiPreviewLoader::TFrame& f) { Guarded([&] { multiFrameLoaded(f); }); };
    multiLoader_->OnFinished = [this](bool ok) {
        Guarded([&] { multiPreviewLoaded(ok); });
        Guarded([this] {
            if (OnSelectionChange)
                OnSelectionChange(this);
        });
    };
}

TOpenImageKitDialog::~TOpenImageKitDialog()
{
    loader_.reset();
    multiLoader_.reset();
    delete io_;
    delete PicturePanel;
    delete InfoPanel;
}

bool TOpenImageKitDialog::Busy() const { return loader_->Busy() || multiLoader_->Busy(); }

void TOpenImageKitDialog::SetInitialDir(const QString& dir) { initialDir_ = NormalizedInitialDir(dir); }

QString TOpenImageKitDialog::FileName() const
{
    if (TIKFileDialog* d = Handle()) {
        const QStringList selected = d->selectedFiles();
        const QString first = selected.value(0);
        return first.isEmpty() ? currentPath_ : first;
    }
    return fileName_;
}

int TOpenImageKitDialog::dialogFilterIndex() const
{
    TIKFileDialog* d = Handle();
    if (!d)
        return filterIndex_;
    if (QComboBox* combo = d->FileTypeCombo(); combo && combo->currentIndex() >= 0)
        return combo->currentIndex() + 1;
    const qsizetype at = d->nameFilters().indexOf(d->selectedNameFilter());
    return at >= 0 ? int(at) + 1 : currentFilterIndex_;
}

int TOpenImageKitDialog::FilterIndex() const { return Handle() ? dialogFilterIndex() : filterIndex_; }

QString TOpenImageKitDialog::GetFileSpec() const
{
    TIKFileDialog* d = Handle();
    QLineEdit* edit = d ? d->FileNameEdit() : nullptr;
    return edit ? edit->text() : QString();
}

void TOpenImageKitDialog::SetFileSpec(const QString& text)
{
    TIKFileDialog* d = Handle();
    if (QLineEdit* edit = d ? d->FileNameEdit() : nullptr)
        edit->setText(text);
}

// ---- running ---------------------------------------------------------------------

bool TOpenImageKitDialog::Execute()
{
    PreviewCheck->setText(PreviewText(PreviewMsg::Preview, MsgLanguage));
    PreviewCheck->show();
    return RunSystemDialog(QFileDialog::AcceptOpen);
}

bool TOpenImageKitDialog::RunSystemDialog(QFileDialog::AcceptMode mode)
{
    Files.clear();
    currentFilterIndex_ = filterIndex_;
    filterMask_ = FilterMaskAt(Filter, currentFilterIndex_);
    currentPath_.clear();

    TIKFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(mode);
    if (!Title.isEmpty())
        dialog.setWindowTitle(Title);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontResolveSymlinks, (Options & ofNoDereferenceLinks) != 0);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
    if (mode == QFileDialog::AcceptSave)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (Options & ofAllowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList nameFilters = DialogNameFilters(Filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        if (filterIndex_ >= 1 && filterIndex_ <= nameFilters.size())
            dialog.selectNameFilter(nameFilters.at(filterIndex_ - 1));
        else
            currentFilterIndex_ = 1;
        filterMask_ = FilterMaskAt(Filter, currentFilterIndex_);
    }
    if (!initialDir_.isEmpty())
        dialog.setDirectory(initialDir_);
    if (!fileName_.isEmpty())
        dialog.selectFile(fileName_);

    connect(&dialog, &QFileDialog::currentChanged, this,
            [this](const QString& path) { Guarded([&] { onCurrentChanged(path); }); });
    connect(&dialog, &QFileDialog::directoryEntered, this, [this] { Guarded([this] { FolderChanged(); }); });
    connect(&dialog, &QFileDialog::filterSelected, this, [this] { Guarded([this] { onFilterSelected(); }); });
    dialog.CanAccept = [this] { return acceptFromDialog(); };
    dialog.setDefaultSuffix(TypedNameSuffix());

    const int result = RunModal(dialog);
    releasePanels();
    if (result == 0)
        return false;
    Files = dialog.selectedFiles();
    fileName_ = Files.value(0);
    const QString suffix = QFileInfo(fileName_).suffix();
    if (!DefaultExt.isEmpty() && suffix.compare(DefaultExt, Qt::CaseInsensitive) != 0)
        Options |= ofExtensionDifferent;
    else
        Options &= ~unsigned(ofExtensionDifferent);
    filterIndex_ = currentFilterIndex_;
    return true;
}

// ---- dialog events ---------------------------------------------------------------

void TOpenImageKitDialog::DialogShown()
{
    filterMask_ = FilterMaskAt(Filter, currentFilterIndex_);
    if (TIKFileDialog* d = Handle())
        layOutPanels(*d);
    if (ShowPreview) {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->clear();
        ZoomCombo->addItem(QStringLiteral("Fit"), 0);
        for (int z : {25, 50, 75, 100, 125, 150, 175, 200, 300, 400})
            ZoomCombo->addItem(QStringLiteral("%1%").arg(z), z);
        ZoomCombo->setCurrentIndex(0);
        ImageKitView->SetBackground(kWhite);
        ImageKitView->SetCenter(true);
        PlayButton->setChecked(false);
        PlayButton->setEnabled(false);
    }
    clearPreview();
    TIKCommonDialog::DialogShown();
}

void TOpenImageKitDialog::DialogClosed()
{
    TIKCommonDialog::DialogClosed();
    loader_->Cancel();
    multiLoader_->Cancel();
    PlayButton->setChecked(false);
    clearPreview();
    QToolTip::hideText();
    releasePanels();
}

bool TOpenImageKitDialog::acceptFromDialog()
{
    if (TIKFileDialog* d = Handle()) {
        Files = d->selectedFiles();
        fileName_ = Files.value(0);
    }
    bool accept = false;
    try {
        accept = AcceptClose();
    } catch (...) {
        Files.clear();
        throw;
    }
    Files.clear();
    return accept;
}

bool TOpenImageKitDialog::AcceptClose()
{
    bool canClose = true;
    if (OnCanClose)
        OnCanClose(this, canClose);
    return canClose;
}

void TOpenImageKitDialog::FolderChanged()
{
    if (OnFolderChange)
        OnFolderChange(this);
}

void TOpenImageKitDialog::onFilterSelected()
{
    const int index = dialogFilterIndex();
    filterMask_ = FilterMaskAt(Filter, index);
    if (index != currentFilterIndex_) {
        currentFilterIndex_ = index;
        TypeChanged();
    }
}

void TOpenImageKitDialog::TypeChanged()
{
    if (OnTypeChange)
        OnTypeChange(this);
}

// ---- preview ---------------------------------------------------------------------

void TOpenImageKitDialog::onCurrentChanged(const QString& path)
{
    currentPath_ = path;
    SelectionChanged();
}

bool TOpenImageKitDialog::LoadMultiPreview(const QString& path)
{
    clearMultiPreview();
    const QString ext = QFileInfo(path).suffix().toLower();
    bool multi = ext == QLatin1String("avi");
    if (ext == QLatin1String("gif"))
        multi = io_->GetGIFImageCount(path) > 1;
    if (ext == QLatin1String("tif") || ext == QLatin1String("tiff")) {
        try {
            multi = io_->GetTIFFImageCount(path) >= 2;
        } catch (const Exception&) {
            multi = false;  // the single preview reports the bad file
        }
    }
    if (!multi)
        return false;
    loader_->Cancel();
    ImageKitView->Blank();
    ImageKitView->hide();
    PlayButton->setEnabled(true);
    ZoomCombo->setEnabled(false);
    ImageKitMView->show();
    ProgressBar->setParent(ImageKitMView);
    ProgressBar->setValue(0);
    ProgressBar->show();
    ProgressBar->repaint();
    multiPath_ = path;
    fileSize_ = QFileInfo(path).size();
    if (ext != QLatin1String("avi")) {
        frameCount_ = 0;
        multiLoader_->Start(path, ext == QLatin1String("gif") ? ioGIF : ioTIFF, ImageKitMView->ThumbWidth(),
                            ImageKitMView->ThumbHeight(), kMaxPreviewFrames);
        return true;
    }
    mio_->VideoFrameLimit = kMaxPreviewFrames;
    mio_->VideoBoxWidth = ImageKitMView->ThumbWidth();
    mio_->VideoBoxHeight = ImageKitMView->ThumbHeight();
    try {
        mio_->LoadFromFile(path);
    } catch (const Exception&) {
        clearPreview();
        return true;
    }
    multiPreviewLoaded(true);
    return true;
}

void TOpenImageKitDialog::multiFrameLoaded(const TMultiPreviewLoader::TFrame& f)
{
    // Adding selects the new frame; the one the user looks at stays selected.
    const int selected = ImageKitMView->SelectedImage();
    mio_->AddFrame(*f.Bitmap, *f.Params, f.Frame, f.FileFrames);
    if (f.Index > 0 && selected >= 0)
        ImageKitMView->SetSelectedImage(selected);
    if (f.Frames > 0)
        ProgressBar->setValue(int(int64_t(f.Index) * 100 / f.Frames));
    if (f.Index == 0) {
        // The first frame shows, and tells its parameters, while the rest decode.
        frameCount_ = f.FileFrames;
        ImageKitMView->Update();
        ImageKitMView->SetSelectedImage(0);
    }
}

void TOpenImageKitDialog::multiPreviewLoaded(bool ok)
{
    ProgressBar->hide();
    frameCount_ = mio_->FileFrameCount();
    if (!ok || ImageKitMView->ImageCount() == 0) {
        clearPreview();
        return;
    }
    ImageKitMView->Update();
    ImageKitMView->ImageChanged();
    ImageKitMView->SetSelectedImage(0);
    PreviewButton->setEnabled(true);
}

void TOpenImageKitDialog::multiImageSelected(int index)
{
    if (const TIOParamsVals* params = mio_->Params(index))
        ShowInfo(params);
}

void TOpenImageKitDialog::clearMultiPreview()
{
    ImageKitMView->SetPlaying(false);
    ImageKitMView->Clear();
    ImageKitMView->hide();
    ProgressBar->setParent(ImageKitView);
    multiPath_.clear();
}

void TOpenImageKitDialog::SelectionChanged()
{
    if (ShowPreview && PreviewCheck->isChecked()) {
        const QString path = currentPath_;
        const QFileInfo info(path);
        if (!path.isEmpty() && info.isFile()) {
            // A load still running is abandoned; its selection is settled now.
            if (loader_->Busy() && OnSelectionChange)
                OnSelectionChange(this);
            ImageKitView->SetBackground(kWhite);
            ImageKitView->Blank();
            PlayButton->setChecked(false);
            if (multiLoader_->Busy() && OnSelectionChange)
                OnSelectionChange(this);
            multiLoader_->Cancel();
            const bool multi = LoadMultiPreview(path);
            if (multi && multiLoader_->Busy())
                return;  // the frames, and OnSelectionChange, arrive from the worker
            if (!multi) {
                PlayButton->setEnabled(false);
                ZoomCombo->setEnabled(true);
                ImageKitView->show();
                ProgressBar->setValue(0);
                ProgressBar->show();
                ProgressBar->raise();
                ImageKitView->setCursor(Qt::BusyCursor);
                // The result, and OnSelectionChange, arrive when the worker is done.
                loader_->Start(path);
                return;
            }
        } else {
            loader_->Cancel();
            multiLoader_->Cancel();
            clearPreview();
        }
    }
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TOpenImageKitDialog::previewLoaded(const TPreviewLoader::TResult& result)
{
    ProgressBar->hide();
    ImageKitView->unsetCursor();
    if (!result.Loaded || !result.Params || !result.Bitmap) {
        clearPreview();
        return;
    }
    ImageKitView->Assign(result.Bitmap.get());
    io_->AssignParams(*result.Params);
    ImageKitView->SetDpi(result.Params->DpiX, result.Params->DpiY);
    fileSize_ = result.FileSize;
    frameCount_ = 1;
    ShowInfo(&io_->Params());
    {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->setCurrentIndex(0);
    }
    ApplyZoom();
    PreviewButton->setEnabled(true);
}

void TOpenImageKitDialog::clearPreview()
{
    clearMultiPreview();
    ImageKitView->show();
    ProgressBar->hide();
    ImageKitView->unsetCursor();
    fileSize_ = 0;
    frameCount_ = 0;
    ShowInfo(nullptr);
    PreviewButton->setEnabled(false);
    ImageKitView->SetBackground(kWhite);
    ImageKitView->Blank();
}

void TOpenImageKitDialog::ShowInfo(const TIOParamsVals* params)
{
    const TPreviewInfoTexts t = params ? PreviewInfo(*params, fileSize_, frameCount_, MsgLanguage)
                                       : TPreviewInfoTexts{};
    setAutoSizeText(PicLabel1, t.PicLabel1);
    setAutoSizeText(PicLabel2, t.PicLabel2);
    setAutoSizeText(PicLabel3, t.PicLabel3);
    setAutoSizeText(InfoLabel1, t.InfoLabel1);
    setAutoSizeText(InfoLabel2, t.InfoLabel2);
}

void TOpenImageKitDialog::ApplyZoom()
{
    const int at = ZoomCombo->currentIndex();
    if (at < 0)
        return;
    const int zoom = ZoomCombo->itemData(at).toInt();
    if (zoom == 0)
        ImageKitView->Fit();
    else
        ImageKitView->SetZoom(zoom);
}

void TOpenImageKitDialog::ShowPreviewForm()
{
    if (!ImageKitMView->isVisible()) {
        TPreviewForm form(ImageKitView, FileName(), Handle());
        form.exec();
        return;
    }
    // The multi view's current image; a video frame is decoded again at full size.
    TImageKitView current;
    const int index = ImageKitMView->SelectedImage();
    TBitmap full;
    const TIOParamsVals* params = mio_->Params(index);
    if (params && params->FileType == ioUnknown && !params->FileName.isEmpty()) {
        TAviReader video(params->FileName);
        if (!video.ReadFrame(index, full))
            throw EInvalidGraphic(QStringLiteral("unable to read AVI frame %1").arg(index));
    } else if (params && (params->FileType == ioGIF || params->FileType == ioTIFF) && !multiPath_.isEmpty()) {
        // The view holds the frame reduced.
        TFileStream stream(multiPath_, fmOpenRead);
        TIOParamsVals record;
        TMultiFrame frame;
        if (ReadMultiFrame(stream, 0, params->FileType, index, full, record, frame) <= 0)
            throw EInvalidGraphic(QStringLiteral("unable to read frame %1").arg(index));
    } else if (const TBitmap* b = ImageKitMView->GetBitmap()) {
        full = *b;
    }
    current.Assign(&full);
    TPreviewForm form(&current, FileName(), Handle());
    form.exec();
}

void TOpenImageKitDialog::PreviewCheckClick()
{
    if (PreviewCheck->isChecked()) {
        SelectionChanged();
        return;
    }
    loader_->Cancel();
    multiLoader_->Cancel();
    clearPreview();
}
