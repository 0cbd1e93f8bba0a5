// The format parameter dialog at work: pages, the working copy, change handlers, the
// preview through the real writer and reader, the colour panels and OK.
#include "imaging/dialogs/io_previews_dialog.h"

#include "imaging/dialogs/palette_dialog.h"
#include "imaging/io/codec_table.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/bmp/bmp.h"
#include "imaging/io/tiff/tiff.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/application.h"

#include <QTimer>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

// A typed number, or the field's default when the text is none.
int NumberOr(const QLineEdit* edit, int fallback)
{
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok);
    return ok ? v : fallback;
}

void SetIndex(QComboBox* box, int index) { box->setCurrentIndex(index); }

// Photometric entries that fix the TIFF colour list.
bool FullColourPhotometric(int p) { return p == kTiffPhotometricCMYK || p == 6 || p == 7; }
bool GreyPhotometric(int p) { return p == 0 || p == 1; }

constexpr int kTiffChoiceBW = 0, kTiffChoice16M = 4;

}  // namespace

// ---- page set ------------------------------------------------------------------------

bool TfIOPreviews::SetPages(int pages)
{
    pages_ = pages & 0xFF;
    const int own = record_ ? PageOfFileType(record_->FileType) : 0;
    if (pages_ & iopgFileType)
        pages_ |= own;
    return !(pages == iopgFileType && own == 0);
}

bool TfIOPreviews::PageOffered(int page) const { return (pages_ & iopgAll) || (pages_ & page); }

int TfIOPreviews::pageIndex(int bit) const
{
    for (size_t i = 0; i < pagesBuilt_.size(); ++i)
        if (pagesBuilt_[i].bit == bit)
            return int(i);
    return -1;
}

int TfIOPreviews::ActivePage() const
{
    const int i = PageControl1->currentIndex();
    if (i < 0 || i >= int(pagesBuilt_.size()) || !PageControl1->isTabVisible(i))
        return 0;
    return pagesBuilt_[size_t(i)].bit;
}

void TfIOPreviews::ShowPage(int page)
{
    const int i = pageIndex(page);
    if (i >= 0 && PageControl1->isTabVisible(i))
        PageControl1->setCurrentIndex(i);
}

// ---- activation and page change ------------------------------------------------------------

void TfIOPreviews::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per opening: a message box over the dialog must not reset the page.
    if (!activated_)
        guarded([this] { FormActivate(); });
}

void TfIOPreviews::FormActivate()
{
    activated_ = true;
    ready_ = false;
    {
        const QSignalBlocker block(SpeedButton1);
        SpeedButton1->setChecked(lockDefault_);
    }
    Button3->setEnabled(!lockDefault_);
    int first = -1;
    {
        const QSignalBlocker block(PageControl1);
        for (size_t i = 0; i < pagesBuilt_.size(); ++i) {
            const bool shown = PageOffered(pagesBuilt_[i].bit);
            PageControl1->setTabVisible(int(i), shown);
            if (shown && first < 0)
                first = int(i);
        }
        if (first >= 0)
            PageControl1->setCurrentIndex(first);
        // Without any page there is nothing to edit.
        PageControl1->setVisible(first >= 0);
    }
    ready_ = true;
    // The source view holds the image itself until "<<" codes it.
    if (const TBitmap* source = ImageKit1->Bitmap())
        image_ = TImageColours::Of(*source);
    if (record_)
        work_.Load(*record_, &image_);
    ShowWorkingCopy();
    ImageKit1->Fit();
    // The pending events run before the first preview, in the dialog's own loop: run here,
    // inside showing, a close among them would come before that loop and leave it waiting.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            guarded([this] { PageControl1Change(); });
    });
}

void TfIOPreviews::PageControl1Change()
{
    // Settings changed on the page left and not confirmed are dropped.
    ready_ = true;
    if (record_)
        work_.Load(*record_, &image_);
    ShowWorkingCopy();
    if (ActivePage())
        DoPreview(ImageKit2);
}

// ---- showing the working copy ----------------------------------------------------------

void TfIOPreviews::ShowWorkingCopy()
{
    const int page = ActivePage();
    const bool wasReady = ready_;
    ready_ = false;
    const TBitmap* source = ImageKit1->Bitmap();
    if (const int i = pageIndex(page); i >= 0 && source) {
        const int64_t b = source->PixelFormat() == pf1bit ? 1 : 24;
        const int64_t bytes = ((b * source->Width() + 31) / 32) * 4 * source->Height();
        OriginalSizes[size_t(i)]->setText(QString::number(bytes) + QStringLiteral(" bytes"));
    }
    switch (page) {
    case iopgJPEG:
        Edit22->setText(QString::number(work_.JpegQuality));
        TrackBar13->setValue(work_.JpegQuality);
        SetIndex(ComboBox13, work_.JpegColorSpace);
        SetIndex(ComboBox1, work_.JpegDctMethod);
        Edit23->setValue(work_.JpegSmoothing);
        CheckBox2->setChecked(work_.JpegOptimalHuffman);
        CheckBox3->setChecked(work_.JpegProgressive);
        break;
    case iopgTIFF:
        SetIndex(ComboBox2, work_.TiffCompression);
        Edit1->setValue(work_.TiffImageIndex);
        SetIndex(ComboBox3, work_.TiffPhotometric);
        SetIndex(ComboBox4, work_.TiffChoice);
        Edit4->setText(work_.TiffDocumentName);
        Edit5->setText(work_.TiffImageDescription);
        Edit6->setText(work_.TiffPageName);
        Edit7->setText(QString::number(work_.TiffPageNumber));
        Edit8->setText(QString::number(work_.TiffPageCount));
        Edit2->setText(QString::number(work_.TiffXPos));
        Edit3->setText(QString::number(work_.TiffYPos));
        tiffColorsFollowPhotometric(false);
        // The colours the photometric imposes are the ones written, not only shown.
        work_.TiffChoice = std::max(0, ComboBox4->currentIndex());
        break;
    case iopgGIF:
        SetIndex(ComboBox5, work_.GifBits - 1);
        Edit9->setValue(work_.GifImageIndex);
        CheckBox4->setChecked(work_.GifTransparent);
        CheckBox5->setChecked(work_.GifInterlaced);
        Edit10->setText(QString::number(work_.GifXPos));
        Edit11->setText(QString::number(work_.GifYPos));
        Edit12->setText(QString::number(work_.GifDelayTime));
        TransparentColorLabel->setEnabled(work_.GifTransparent);
        Panel3->setEnabled(work_.GifTransparent);
        paintPanel(Panel3, work_.GifTransparentColor);
        paintPanel(Panel4, work_.GifBackground);
        break;
    case iopgBMP:
        SetIndex(ComboBox6, work_.BmpCompression ? 1 : 0);
        SetIndex(ComboBox7, work_.BmpChoice);
        break;
    case iopgPCX:
        SetIndex(ComboBox8, work_.PcxCompression ? 1 : 0);
        SetIndex(ComboBox9, work_.PcxChoice);
        break;
    case iopgPNG:
        SetIndex(ComboBox10, work_.PngChoice);
        paintPanel(Panel1, work_.PngBackground);
        SetIndex(ComboBox11, work_.PngFilter);
        CheckBox6->setChecked(work_.PngInterlaced);
        SetIndex(ComboBox12, work_.PngCompression);
        break;
    default: break;
    }
    showNote(page);
    ready_ = wasReady;
}

void TfIOPreviews::showNote(int page)
{
    const int i = pageIndex(page);
    if (i < 0)
        return;
    TIOParamsVals params;
    if (record_)
        params.Assign(*record_);
    work_.WritePage(page, params);
    const bool german = language_ == msGerman;
    const QString reduced = reductionNote(page);
    QString why;
    if (page == iopgTIFF && TiffWrittenCompression(params) != work_.TiffCompression) {
        const int chosen = work_.TiffCompression;
        if (chosen >= 1 && chosen <= 4)
            why = german ? QStringLiteral("Fax-Kodierung nur für Schwarzweiß (B/W)")
                         : QStringLiteral("Fax coding needs B/W colors");
        else if (chosen == 5)
            why = german ? QStringLiteral("Kein LZW-Kodierer vorhanden") : QStringLiteral("No LZW coder available");
        else
            why = german ? QStringLiteral("JPEG-Kompression wird nicht unterstützt")
                         : QStringLiteral("JPEG compression is not supported");
    } else if (page == iopgBMP && params.BmpCompression == 1 && !BmpWritesRle(params)) {
        why = german ? QStringLiteral("RLE nur für 16 oder 256 Farben") : QStringLiteral("RLE needs 16 or 256 colors");
    }
    if (!why.isEmpty())
        why += german ? QStringLiteral(": wird unkomprimiert gespeichert.") : QStringLiteral(": stored uncompressed.");
    if (!reduced.isEmpty())
        why = why.isEmpty() ? reduced : reduced + u'\n' + why;
    Notes[size_t(i)]->setText(why);
}

QString TfIOPreviews::reductionNote(int page) const
{
    const bool german = language_ == msGerman;
    if (page == iopgJPEG)
        return work_.JpegColorSpace == 1 && !image_.grey
                 ? (german ? QStringLiteral("Das Bild wird auf Graustufen reduziert.")
                           : QStringLiteral("The image will be reduced to grey levels."))
                 : QString();
    const TDepth depth = page == iopgTIFF ? work_.TiffDepth()
                       : page == iopgGIF  ? TDepth{work_.GifBits, 1}
                       : page == iopgBMP  ? DepthOfChoice(page, work_.BmpChoice)
                       : page == iopgPCX  ? DepthOfChoice(page, work_.PcxChoice)
                                          : DepthOfChoice(page, work_.PngChoice);
    if (image_.HeldBy(depth))
        return {};
    const int bits = depth.bits * depth.samples;
    if (bits <= 1)
        return german ? QStringLiteral("Das Bild wird auf Schwarzweiß reduziert.")
                      : QStringLiteral("The image will be reduced to black and white.");
    const QString colours = QString::number(1 << bits);
    return german ? QStringLiteral("Das Bild wird auf %1 Farben reduziert.").arg(colours)
                  : QStringLiteral("The image will be reduced to %1 colors.").arg(colours);
}

void TfIOPreviews::tiffColorsFollowPhotometric(bool photometricChanged)
{
    // Only the user's change of the photometric takes colours away; when the page opens
    // it shows the image's own depth.
    const int p = ComboBox3->currentIndex();
    if (FullColourPhotometric(p)) {
        ComboBox4->setCurrentIndex(kTiffChoice16M);
        ComboBox4->setEnabled(false);
    } else if (GreyPhotometric(p) && (photometricChanged || ComboBox4->currentIndex() == kTiffChoiceBW)) {
        ComboBox4->setCurrentIndex(kTiffChoiceBW);
        ComboBox4->setEnabled(false);
    } else {
        ComboBox4->setEnabled(true);
        if (photometricChanged && ComboBox4->currentIndex() == kTiffChoiceBW)
            ComboBox4->setCurrentIndex(kTiffChoice16M);
    }
}

// ---- change handlers ----------------------------------------------------------------------

void TfIOPreviews::changed()
{
    if (SpeedButton1->isChecked()) {
        DoPreview(ImageKit2);
        ImageKit2->repaint();
    } else if (const int i = pageIndex(ActivePage()); i >= 0) {
        // The size of the settings before is no size of these; Preview tells the new one.
        CompressedSizes[size_t(i)]->setText(QStringLiteral("---"));
    }
}

void TfIOPreviews::JpegChange(bool fromEdits)
{
    if (!ready_)
        return;
    if (fromEdits) {
        const int quality = std::clamp(NumberOr(Edit22, 50), 0, kQualityMax);
        const int smoothing = Edit23->value();
        if (quality == work_.JpegQuality && smoothing == work_.JpegSmoothing)
            return;
        const QSignalBlocker block(TrackBar13);
        TrackBar13->setValue(quality);
    }
    const int quality = TrackBar13->value();
    if (quality == work_.JpegQuality && ComboBox13->currentIndex() == work_.JpegColorSpace &&
        ComboBox1->currentIndex() == work_.JpegDctMethod && CheckBox2->isChecked() == work_.JpegOptimalHuffman &&
        Edit23->value() == work_.JpegSmoothing && CheckBox3->isChecked() == work_.JpegProgressive)
        return;
    work_.JpegQuality = quality;
    work_.JpegColorSpace = std::max(0, ComboBox13->currentIndex());
    work_.JpegDctMethod = std::max(0, ComboBox1->currentIndex());
    work_.JpegOptimalHuffman = CheckBox2->isChecked();
    work_.JpegSmoothing = Edit23->value();
    work_.JpegProgressive = CheckBox3->isChecked();
    // The slider's position goes back into the edit unless the edit is being typed in.
    if (!fromEdits) {
        ready_ = false;
        Edit22->setText(QString::number(quality));
        ready_ = true;
    }
    showNote(iopgJPEG);
    changed();
}

void TfIOPreviews::TiffChange()
{
    if (!ready_)
        return;
    ready_ = false;
    tiffColorsFollowPhotometric(ComboBox3->currentIndex() != work_.TiffPhotometric);
    ready_ = true;
    const int compression = std::max(0, ComboBox2->currentIndex());
    const int photometric = std::max(0, ComboBox3->currentIndex());
    const int choice = std::max(0, ComboBox4->currentIndex());
    // The names and numbers are written into the file as well: any change shows in
    // the size, so every field counts.
    const TIOWorkingCopy before = work_;
    work_.TiffCompression = compression;
    work_.TiffPhotometric = photometric;
    work_.TiffChoice = choice;
    work_.TiffImageIndex = Edit1->value();
    work_.TiffXPos = NumberOr(Edit2, 0);
    work_.TiffYPos = NumberOr(Edit3, 0);
    work_.TiffDocumentName = Edit4->text();
    work_.TiffImageDescription = Edit5->text();
    work_.TiffPageName = Edit6->text();
    work_.TiffPageNumber = NumberOr(Edit7, 0);
    work_.TiffPageCount = NumberOr(Edit8, 0);
    showNote(iopgTIFF);
    if (before != work_)
        changed();
}

void TfIOPreviews::GifChange()
{
    if (!ready_)
        return;
    const TIOWorkingCopy before = work_;
    work_.GifBits = std::max(0, ComboBox5->currentIndex()) + 1;
    work_.GifInterlaced = CheckBox5->isChecked();
    work_.GifImageIndex = Edit9->value();
    work_.GifXPos = NumberOr(Edit10, 0);
    work_.GifYPos = NumberOr(Edit11, 0);
    work_.GifDelayTime = NumberOr(Edit12, 0);
    work_.GifTransparent = CheckBox4->isChecked();
    TransparentColorLabel->setEnabled(work_.GifTransparent);
    Panel3->setEnabled(work_.GifTransparent);
    showNote(iopgGIF);
    if (before != work_)
        changed();
}

void TfIOPreviews::BmpPcxChange(bool pcx)
{
    if (!ready_)
        return;
    const int choice = std::max(0, (pcx ? ComboBox9 : ComboBox7)->currentIndex());
    const bool compressed = (pcx ? ComboBox8 : ComboBox6)->currentIndex() > 0;
    int& workChoice = pcx ? work_.PcxChoice : work_.BmpChoice;
    bool& workCompressed = pcx ? work_.PcxCompression : work_.BmpCompression;
    if (choice == workChoice && compressed == workCompressed)
        return;
    workChoice = choice;
    workCompressed = compressed;
    showNote(pcx ? iopgPCX : iopgBMP);
    changed();
}

void TfIOPreviews::PngChange()
{
    if (!ready_)
        return;
    const int choice = std::max(0, ComboBox10->currentIndex());
    const int filter = std::max(0, ComboBox11->currentIndex());
    const int level = std::max(0, ComboBox12->currentIndex());
    const bool interlaced = CheckBox6->isChecked();
    if (choice == work_.PngChoice && filter == work_.PngFilter && level == work_.PngCompression &&
        interlaced == work_.PngInterlaced)
        return;
    work_.PngChoice = choice;
    work_.PngFilter = filter;
    work_.PngCompression = level;
    work_.PngInterlaced = interlaced;
    showNote(iopgPNG);
    changed();
}

// ---- preview ------------------------------------------------------------------------------

void TfIOPreviews::ProgressHandler(int percent)
{
    ProgressBar1->setValue(Trunc(double(percent) / progressDivisor_) + progressOffset_);
}

void TfIOPreviews::guarded(const std::function<void()>& fn)
{
    // A writer's error is reported as the default handler would; the dialog stays
    // open with the previous result.
    TApplication::Guard(fn);
    ProgressBar1->setValue(0);
}

void TfIOPreviews::DoPreview(TImageKit* target)
{
    const int page = ActivePage();
    const int i = pageIndex(page);
    TBitmap* source = ImageKit1->Bitmap();
    if (i < 0 || !source || source->Empty())
        return;
    const TIOFileType type = FileTypeOfPage(page);
    const TCodec& codec = CodecOf(type);

    // The parameters a save would use once OK took this page's settings.
    TIOParamsVals& params = io_->Params();
    if (record_)
        params.Assign(*record_);
    work_.WritePage(page, params);
    const bool gifCoder = type != ioGIF || params.GifLzwCompress || DefaultLzwHooks().GifCompress;
    noCoder_ = !codec.Write || !codec.Read || !gifCoder;
    if (noCoder_) {
        CompressedSizes[size_t(i)]->setText(QString::fromLatin1(codec.Format) + QStringLiteral(" codec not available"));
        if (target == ImageKit2) {
            target->GetBitmap()->FreeImage();
            target->Update();
        }
        return;
    }

    // Written through the component's own save path, so that the bytes are the file's.
    TMemoryStream coded;
    progressOffset_ = 0;
    progressDivisor_ = 2;
    struct TAttached {
        TImageKitIO& io;
        ~TAttached() { io.SetAttachedBitmap(nullptr); }
    } attached{*io_};
    io_->SetAttachedBitmap(source);
    io_->SaveToStream(coded, type);
    CompressedSizes[size_t(i)]->setText(QString::number(coded.Size()) + QStringLiteral(" bytes"));

    // Read back as a load would: the result is what the file holds.
    coded.SetPosition(0);
    TIOParamsVals readParams;
    readParams.JpegDctMethod = uint8_t(work_.JpegDctMethod);
    TProgressRec rec;
    rec.fOnProgress = io_->OnProgress;
    rec.Sender = io_.get();
    progressOffset_ = 50;
    TBitmap decoded;
    codec.Read(coded, decoded, readParams, rec);
    previewMap_ = readParams.ColorMap;
    ProgressBar1->setValue(0);
    progressOffset_ = 0;

    target->GetBitmap()->Assign(decoded);
    if (target == ImageKit2) {
        syncResultView();
    } else {
        target->Update();
    }
}

void TfIOPreviews::syncResultView()
{
    ImageKit2->LockUpdate();
    ImageKit2->SetZoom(ImageKit1->Zoom());
    ImageKit2->SetViewXY(ImageKit1->ViewX(), ImageKit1->ViewY());
    ImageKit2->UnlockUpdate();
}

void TfIOPreviews::Button6Click()
{
    guarded([this] {
        DoPreview(ImageKit1);
        ImageKit1->Update();
        DoPreview(ImageKit2);
    });
}

// ---- colour panels --------------------------------------------------------------------------

void TfIOPreviews::PanelClick(QPushButton* panel)
{
    TIORGB* color = panel == Panel3 ? &work_.GifTransparentColor
                  : panel == Panel4 ? &work_.GifBackground
                  : panel == Panel1 ? &work_.PngBackground
                                    : nullptr;
    if (!color)
        return;
    // GIF: 2^bits entries; PNG: 2^(bits × samples); never more than the palette holds,
    // and true colour picks from the colour dialog.
    int bits = work_.GifBits;
    if (panel == Panel1) {
        const TDepth d = DepthOfChoice(iopgPNG, work_.PngChoice);
        bits = d.bits * d.samples;
    }
    TColor chosen = IORGBToColor(*color);
    bool picked = false;
    if (!previewMap_.empty() && bits <= 8) {
        const int count = std::min(1 << bits, int(previewMap_.size()));
        std::vector<TColor> entries;
        for (int k = 0; k < count; ++k)
            entries.push_back(IORGBToColor(previewMap_[size_t(k)]));
        if (PickFromPalette) {
            picked = PickFromPalette(entries, chosen);
        } else {
            TImageKitPaletteDialog d(this);
            d.SetPalette(entries, count);
            d.CancelButton()->setText(paletteCancel_);
            picked = d.Execute();
            if (picked)
                chosen = d.ChosenColor();
        }
    } else if (PickColor) {
        picked = PickColor(chosen);
    } else {
        const QColor c = QColorDialog::getColor(ToQColor(chosen), this);
        picked = c.isValid();
        if (picked)
            chosen = RGB(c.red(), c.green(), c.blue());
    }
    if (!picked)
        return;
    *color = ColorToIORGB(chosen);
    paintPanel(panel, *color);
}

// ---- OK ---------------------------------------------------------------------------------------

void TfIOPreviews::Button1Click()
{
    if (record_)
        work_.WritePage(ActivePage(), *record_);
    accept();
}

// ---- the opener -------------------------------------------------------------------------------

bool RunIOPreviews(TImageKitIO& io, int pages)
{
    TBitmap* bitmap = io.Bitmap();
    if (!bitmap)
        return false;
    TfIOPreviews form(QApplication::activeWindow());
    form.SetLockPreviewDefault((io.PreviewsParams & ioppDefaultLockPreview) != 0);
    form.SetParams(&io.Params());
    form.SetLanguage(io.MsgLanguage);
    form.setFont(io.PreviewFont.toQFont());
    form.ImageKit1->GetBitmap()->Assign(*bitmap);
    form.ImageKit1->Update();
    if (!form.SetPages(pages))
        return false;
    return form.exec() == QDialog::Accepted;
}
