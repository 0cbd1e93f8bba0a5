// The catalog window's file: loading a ".pca" file and writing it.
#include "app/catalog/catalog_file.h"
#include "app/catalog/catalog_window.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "controls/grid/kit_draw_grid.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/file_dialogs.h"

#include <QFileInfo>
#include <algorithm>

void Tkataform::addEntryFromRecord(TCatalogRecord&& record)
{
    TMemoryStream data(record.Thumbnail);
    TBitmap* bmp = workKit->Bitmap();
    bmp->SetSize(0, 0);
    // The record's own frame has been read; the component sees the bare PCX data.
    workKit->SetStreamHeaders(false);
    workKit->LoadFromStreamPCX(data);
    TCatalogItem item;
    item.Text = std::move(record.Text);
    item.Thumb.Assign(*bmp);
    item.Thumb.SetPixelFormat(pf24bit);
    // A thumbnail of another size is shown at the size every cell expects.
    if (item.Thumb.Width() != ThumbSize || item.Thumb.Height() != ThumbSize)
        item.Thumb.SetSize(ThumbSize, ThumbSize);
    item.Pcx = std::move(record.Thumbnail);
    Items.push_back(std::move(item));
}

void Tkataform::loadCatalog(const QString& fileName)
{
    // A large catalog takes a while: the events run between the records, the bar follows
    // the bytes read, and Escape (or closing the window) keeps the entries read so far.
    struct TStopped {};
    const TBusyScope busy(*this);
    Aborting = false;
    try {
        TFileStream in(fileName, fmOpenRead | fmShareDenyWrite);
        const int64_t size = std::max<int64_t>(1, in.Size());
        ReadCatalogRecords(in, [&](TCatalogRecord&& r) {
            addEntryFromRecord(std::move(r));
            showProgress(workKit, int(in.Position() * 100 / size));
            TApplication::ProcessMessages();
            if (Aborting)
                throw TStopped{};
        });
    } catch (const TStopped&) {
    } catch (...) {
        resetProgress();
        reorder();
        throw;
    }
    resetProgress();
    reorder();
}

QByteArray Tkataform::encodeThumb(const TBitmap& thumb)
{
    workKit->IOParams().SetDefaultParams();
    workKit->IOParams().PcxCompression = 1;
    TBitmap* bmp = workKit->Bitmap();
    bmp->Assign(thumb);
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(ThumbSize, ThumbSize);
    workKit->SetStreamHeaders(false);
    TMemoryStream out;
    workKit->SaveToStreamPCX(out);
    if (out.Size() == 0)
        throw EWriteError(QStringLiteral("The thumbnail could not be written"));
    return out.Bytes();
}

void Tkataform::saveCatalogTo(const QString& fileName)
{
    // Thumbnails read from a file go back as they were read; new ones are encoded once.
    std::vector<QByteArray> pcx;
    pcx.reserve(Items.size());
    for (const TCatalogItem& item : Items)
        pcx.push_back(item.Pcx.isEmpty() ? encodeThumb(item.Thumb) : item.Pcx);
    TSafeFileStream out(fileName);
    for (size_t i = 0; i < Items.size(); ++i) {
        WriteCatalogRecord(out, TCatalogRecord{Items[i].Text, pcx[i]});
        resetProgress();
    }
    out.Commit();
    for (size_t i = 0; i < Items.size(); ++i)
        Items[i].Pcx = pcx[i];
    Modified = false;
    setWindowTitle(fileName);
}

bool Tkataform::saveCatalogClicked()
{
    // An untitled catalog has no file yet: a relative name would land in the working
    // directory, beside the program.
    if (IsUntitledCaption(windowTitle()) || !QFileInfo(windowTitle()).isAbsolute())
        return saveCatalogAsClicked();
    try {
        saveCatalogTo(windowTitle());
    } catch (const std::exception& e) {
        TApplication::HandleException(e);
        return false;
    }
    return true;
}

bool Tkataform::saveCatalogAsClicked()
{
    TOpenDialog dlg(this, fdSave);
    dlg.Title = TranslatedCaption(QStringLiteral("Katalog speichern als"));
    dlg.Filter = TranslatedText(QStringLiteral("Katalog (PCA)")) + QStringLiteral("|*.pca|") +
                 TranslatedText(QStringLiteral("Alle Dateien")) + QStringLiteral("|*.*");
    dlg.DefaultExt = QStringLiteral("pca");
    dlg.InitialDir = StartFolder(main_->Options().lastdir);
    if (!dlg.Execute() || dlg.FileName.isEmpty())
        return false;
    main_->Options().lastdir = AddTrailingBackslash(QFileInfo(dlg.FileName).absolutePath());
    try {
        saveCatalogTo(dlg.FileName);
    } catch (const std::exception& e) {
        TApplication::HandleException(e);
        return false;
    }
    return true;
}
