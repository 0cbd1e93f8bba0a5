#include "app/print/print_job.h"

#include "app/commands/command_record.h"
#include "app/forms/catalog_window.h"
#include "app/forms/child_window.h"
#include "app/forms/main_window.h"
#include "app/print/print_marks.h"
#include "app/text/language.h"
#include "imaging/kit/image_kit.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/print/printer.h"

#include <QDir>
#include <QPainter>
#include <QStatusBar>

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

void RenderPage(QPainter& painter, TCanvas& canvas, const TPagePlan& page, const TPageSources& sources)
{
    if (sources.Image)
        for (const TPagePlan::Picture& p : page.Pictures)
            DrawPicture(painter, p.Dest, *sources.Image, p.Source);
    if (sources.DrawCell)
        for (const TPagePlan::Cell& c : page.Cells)
            sources.DrawCell(canvas, c.Rect, c.Index);
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
}

namespace {

// Without a printer the print is a file; the user must learn which one.
void reportPdfFiles(Tform1& form, const QString& first, const QString& last)
{
    const QString files = QDir::toNativeSeparators(first) +
                          (last == first ? QString() : QStringLiteral(" … ") + QDir::toNativeSeparators(last));
    form.statusBar()->showMessage(LangText(QStringLiteral("Gedruckt in die Datei ") + files,
                                           QStringLiteral("Printed to the file ") + files));
}

} // namespace

void ExecutePrint(Tform1& form, Tchild* image, const tautomatitem& item)
{
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
    const tprintdialog& settings = form.options.printdialog;
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
    const TBitmap* bitmap = image ? image->ImageKit1->Bitmap() : nullptr;
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
    const std::vector<TPagePlan> pages = PlanPrint(r);
    if (pages.empty())
        return;

    const QString title = active->windowTitle();
    const uint8_t flags = settings.infoflags;
    const int fontSize = settings.fontsize;
    TPageSources sources;
    sources.Image = bitmap;
    if (catalog)
        sources.DrawCell = [catalog, flags, fontSize](TCanvas& c, const TRect& rect, int index) {
            c.Brush.Style = bsClear;
            if (index < catalog->Count())
                catalog->drawoncanvas(c, rect, flags, fontSize, index);
        };
    else
        sources.DrawInfo = [&form, title, flags, fontSize, bitmap](TCanvas& c, int x, int y) {
            extrainf(c, fontSize, form.options.katfontname, form.options.katfontstyle, title, flags, x, y,
                     bitmap->Width(), bitmap->Height());
        };

    printer.Title = title;
    printer.BeginDoc();
    const QString firstPdf = printer.LastPdfFile();
    try {
        for (size_t i = 0; i < pages.size(); ++i) {
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
            RenderPage(*printer.Painter(), canvas, pages[i], sources);
        }
        printer.EndDoc();
    } catch (...) {
        printer.Abort();
        throw;
    }
    if (printer.PdfOutput())
        reportPdfFiles(form, firstPdf, printer.LastPdfFile());
}
