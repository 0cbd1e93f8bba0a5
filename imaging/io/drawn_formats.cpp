// Icons, cursors and metafiles drawn at the size asked for, and their codec entries.
#include "imaging/io/drawn_formats.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/io_params.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/metafile.h"

#include <QPainter>

namespace {

// Drawing sizes are bounded like every bitmap a file can ask for.
constexpr int64_t kMaxDrawnPixels = int64_t(1) << 28;

QImage newImage(int w, int h, const char* what)
{
    QImage img(w, h, QImage::Format_BGR888);
    if (img.isNull())
        throw EOutOfMemory(QStringLiteral("Not enough memory for the %1").arg(QLatin1String(what)));
    return img;
}

QImage renderIcon(TStream& stream, int w, int h)
{
    if (w <= 0 || h <= 0 || w > kMaxIconSide || h > kMaxIconSide)
        throw EInvalidGraphic(QStringLiteral("requested icon size out of range"));
    TIcon icon;
    icon.SetRequestedSize(w, h);
    icon.LoadFromStream(stream);
    QImage img = newImage(w, h, "icon");
    img.fill(Qt::white);
    QPainter p(&img);
    icon.Draw(p, TRect(0, 0, w, h));
    return img;
}

}  // namespace

QImage RenderMetafile(TStream& stream, const TIOParamsVals&, TColor background)
{
    TMetafile mf;
    mf.LoadFromStream(stream);
    const int w = mf.Width() - 1, h = mf.Height() - 1;
    if (w <= 0 || h <= 0 || int64_t(w) * h > kMaxDrawnPixels)
        throw EInvalidGraphic(QStringLiteral("metafile size out of range"));
    QImage img = newImage(w, h, "metafile");
    img.fill(ToQColor(background));
    QPainter p(&img);
    mf.Draw(p, TRect(0, 0, mf.Width(), mf.Height()));
    return img;
}

QImage RenderIcon(TStream& stream, const TIOParamsVals& params, TColor)
{
    return renderIcon(stream, params.IcoWidth, params.IcoHeight);
}

QImage RenderCursor(TStream& stream, const TIOParamsVals& params, TColor)
{
    return renderIcon(stream, params.CurWidth, params.CurHeight);
}

constexpr TCodec kIcoCodec = {
    .FileType = ioICO, .Extensions = {"ico"}, .Name = "Windows Icon (ICO)", .Format = "ICO", .Render = RenderIcon};
constexpr TCodec kCurCodec = {
    .FileType = ioCUR, .Extensions = {"cur"}, .Name = "Windows Cursor (CUR)", .Format = "CUR", .Render = RenderCursor};
constexpr TCodec kWmfCodec = {.FileType = ioWMF,
                              .Extensions = {"wmf"},
                              .Name = "Windows Metafile (WMF)",
                              .Format = "WMF or EMF",
                              .Render = RenderMetafile};
constexpr TCodec kEmfCodec = {.FileType = ioEMF,
                              .Extensions = {"emf"},
                              .Name = "Enhanced Windows Metafile (WMF)",
                              .Format = "WMF or EMF",
                              .Render = RenderMetafile};
