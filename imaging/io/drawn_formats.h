#pragma once
// Formats that the platform draws rather than the image library decodes: Windows
// metafiles (placeable WMF and EMF), icons and cursors.

#include "platform/core/color.h"

#include <QImage>

class TStream;
class TIOParamsVals;
struct TCodec;

// Their entries of the codec table.
extern const TCodec kIcoCodec;
extern const TCodec kCurCodec;
extern const TCodec kWmfCodec;
extern const TCodec kEmfCodec;

// The metafile at its own size less one pixel each way, drawn over `background`.
QImage RenderMetafile(TStream& stream, const TIOParamsVals& params, TColor background);
// The icon (cursor) entry nearest to IcoWidth × IcoHeight (CurWidth × CurHeight), drawn
// at that size with its mask; transparent parts stay white like a new bitmap.
QImage RenderIcon(TStream& stream, const TIOParamsVals& params, TColor background);
QImage RenderCursor(TStream& stream, const TIOParamsVals& params, TColor background);
