// The rows of the library's caption tables and their lookup.
#pragma once
#include "imaging/common/types.h"

#include <QString>

// Captions of the library's own dialogs, one column per TMsgLanguage. A language value
// is read with its top bit cleared; anything outside the enumeration reads English.
// A row outside a table gives an empty text.

// Rows of the preview table (frames, buttons, the first effect pages).
namespace PreviewMsg {
enum : int { Preview, Source, Result, OK, Cancel, LockPreview, CopyResultToSource, Contrast, Brightness, Count };
}

// Rows of the dialog label table.
namespace LabelMsg {
enum : int {
    Hue,
    Saturation,
    Value,
    BaseColor,
    NewColor,
    Luminosity,
    Red,
    Green,
    Blue,
    UserFilter,
    FilterValues,
    Presets,
    Divisor,
    Load,
    Save,
    Equalization,
    Threshold,
    Equalize,
    Histogram,
    Gray,
    Light,
    Left,
    Top,
    Width,
    Height,
    Color,
    SourceImageQuantity,
    Lens,
    Refraction,
    ParametersPreview,
    Quality,
    DctMethod,
    SmoothingFactor,
    GrayScale,
    OptimalHuffman,
    OriginalSize,
    CompressedSize,
    Advanced,
    Progressive,
    Compression,
    ImageIndex,
    Photometric,
    ScannedDocumentInfo,
    Name,
    Description,
    PageName,
    PageNumber,
    Of,
    HorizPositionInch,
    VertPositionInch,
    Colors,
    Transparent,
    TransparentColor,
    Interlaced,
    Background,
    HorizPosition,
    VertPosition,
    DelayTime,
    Filter,
    Wave,
    Amplitude,
    WaveLength,
    Phase,
    Reflective,
    Count
};
}

constexpr int kMsgLanguages = 5;

// The column a language value reads.
int MsgColumn(int language);

QString PreviewText(int row, TMsgLanguage language);
QString LabelText(int row, TMsgLanguage language);
// Same, for a raw language value as stored in records.
QString PreviewText(int row, int language);
QString LabelText(int row, int language);
