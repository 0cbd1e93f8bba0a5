// The print dialog's preview: the counts, the panel size and the scaled page.
#include "app/services/catalog_view.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/print/print_dialog.h"
#include "app/print/print_job.h"
#include "app/print/print_marks.h"
#include "app/print/print_units.h"
#include "controls/edits/spin_edit.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"
#include "platform/graphics/canvas.h"
#include "platform/print/printer.h"
#include "platform/ui/application.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

void Tprintform::updatePaperSize()
{
    const int boxW = previewGroup->contentsRect().width() - 30;
    const int boxH = previewGroup->contentsRect().height() - 30;
    const int64_t spanX = int64_t(PageWidth()) * pagesAcross;
    const int64_t spanY = int64_t(PageHeight()) * pagesDown;
    int w = std::max(boxW, 1), h = std::max(boxH, 1);
    if (spanX > 0 && spanY > 0) {
        if (spanX > spanY)
            h = int(int64_t(boxH) * spanY / spanX);
        else
            w = int(int64_t(boxW) * spanX / spanY);
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    imageKit->setFixedSize(w, h);
    imageKit->Bitmap()->SetSize(w, h);
}

void Tprintform::updatePreview(bool force)
{
    const bool tiles = ModeButtons[pmTiles]->isChecked();
    for (int b : {5, 8, 6, 7, 1, 2, 3})
        RadioButton[size_t(b)]->setEnabled(!tiles);
    {
        const bool old = busy_;
        busy_ = true;
        if (tiles) {
            const int cols = TileColumns(left, width, PageWidth());
            const int rows = TileRows(top, height, PageHeight());
            columnsEdit->setEnabled(true);
            rowsEdit->setEnabled(true);
            columnsEdit->SetValue(cols);
            rowsEdit->SetValue(rows);
            pagesLabel->setText(PrintCountText(cols, rows, catalog_ ? catalog_->Count() : -1));
        } else {
            columnsEdit->setEnabled(false);
            rowsEdit->setEnabled(false);
            columnsEdit->SetValue(1);
            rowsEdit->SetValue(1);
            pagesLabel->setText(PrintCountText(1, 1, -1));
        }
        busy_ = old;
    }
    if (previewLockButton->isChecked() || force)
        drawPreview();
}

void Tprintform::drawPreview()
{
    if (drawing_)
        return;
    drawing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{drawing_};
    pagesAcross = pagesDown = 1;
    progressBar->setValue(0);
    const int pw = PageWidth(), ph = PageHeight();
    if (pw <= 0 || ph <= 0)
        return;
    const int m = mode();
    if (m == pmPoster) {
        pagesAcross = Round(left + width - 1) / pw + 1;
        pagesDown = Round(top + height - 1) / ph + 1;
        pagesAcross = std::clamp(pagesAcross, 1, 1000);
        pagesDown = std::clamp(pagesDown, 1, 1000);
    }
    updatePaperSize();
    TBitmap* bmp = imageKit->Bitmap();
    const int cw = bmp->Width(), ch = bmp->Height();
    const double sx = double(cw) / (double(pw) * pagesAcross);
    const double sy = double(ch) / (double(ph) * pagesDown);
    auto mapRect = [&](const TRect& r) {
        return TRect(Round(r.Left * sx), Round(r.Top * sy), Round(r.Right * sx), Round(r.Bottom * sy));
    };
    auto mapPoint = [&](const TPoint& p) { return TPoint(Round(p.X * sx), Round(p.Y * sy)); };
    const TRect printed(Round(left), Round(top), Round(left + width), Round(top + height));

    // The source, stretched into the scaled print rectangle on a white page. Tiles draw
    // it themselves: a grid that takes no tile shows an empty page, as it would print.
    bmp->Image().fill(Qt::white);
    const TBitmap* picture = source_;
    if (catalog_ && catalog_->Count() > 0)
        picture = &catalog_->Thumb(0);
    if (picture && m != pmTiles) {
        QPainter p(&bmp->Image());
        DrawPicture(p, mapRect(printed), *picture, TRect());
    }

    TCanvas& canvas = *bmp->Canvas();
    canvas.Font.PixelsPerInch = std::max(1, int(int64_t(Printer().YResolution()) * ch / (int64_t(ph) * pagesDown)));
    const uint8_t flags = infoFlags();
    const int fontSize = Round(fontSizeEdit->Value());
    const toptions& o = main_.Options();
    auto info = [&](const TPoint& at) {
        if (source_)
            drawFileInfo(canvas, fontSize, o.katfontname, o.katfontstyle, caption_, flags, at.X, at.Y, source_->Width(),
                         source_->Height());
    };
    const TPrintRequest r = MakePrintRequest(m, printed.Left, printed.Top, printed.Width(), printed.Height(), source_,
                                             catalog_ ? catalog_->Count() : 0, cutMarksCheck->isChecked());
    canvas.Pen = TPen();
    canvas.Brush.Style = bsClear;
    auto cuts = [&](const std::vector<TCutSegment>& segments) {
        for (const TCutSegment& s : segments) {
            const TPoint a = mapPoint(s.From), b = mapPoint(s.To);
            canvas.MoveTo(a.X, a.Y);
            canvas.LineTo(b.X, b.Y);
        }
    };
    if (!PrintRectangleValid(r.L, r.T, r.W, r.H)) {
        imageKit->Update();
        return;
    }
    if (m == pmTiles) {
        // The first page of the grid; a grid the print would refuse is not laid out.
        if (TileCount(r.L, r.T, r.W, r.H, pw, ph) > kMaxTilesPerPage) {
            imageKit->Update();
            return;
        }
        const std::vector<TPagePlan> pages = PlanPrint(r);
        const TPagePlan page = pages.empty() ? TPagePlan() : pages.front();
        const size_t cells = std::max(page.Pictures.size(), page.Cells.size());
        size_t done = 0;
        auto step = [&] {
            ++done;
            if (cells > 1) {
                const int v = int(done * 100 / (cells - 1));
                if (v <= 100)
                    progressBar->setValue(v);
            }
            TApplication::KeepResponsive();
        };
        if (source_ && !page.Pictures.empty()) {
            // Every tile has the same size: the source is scaled down once, not per tile.
            const TRect first = mapRect(page.Pictures.front().Dest);
            TBitmap tile;
            const TBitmap* drawn = source_;
            if (first.Width() > 0 && first.Height() > 0 && first.Width() < source_->Width() &&
                first.Height() < source_->Height()) {
                const bool smooth = source_->PixelFormat() == pf24bit;
                tile.SetImage(source_->Image().scaled(first.Width(), first.Height(), Qt::IgnoreAspectRatio,
                                                      smooth ? Qt::SmoothTransformation : Qt::FastTransformation));
                drawn = &tile;
            }
            QPainter p(&bmp->Image());
            for (const TPagePlan::Picture& pic : page.Pictures) {
                DrawPicture(p, mapRect(pic.Dest), *drawn, TRect());
                step();
            }
        }
        if (catalog_)
            for (const TPagePlan::Cell& c : page.Cells) {
                catalog_->drawEntry(canvas, mapRect(c.Rect), flags, fontSize, c.Index);
                step();
            }
        canvas.Pen = TPen();
        canvas.Brush.Style = bsClear;
        cuts(page.Cuts);
        if (page.Info)
            info(mapPoint(page.InfoAt));
    } else {
        info(mapPoint(TPoint(printed.Left, printed.Bottom)));
        if (m == pmPoster) {
            canvas.Pen.Color = clRed;
            const int fw = cw / pagesAcross, fh = ch / pagesDown;
            for (int c = 0; c < pagesAcross; ++c)
                for (int rr = 0; rr < pagesDown; ++rr) {
                    canvas.Brush.Style = bsClear;
                    canvas.Rectangle(c * fw, rr * fh, (c + 1) * fw, (rr + 1) * fh);
                }
            canvas.Pen = TPen();
        }
        if (r.CutLines)
            cuts(CutLineSegments(false, r.L, r.T, r.W, r.H, 0, 0, pw, ph, r.ResX, r.ResY));
        progressBar->setValue(100);
    }
    imageKit->Update();
}
