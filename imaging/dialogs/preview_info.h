// The texts that describe a previewed file.
#pragma once
#include "imaging/common/types.h"

#include <QString>
#include <cstdint>

class TIOParamsVals;

// The five lines that describe a previewed file.
struct TPreviewInfoTexts {
    QString PicLabel1;   // size (and frames)
    QString PicLabel2;   // colours
    QString PicLabel3;   // resolution
    QString InfoLabel1;  // format
    QString InfoLabel2;  // file size and memory
};

// Bytes the image takes in memory: rows of 1 bit for one 1-bit sample, else of 24 bits,
// padded to 32 bits, times height and frames. 64-bit, so that large images do not wrap.
int64_t PreviewMemoryBytes(int width, int height, int bitsPerSample, int samplesPerPixel, int frames);
// "2^bits Colors (bits bit)" in the given language.
QString PreviewColorsText(int bitsPerSample, int samplesPerPixel, TMsgLanguage language);
TPreviewInfoTexts PreviewInfo(const TIOParamsVals& params, int64_t fileSize, int frames, TMsgLanguage language);
