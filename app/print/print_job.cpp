// Running a print: pages planned, pictures drawn, progress shown, PDF files reported.
#include "app/print/print_job.h"

#include "app/commands/command_record.h"
#include "app/services/catalog_view.h"
#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/options/options.h"
#include "app/print/print_marks.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/util/cancellable_work.h"
#include "imaging/kit/image_kit.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/print/printer.h"
#include "platform/ui/application.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QStatusBar>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <future>
#include <utility>

void DrawPicture(QPainter& painter, const TRect& dest, const TBitmap& bitmap, const TRect& source)
{
    if (dest.Width() <= 0 || dest.Height() <= 0 || bitmap.Empty())
        return;
    const QImage& img = bitmap.Image();
    const bool sharp = img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB ||
                       img.format() == QImage::Format_Indexed8;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !sharp);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const QRect target(dest.Left, dest.Top, dest.Width(), dest.Height());
    if (source.Width() <= 0 || source.Height() <= 0) {
        if (source == TRect())
            painter.drawImage(target, img);
    } else {
        painter.drawImage(target, img, QRect(source.Left, source.Top, source.Width(), source.Height()));
    }
    painter.restore();
}

bool RenderPage(QPainter& painter, TCanvas& canvas, const TPagePlan& page, const TPageSources& sources,
                const std::function<bool()>& step)
{
    if (sources.Image)
        for (const TPagePlan::Picture& p : page.Pictures) {
            DrawPicture(painter, p.Dest, *sources.Image, p.Source);
            if (step && !step())
                return false;
        }
    if (sources.DrawCell)
        for (const TPagePlan::Cell& c : page.Cells) {
            sources.DrawCell(canvas, c.Rect, c.Index);
            if (step && !step())
                return false;
        }
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Mode = pmCopy;
    for (const TCutSegment& s : page.Cuts) {
        canvas.MoveTo(s.From.X, s.From.Y);
        canvas.LineTo(s.To.X, s.To.Y);
    }
    if (page.Info && sources.DrawInfo)
        sources.DrawInfo(canvas, page.InfoAt.X, page.InfoAt.Y);
    return true;
}

namespace {

TPrintResult g_lastResult;

QString fileList(const QString& first, const QString& last)
{
    return QDir::toNativeSeparators(first) +
           (last == first ? QString() : QStringLiteral(" … ") + QDir::toNativeSeparators(last));
}

bool placesSomething(const TPrintRequest& r, const std::vector<TPagePlan>& pages)
{
    const TRect page(0, 0, r.PageWidth, r.PageHeight);
    for (const TPagePlan& p : pages) {
        if (!p.Cells.empty())
            return true;
        for (const TPagePlan::Picture& pic : p.Pictures) {
            const TRect d = pic.Dest;
            if (d.Left < page.Right && d.Right > page.Left && d.Top < page.Bottom && d.Bottom > page.Top &&
                d.Width() > 0 && d.Height() > 0)
                return true;
        }
    }
    return false;
}

TPrintCheck refused(const char* german, const char* english)
{
    return TPrintCheck{QString::fromUtf8(german), QString::fromUtf8(english), {}};
}

bool g_printing = false;

// Progress over the pictures and cells of a print. It is application-modal, so the
// windows the print draws from cannot be closed by the user meanwhile; one closed
// otherwise is noticed before the next piece is drawn.
class TPrintProgress {
public:
    TPrintProgress(QWidget* owner, int total, QWidget* source)
        : dialog_(LangText(QStringLiteral("Drucken ..."), QStringLiteral("Printing ...")),
                  LangText(QStringLiteral("Abbrechen"), QStringLiteral("Cancel")), 0, std::max(total, 1), owner),
          source_(source)
    {
        dialog_.setObjectName(QLatin1String(ObjectName::ProgressDialogs::PrintProgress));
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(kShowAfterMs);
        dialog_.setValue(0);
    }
    // False once the user cancelled or the source window has gone.
    bool Step()
    {
        // The dialog lets events run only once it shows.
        TApplication::KeepResponsive();
        dialog_.setValue(std::min(++done_, dialog_.maximum()));
        return !dialog_.wasCanceled() && SourceAlive();
    }
    bool SourceAlive() const
    {
        if (!source_)
            return false;
        auto* sub = qobject_cast<QMdiSubWindow*>(source_->parentWidget());
        return !sub || !sub->isHidden();
    }

    static constexpr int kShowAfterMs = 500;

private:
    const TWorkSurvivesCloses survives_;
    QProgressDialog dialog_;
    QPointer<QWidget> source_;
    int done_ = 0;
};

}  // namespace

TPrintRequest MakePrintRequest(int mode, int L, int T, int W, int H, const TBitmap* image, int catalogEntries,
                               bool cutLines)
{
    TPrinter& printer = Printer();
    TPrintRequest r;
    r.Mode = mode;
    r.L = L;
    r.T = T;
    r.W = W;
    r.H = H;
    r.PageWidth = printer.PageWidth();
    r.PageHeight = printer.PageHeight();
    r.ResX = printer.XResolution();
    r.ResY = printer.YResolution();
    r.CutLines = cutLines;
    if (image) {
        r.ImageWidth = image->Width();
        r.ImageHeight = image->Height();
    } else {
        r.Catalog = true;
        r.Entries = std::max(0, catalogEntries);
    }
    return r;
}

TPrintCheck CheckPrint(const TPrintRequest& r)
{
    if (!PrintRectangleValid(r.L, r.T, r.W, r.H))
        return refused("Der Druckbereich ist ungültig: Breite und Höhe müssen größer als 0 sein.",
                       "The print area is invalid: width and height must be greater than 0.");
    if (r.PageWidth <= 0 || r.PageHeight <= 0)
        return refused("Der Drucker meldet keinen druckbaren Bereich.", "The printer reports no printable area.");
    if (r.Mode == pmPoster && !r.Catalog &&
        int64_t(PosterPagesAcross(r.L, r.W, r.PageWidth)) * PosterPagesDown(r.T, r.H, r.PageHeight) > kMaxPosterPages)
        return refused("Das Poster braucht zu viele Seiten.", "The poster needs too many pages.");
    if (r.Mode == pmTiles && TileCount(r.L, r.T, r.W, r.H, r.PageWidth, r.PageHeight) > kMaxTilesPerPage) {
        const QString n = QString::number(kMaxTilesPerPage);
        return TPrintCheck{QStringLiteral("Die Kacheln sind zu klein: mehr als %1 passen auf eine Seite.").arg(n),
                           QStringLiteral("The tiles are too small: more than %1 fit on one page.").arg(n),
                           {}};
    }
    if (r.Catalog && r.Mode != pmTiles)
        return refused("Die Bilder eines Katalogs werden nur als Kacheln gedruckt.",
                       "The images of a catalog are printed as tiles only.");
    if (!r.Catalog && (r.ImageWidth <= 0 || r.ImageHeight <= 0))
        return refused("Das Bild ist leer; es gibt nichts zu drucken.",
                       "The image is empty; there is nothing to print.");
    TPrintCheck check;
    check.Pages = PlanPrint(r);
    if (!placesSomething(r, check.Pages)) {
        check.Pages.clear();
        if (r.Mode == pmTiles)
            return refused("Keine Kachel passt auf die Seite: Abstand und Größe zusammen sind größer als die Seite.",
                           "No tile fits on the page: margin and size together are larger than the page.");
        return refused("Das Bild liegt ganz außerhalb der Seite; es würde nichts gedruckt.",
                       "The image lies entirely outside the page; nothing would be printed.");
    }
    return check;
}

TPrintResult TakePrintResult() { return std::exchange(g_lastResult, TPrintResult()); }

void ReportPrint(TMainWindowServices& form, TPrintOutcome outcome, int copiesDone, int copiesAsked,
                 const QString& firstPdf, const QString& lastPdf)
{
    QString german, english;
    if (outcome == TPrintOutcome::Cancelled || outcome == TPrintOutcome::Failed) {
        const QString done = QString::number(copiesDone), asked = QString::number(copiesAsked);
        const bool cancelled = outcome == TPrintOutcome::Cancelled;
        german = (cancelled ? QStringLiteral("Druck abgebrochen") : QStringLiteral("Druck fehlgeschlagen")) +
                 QStringLiteral(" nach %1 von %2 Kopien. ").arg(done, asked);
        english = (cancelled ? QStringLiteral("Printing cancelled") : QStringLiteral("Printing failed")) +
                  QStringLiteral(" after %1 of %2 copies. ").arg(done, asked);
    }
    if (!firstPdf.isEmpty()) {
        const QString files = fileList(firstPdf, lastPdf);
        german += QStringLiteral("Gedruckt in die Datei ") + files;
        english += QStringLiteral("Printed to the file ") + files;
    } else if (Printer().PdfOutput() || outcome != TPrintOutcome::Printed) {
        if (copiesDone == 0) {
            german += QStringLiteral("Es wurde nichts gedruckt.");
            english += QStringLiteral("Nothing was printed.");
        }
    } else {
        german = QStringLiteral("Gedruckt auf ") + Printer().PrinterName();
        english = QStringLiteral("Printed on ") + Printer().PrinterName();
    }
    form.ShowStatus(LangText(german.trimmed(), english.trimmed()));
}

void ExecutePrint(TMainWindowServices& form, Tchild* image, const tautomatitem& item)
{
    g_lastResult = TPrintResult();
    if (g_printing)
        return;
    const int L = item.Arg(1), T = item.Arg(2), W = item.Arg(3), H = item.Arg(4);
    const int mode = item.Arg(5);
    const bool jobPerPage = item.ArgByte() != 0;
    QWidget* active = form.ActiveMDIChild();
    TCatalogView* catalog = CatalogViewOf(active);
    if (!image && !catalog)
        return;
    const tprintdialog& settings = form.Options().printdialog;
    TPrinter& printer = Printer();
    const TBitmap* bitmap = image ? image->imageKit->Bitmap() : nullptr;
    const TPrintRequest r =
        MakePrintRequest(mode, L, T, W, H, bitmap, catalog ? catalog->Count() : 0, settings.cutlines != 0);
    TPrintCheck check = CheckPrint(r);
    if (!check.Ok()) {
        LangMessageDlg(check.German, mtError, mbOK, check.English);
        return;
    }
    const std::vector<TPagePlan> pages = std::move(check.Pages);
    g_printing = true;
    struct Done {
        ~Done() { g_printing = false; }
    } done;
    size_t pieces = 0;
    for (const TPagePlan& page : pages)
        pieces += page.Pictures.size() + page.Cells.size() + 1;

    const QString title = active->windowTitle();
    const uint8_t flags = settings.infoflags;
    const int fontSize = settings.fontsize;
    TPageSources sources;
    sources.Image = bitmap;
    // Every tile has the same size in printer pixels: the image is brought to it once,
    // rather than each tile carrying (and the spooler compressing) the whole image.
    TBitmap tile;
    if (bitmap && mode == pmTiles && W < bitmap->Width() && H < bitmap->Height() && pages.front().Pictures.size() > 1) {
        const Qt::TransformationMode how = bitmap->PixelFormat() == pf24bit ? Qt::SmoothTransformation
                                                                            : Qt::FastTransformation;
        // A large image takes a moment: it is scaled on a worker while the window's events
        // run. Input waits meanwhile, and a close waits until the print has ended.
        auto scaled = std::async(std::launch::async, [image = bitmap->Image(), W, H, how] {
            return image.scaled(W, H, Qt::IgnoreAspectRatio, how);
        });
        while (scaled.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            TApplication::KeepResponsive();
        tile.SetImage(scaled.get());
        sources.Image = &tile;
    }
    if (catalog)
        sources.DrawCell = [catalog, flags, fontSize](TCanvas& c, const TRect& rect, int index) {
            c.Brush.Style = bsClear;
            if (index < catalog->Count())
                catalog->drawEntry(c, rect, flags, fontSize, index);
        };
    else
        sources.DrawInfo = [&form, title, flags, fontSize, bitmap](TCanvas& c, int x, int y) {
            drawFileInfo(c, fontSize, form.Options().katfontname, form.Options().katfontstyle, title, flags, x, y,
                         bitmap->Width(), bitmap->Height());
        };

    printer.Title = title;
    TPrintProgress progress(form.Window(), int(std::min<size_t>(pieces, size_t(INT32_MAX))), active);
    const auto step = [&progress] { return progress.Step(); };
    bool stopped = false;
    // The files finished so far: with a job per page, a cancel keeps the pages done.
    QString firstDone, lastDone;
    auto endJob = [&] {
        printer.EndDoc();
        if (printer.PdfOutput()) {
            if (firstDone.isEmpty())
                firstDone = printer.LastPdfFile();
            lastDone = printer.LastPdfFile();
        }
    };
    g_lastResult.Outcome = TPrintOutcome::Failed;
    printer.BeginDoc();
    try {
        for (size_t i = 0; i < pages.size() && !stopped; ++i) {
            if (i > 0) {
                if (jobPerPage) {
                    endJob();
                    printer.BeginDoc();
                } else {
                    printer.NewPage();
                }
            }
            TCanvas& canvas = *printer.Canvas();
            canvas.Font.PixelsPerInch = printer.YResolution();
            stopped = !RenderPage(*printer.Painter(), canvas, pages[i], sources, step) || !step();
        }
        if (stopped)
            printer.Abort();
        else
            endJob();
    } catch (...) {
        printer.Abort();
        g_lastResult.FirstPdf = firstDone;
        g_lastResult.LastPdf = lastDone;
        throw;
    }
    g_lastResult = TPrintResult{stopped ? TPrintOutcome::Cancelled : TPrintOutcome::Printed, firstDone, lastDone};
    ReportPrint(form, g_lastResult.Outcome, stopped ? 0 : 1, 1, firstDone, lastDone);
    if (stopped && !progress.SourceAlive())
        LangMessageDlg(QStringLiteral(
                           "Das Fenster wurde während des Druckens geschlossen; der Druck wurde abgebrochen."),
                       mtWarning, mbOK,
                       QStringLiteral("The window was closed while printing; the print was cancelled."));
}
