// The catalog window's entries: making thumbnails and adding, replacing, reloading,
// updating and removing entries.
#include "app/catalog/catalog_entry.h"
#include "app/catalog/catalog_window.h"
#include "app/util/decode_ahead.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "app/util/progress_throttle.h"
#include "controls/grid/kit_draw_grid.h"
#include "imaging/dialogs/open_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/geometry.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"

#include <QFileInfo>
#include <QSize>

#include <algorithm>
#include <functional>

namespace {
bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

// One file that could not be read ends nothing: the loops go on and name every such
// file once at the end.
class TSkippedFiles {
public:
    // Runs fn; a failure is noted (its message names the file) and false returned.
    bool Try(const std::function<void()>& fn)
    {
        try {
            fn();
            return true;
        } catch (const std::exception& e) {
            lines_ << TApplication::ExceptionText(e);
            return false;
        }
    }
    void Report(const QString& german, const QString& english) const
    {
        if (lines_.isEmpty())
            return;
        // A folder of broken files must not make a box taller than the screen.
        constexpr qsizetype kShown = 20;
        QString list = lines_.mid(0, kShown).join(QLatin1Char('\n'));
        QString more;
        if (lines_.size() > kShown)
            more = QStringLiteral("\n… (+%1)").arg(lines_.size() - kShown);
        LangMessageDlg(german + QStringLiteral("\n") + list + more, mtWarning, mbOK,
                       english + QStringLiteral("\n") + list + more);
    }

private:
    QStringList lines_;
};

// The thumbnail's sides for a picture of w × h: its longer side fills the square.
QSize thumbSides(int w, int h)
{
    constexpr int side = Tkataform::ThumbSize;
    if (h < w)
        return {side, std::max(1, Round(double(h) * side / w))};
    return {std::max(1, Round(double(w) * side / h)), side};
}

// Scales a picture decoded ahead, on its worker, as makeThumb scales one it loads: from
// the picture's own size, also when it was decoded reduced.
void scaleAhead(TDecodedPicture& picture)
{
    if (picture.Bitmap.Empty())
        return;
    picture.Bitmap.SetPixelFormat(pf24bit);
    const QSize side = thumbSides(picture.Params->Width, picture.Params->Height);
    Resample(picture.Bitmap, side.width(), side.height(), rfTriangle);
}

// Thumbnails decode reduced, a few files a worker ahead: they are small.
TDecodeAhead::TOptions thumbnailsAhead(int decodeSide, std::function<void(int)> progress)
{
    TDecodeAhead::TOptions options;
    options.minLongSide = decodeSide;
    options.aheadPerThread = 4;
    options.finish = scaleAhead;
    options.progress = std::move(progress);
    return options;
}

void reportNotReloaded(const TSkippedFiles& skipped)
{
    skipped.Report(QStringLiteral("Folgende Bilder konnten nicht neu geladen werden und blieben, wie sie waren:"),
                   QStringLiteral("The following images could not be reloaded and were left as they were:"));
}
}  // namespace

bool Tkataform::makeThumb(const QString& path, TBitmap& thumb, TCatalogEntry& entry, TDecodedPicture* decoded)
{
    if (!fileExists(path))
        return false;
    TBitmap* bmp = workKit->Bitmap();
    // A file of a type no reader knows loads nothing; it must not keep the previous
    // file's picture as its thumbnail.
    bmp->SetSize(0, 0);
    // A JPEG needs decoding only to a few times the thumbnail (the DCT's own scaling;
    // a photograph of 12 MP still goes to 1/8). From four times, the triangle filter's
    // unnormalised weights give all but the thumbnail of the full picture; from twice
    // they may not.
    TIOParamsVals& params = workKit->IOParams();
    params.JpegMinLongSide = kThumbDecodeSide;
    if (decoded) {
        CopyJpegReadResults(*decoded->Params, params);
        workKit->IO()->TakeDecoded(path, ioJPEG, decoded->Bitmap);
        decoded->Bitmap = TBitmap();
    } else {
        try {
            workKit->LoadFromFile(path);
        } catch (const EInvalidGraphic& e) {
            // The reader's own words ("unrecognized BMP") do not say which file it was.
            throw EInvalidGraphic(LangText(QStringLiteral("Kann Datei ") + path + QStringLiteral(" nicht laden: "),
                                           QStringLiteral("Can´t load file ") + path + QStringLiteral(": ")) +
                                  e.Message());
        }
    }
    entry.Path = path;
    entry.Time = FileTimeOf(path);
    entry.Size = QFileInfo(path).size();
    const bool reduced = !bmp->Empty() && params.FileType == ioJPEG;
    entry.Width = reduced ? params.Width : bmp->Width();
    entry.Height = reduced ? params.Height : bmp->Height();
    if (bmp->Empty()) {
        bmp->SetPixelFormat(pf24bit);
        bmp->SetSize(ThumbSize, ThumbSize);
        TCanvas* c = bmp->Canvas();
        c->Brush.Style = bsSolid;
        c->Brush.Color = workKit->Background();
        c->FillRect(TRect(0, 0, ThumbSize, ThumbSize));
    } else {
        bmp->SetPixelFormat(pf24bit);
        // The thumbnail's proportions come from the picture's own size, also when it
        // was decoded reduced (the reduced sides are rounded up).
        // A picture decoded ahead was scaled there too.
        if (!decoded) {
            quietProgress_ = true;
            struct TLoud {
                bool& quiet;
                ~TLoud() { quiet = false; }
            } loud{quietProgress_};
            const QSize side = thumbSides(entry.Width, entry.Height);
            workKit->Resample(side.width(), side.height(), rfTriangle);
        }
        workKit->ResizeCanvas(ThumbSize, ThumbSize);
    }
    thumb.Assign(*bmp);
    thumb.SetPixelFormat(pf24bit);
    return true;
}

TBitmap Tkataform::missingThumb()
{
    TBitmap* bmp = workKit->Bitmap();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(ThumbSize, ThumbSize);
    TCanvas* c = bmp->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = workKit->Background();
    c->FillRect(TRect(0, 0, ThumbSize, ThumbSize));
    c->TextOut(0, 0, QStringLiteral("?"));
    TBitmap thumb;
    thumb.Assign(*bmp);
    return thumb;
}

bool Tkataform::addEntryFromFile(const QString& path) { return addEntryFromFile(path, nullptr); }

bool Tkataform::addEntryFromFile(const QString& path, TDecodedPicture* decoded)
{
    TCatalogItem item;
    TCatalogEntry entry;
    if (!makeThumb(path, item.Thumb, entry, decoded))
        return false;
    item.Text = entry.Text();
    Items.push_back(std::move(item));
    resetProgress();
    TApplication::ProcessMessages();
    return true;
}

void Tkataform::replaceEntryFromFile(const QString& path, int index)
{
    if (index < 0 || index >= Count())
        return;
    TCatalogItem item;
    TCatalogEntry entry;
    if (makeThumb(path, item.Thumb, entry)) {
        item.Text = entry.Text();
    } else {
        item.Text = TCatalogEntry::Missing(path).Text();
        item.Thumb = missingThumb();
    }
    Items[size_t(index)] = std::move(item);
}

void Tkataform::AddFiles(const QStringList& files)
{
    const TBusyScope busy(*this);
    Modified = true;
    // Repainting the bar at each file's start and end and the grid after each file cost
    // a good part of a small file's thumbnail: the bar shows a few times a second, and
    // the new cells come with it; the rest shows once the add has ended (also by a fault).
    const TThrottledProgress::THold hold(main_->ProgressThrottle());
    struct TShowAdded {
        Tkataform& form;
        int shown;
        int shows = -1;
        void operator()()
        {
            form.reorderAfterAppend(shown);
            shown = form.Count();
        }
        ~TShowAdded() { (*this)(); }
    } showAdded{*this, Count()};
    // The next files are decoded and scaled ahead on worker threads; each is still added
    // here, in order, with the events handled and Escape tested after it.
    TDecodeAhead ahead(files, workKit->IOParams(),
                       thumbnailsAhead(kThumbDecodeSide, [this](int p) { showProgress(workKit, p); }));
    TSkippedFiles skipped;
    for (int i = 0; i < files.size(); ++i) {
        skipped.Try([&] { addEntryFromFile(files[i], ahead.Take(i)); });
        // A save while the events ran does not cover the entries added after it.
        Modified = true;
        if (const int shows = main_->ProgressThrottle() ? main_->ProgressThrottle()->ShowCount() : 0;
            shows != showAdded.shows) {
            showAdded.shows = shows;
            showAdded();
        }
        resetProgress();
        if (Aborting)
            break;
    }
    showAdded();
    skipped.Report(QStringLiteral("Folgende Dateien konnten nicht gelesen werden und wurden nicht hinzugefügt:"),
                   QStringLiteral("The following files could not be read and were not added:"));
}

void Tkataform::addFilesClicked()
{
    Aborting = false;
    TOpenImageKitDialog dlg(this);
    dlg.Options |= ofAllowMultiSelect | ofFileMustExist;
    dlg.Filter = main_->ImageFilterWithoutCatalogs();
    dlg.SetFilterIndex(9);
    dlg.Title = TranslatedCaption(QStringLiteral("Datei hinzufügen"));
    dlg.MsgLanguage = LibraryLanguage();
    dlg.SetInitialDir(StartFolder(main_->Options().lastdir));
    if (!dlg.Execute())
        return;
    main_->Options().lastdir = AddTrailingBackslash(QFileInfo(dlg.FileName()).absolutePath());
    AddFiles(dlg.Files);
}

void Tkataform::removeFilesClicked()
{
    TGridRect s;
    if (!selectedRange(s))
        return;
    if (LangMessageDlg(
            QStringLiteral("Sind Sie sicher, daß Sie die angegebenen Dateien aus dem Katalog entfernen möchten?"),
            mtConfirmation, mbOKCancel,
            QStringLiteral("Are you sure that you want to remove the selected files from the catalog?")) != mrOk)
        return;
    Modified = true;
    // From the last cell back, so that the indices still to visit stay valid.
    for (int r = s.Bottom; r >= s.Top; --r)
        for (int c = s.Right; c >= s.Left; --c)
            if (const int i = EntryAt(c, r); i >= 0)
                Items.erase(Items.begin() + i);
    // The cells under the old range now show other images: none of them is chosen, so
    // that a second remove cannot take images the user never picked.
    hasSelection_ = false;
    reorder();
}

void Tkataform::reloadImagesClicked(bool all)
{
    TGridRect s{0, 0, thumbGrid->ColCount() - 1, thumbGrid->RowCount() - 1};
    if (!all && !selectedRange(s))
        return;
    const TBusyScope busy(*this);
    Modified = true;
    Aborting = false;
    // Column by column, as the cells are visited; the files decode ahead as when added.
    std::vector<int> entries;
    QStringList paths;
    for (int c = s.Left; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r)
            if (const int i = EntryAt(c, r); i >= 0) {
                entries.push_back(i);
                paths << Path(i);
            }
    TDecodeAhead ahead(paths, workKit->IOParams(),
                       thumbnailsAhead(kThumbDecodeSide, [this](int p) { showProgress(workKit, p); }));
    TSkippedFiles skipped;
    for (size_t k = 0; k < entries.size() && !Aborting; ++k) {
        // Events run between the files: an entry removed meanwhile is not reloaded.
        const int i = entries[k];
        if (i >= Count() || Path(i) != paths[qsizetype(k)])
            continue;
        TCatalogEntry entry;
        TBitmap thumb;
        bool found = false;
        if (!skipped.Try([&] { found = makeThumb(paths[qsizetype(k)], thumb, entry, ahead.Take(int(k))); }))
            continue;
        if (!found)
            thumb = missingThumb();
        TCatalogItem& item = Items[size_t(i)];
        item.Thumb = std::move(thumb);
        item.Pcx.clear();
        Modified = true;
        resetProgress();
        reorder();
        TApplication::ProcessMessages();
    }
    reportNotReloaded(skipped);
}

void Tkataform::updateImagesClicked()
{
    const TBusyScope busy(*this);
    Modified = true;
    Aborting = false;
    // Only changed files cost time; the events run after each of them, and Escape (or a
    // close) leaves the rest as they are.
    TSkippedFiles skipped;
    for (int i = 0; i < Count() && !Aborting; ++i) {
        const TCatalogEntry e = Entry(i);
        if (fileExists(e.Path) && e.Time == FileTimeOf(e.Path))
            continue;
        skipped.Try([&] { replaceEntryFromFile(e.Path, i); });
        resetProgress();
        TApplication::ProcessMessages();
    }
    thumbGrid->InvalidateGrid();
    reportNotReloaded(skipped);
}

void Tkataform::removeMissingClicked()
{
    Modified = true;
    updateImagesClicked();
    std::erase_if(Items, [](const TCatalogItem& item) { return TCatalogEntry::FromText(item.Text).Time == 0; });
    reorder();
}

void Tkataform::selectAllClicked()
{
    hasSelection_ = true;
    thumbGrid->SetSelection(TGridRect{0, 0, thumbGrid->ColCount() - 1, thumbGrid->RowCount() - 1});
}

void Tkataform::AutoMaintain()
{
    const toptions& o = main_->Options();
    if (o.katautoremove)
        removeMissingClicked();
    else if (o.katautoupdate)
        updateImagesClicked();
}
