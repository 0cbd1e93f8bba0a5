// Running a print: pages planned, pictures drawn, progress shown, PDF files reported.
#include "app/print/print_job.h"

#include "app/commands/command_record.h"
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/options/options.h"
#include "app/print/print_marks.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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
#include <cstdint>

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

// Without a printer the print is a file; the user must learn which one.
void reportPdfFiles(TMainWindowServices& form, const QString& first, const QString& last)
{
    const QString files = QDir::toNativeSeparators(first) +
                          (last == first ? QString() : QStringLiteral(" … ") + QDir::toNativeSeparators(last));
    form.ShowStatus(
        LangText(QStringLiteral("Gedruckt in die Datei ") + files, QStringLiteral("Printed to the file ") + files));
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
    QProgressDialog dialog_;
    QPointer<QWidget> source_;
    int done_ = 0;
};

}  // namespace

void ExecutePrint(TMainWindowServices& form, Tchild* image, const tautomatitem& item)
{
    if (g_printing)
        return;
    const int L = item.Arg(1), T = item.Arg(2), W = item.Arg(3), H = item.Arg(4);
    const int mode = item.Arg(5);
    const bool jobPerPage = item.ArgByte() != 0;
    if (!PrintRectangleValid(L, T, W, H)) {
        LangMessageDlg(QStringLiteral("Der Druckbereich ist ungültig: Breite und Höhe müssen größer als 0 sein."),
                       mtError, mbOK,
                       QStringLiteral("The print area is invalid: width and height must be greater than 0."));
        return;
    }
    QWidget* active = form.ActiveMDIChild();
    auto* catalog = qobject_cast<Tkataform*>(active);
    if (!image && !catalog)
        return;
    const tprintdialog& settings = form.Options().printdialog;
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
    r.CutLines = settings.cutlines != 0;
    const TBitmap* bitmap = image ? image->imageKit->Bitmap() : nullptr;
    if (bitmap) {
        r.ImageWidth = bitmap->Width();
        r.ImageHeight = bitmap->Height();
    } else {
        r.Catalog = true;
        r.Entries = catalog->Count();
    }
    if (r.PageWidth <= 0 || r.PageHeight <= 0) {
        LangMessageDlg(QStringLiteral("Der Drucker meldet keinen druckbaren Bereich."), mtError, mbOK,
                       QStringLiteral("The printer reports no printable area."));
        return;
    }
    if (mode == pmPoster && !r.Catalog &&
        int64_t(PosterPagesAcross(L, W, r.PageWidth)) * PosterPagesDown(T, H, r.PageHeight) > kMaxPosterPages) {
        LangMessageDlg(QStringLiteral("Das Poster braucht zu viele Seiten."), mtError, mbOK,
                       QStringLiteral("The poster needs too many pages."));
        return;
    }
    if (mode == pmTiles && TileCount(L, T, W, H, r.PageWidth, r.PageHeight) > kMaxTilesPerPage) {
        LangMessageDlg(
            QStringLiteral("Die Kacheln sind zu klein: mehr als %1 passen auf eine Seite.").arg(kMaxTilesPerPage),
            mtError, mbOK,
            QStringLiteral("The tiles are too small: more than %1 fit on one page.").arg(kMaxTilesPerPage));
        return;
    }
    const std::vector<TPagePlan> pages = PlanPrint(r);
    if (pages.empty())
        return;
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
        const bool smooth = bitmap->PixelFormat() == pf24bit;
        tile.SetImage(bitmap->Image().scaled(W, H, Qt::IgnoreAspectRatio,
                                             smooth ? Qt::SmoothTransformation : Qt::FastTransformation));
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
    printer.BeginDoc();
    const QString firstPdf = printer.LastPdfFile();
    try {
        for (size_t i = 0; i < pages.size() && !stopped; ++i) {
            if (i > 0) {
                if (jobPerPage) {
                    printer.EndDoc();
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
            printer.EndDoc();
    } catch (...) {
        printer.Abort();
        throw;
    }
    if (printer.PdfOutput() && !stopped)
        reportPdfFiles(form, firstPdf, printer.LastPdfFile());
    if (stopped && !progress.SourceAlive())
        LangMessageDlg(QStringLiteral(
                           "Das Fenster wurde während des Druckens geschlossen; der Druck wurde abgebrochen."),
                       mtWarning, mbOK,
                       QStringLiteral("The window was closed while printing; the print was cancelled."));
}
