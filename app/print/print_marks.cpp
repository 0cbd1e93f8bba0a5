// Cut lines and information lines drawn beside a printed image.
#include "app/print/print_marks.h"

#include "app/util/file_stamps.h"
#include "app/print/print_layout.h"
#include "platform/core/rounding.h"
#include "platform/graphics/canvas.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>

void drawCutMarks(TCanvas& canvas, bool tiles, double X, double Y, double Wd, double Ht, double Lm, double Tm,
                  int pageWidth, int pageHeight, int resX, int resY)
{
    for (const TCutSegment& s : CutLineSegments(tiles, Round(X), Round(Y), Round(Wd), Round(Ht), Round(Lm), Round(Tm),
                                                pageWidth, pageHeight, resX, resY)) {
        canvas.MoveTo(s.From.X, s.From.Y);
        canvas.LineTo(s.To.X, s.To.Y);
    }
}

QStringList InfoLines(const QString& fileName, uint8_t flags, int imageWidth, int imageHeight)
{
    QStringList lines;
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists())
        return lines;
    if (flags & kfSize)
        lines << CatalogSizeText(info.size(), imageWidth, imageHeight);
    if (flags & kfDate) {
        const QString date = CatalogDateText(FileTimeOf(fileName));
        if (!date.isEmpty())
            lines << date;
    }
    if (flags & (kfName | kfPath)) {
        // The part after the last separator of either kind.
        const int cut = int(std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\'))));
        lines << ((flags & kfPath) ? fileName : fileName.mid(cut + 1));
    }
    return lines;
}

void drawFileInfo(TCanvas& canvas, int fontSize, const QString& fontName, int fontStyle, const QString& fileName,
                  uint8_t flags, double x, double y, int imageWidth, int imageHeight)
{
    const QStringList lines = InfoLines(fileName, flags, imageWidth, imageHeight);
    if (lines.isEmpty())
        return;
    if (!fontName.isEmpty())
        canvas.Font.Name = fontName;
    canvas.Font.Style = fontStyle;
    canvas.Font.Size = std::max(1, fontSize);
    const TBrushStyle brush = canvas.Brush.Style;
    canvas.Brush.Style = bsClear;
    y += 1;
    for (const QString& line : lines) {
        canvas.TextOut(Round(x), Round(y), line);
        y += canvas.TextHeight(QStringLiteral("Ä")) + 1;
    }
    canvas.Brush.Style = brush;
}
