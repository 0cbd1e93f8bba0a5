// The formats the input/output component knows, one entry each. The component chooses
// an entry by the file name's extension (contents are never sniffed) and finds there
// everything it needs to load and save that format: a new format is one folder beside
// this file that defines its entry, and one line in codec_table.cpp's list, never a new
// branch in the component.
#pragma once

#include "imaging/io/io_params.h"
#include "imaging/io/param_pages.h"

#include <QImage>
#include <QString>
#include <cstdint>

class TStream;
class TBitmap;

// Reads one image at the stream's position; returns how many images the file holds.
using TCodecReader = int (*)(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
// Writes the bitmap at the stream's position.
using TCodecWriter = void (*)(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
// Formats that are drawn rather than decoded (metafiles, icons, cursors): the picture at
// the size the format asks for, drawn over `background`.
using TCodecRenderer = QImage (*)(TStream& stream, const TIOParamsVals& params, TColor background);

struct TCodec {
    TIOFileType FileType = ioUnknown;
    const char* Extensions[2] = {};  // lower case, without the dot
    const char* Name = "";           // the format's name in descriptions
    // What GetFormatDescription adds to the name; nullptr: the name alone.
    QString (*DescriptionSuffix)(const TIOParamsVals& params) = nullptr;
    // The format in the load errors: "unrecognized <Format>".
    const char* Format = "";

    // Reading: by a reader, or by drawing. A format with neither has no reader in this
    // build and refuses every file.
    TCodecReader Read = nullptr;
    TCodecRenderer Render = nullptr;
    // The component's background colour handed to the reader before reading and taken
    // back from the parameters afterwards (nullptr: the reader does not use it).
    void (*BackgroundIn)(TIOParamsVals& params, TColor background) = nullptr;
    TColor (*BackgroundOut)(const TIOParamsVals& params) = nullptr;

    // Saving: a format without a writer of its own is saved as a Windows bitmap. One
    // with a writer of its own that is missing in this build refuses to save.
    bool OwnWriter = false;
    TCodecWriter Write = nullptr;
    // Whether the writer can run now (a coder it needs may be missing); nullptr: always.
    bool (*WriterReady)() = nullptr;
    // The 12-byte header in front of stream saves while StreamHeaders is on (nullptr:
    // never), and whether an aborted save still gets its length filled in.
    const char* StreamTag = nullptr;
    bool TagAfterAbort = false;
    // The largest resolution, in dots per inch, that the writer's file can hold.
    int MaxDpi = INT32_MAX;

    // The format parameter dialog's page of the format (TIOPreviewsPage; 0: none), and
    // the format's place in the save dialog's list of formats (from 1; 0: not offered).
    int ParamPage = 0;
    int SaveFilterIndex = 0;
};

// Files that store pixels per metre in 31 bits (PNG, BMP) hold this much: what their
// readers give for the largest count, so that such a file can be saved back.
constexpr int kMaxPpmDpi = 54546085;

// For the entries' DescriptionSuffix: table[value], or nothing for a value beyond it.
QString CodecSuffixOf(const char* const* table, int count, int value);

// The entry for a file name, by its extension alone; nullptr when no format has it.
const TCodec* CodecForFileName(const QString& fileName);
// The entry of a file type; nullptr for ioUnknown and values beyond the table.
const TCodec* CodecForType(int fileType);
// The entry of a file type the table has.
inline const TCodec& CodecOf(TIOFileType fileType) { return *CodecForType(fileType); }
// The writer's entry of a file save: the name's own when it has a writer, else BMP's.
const TCodec& SaveCodecForFileName(const QString& fileName);

// The entry of a format the save dialog offers whose extension ends the file name;
// nullptr for any other name.
const TCodec* SaveDialogCodecForFileName(const QString& fileName);

// Whether files of this format can be written now.
bool CanWrite(const TCodec& codec);

// A refused file load's message, "unrecognized <Format>"; the reader's own words go before it.
QString Refusal(const TCodec& codec);
// "<Format> codec not available" for entries without a reader or writer.
[[noreturn]] void RefuseUnavailable(const TCodec& codec);
