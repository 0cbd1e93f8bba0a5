// The describing lines of a previewed file: size, colours, resolution and memory.
#include "imaging/dialogs/preview_info.h"

#include "imaging/common/msg_tables.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"

int64_t PreviewMemoryBytes(int width, int height, int bitsPerSample, int samplesPerPixel, int frames)
{
    const int64_t b = (bitsPerSample == 1 && samplesPerPixel == 1) ? 1 : 24;
    const int64_t rowBytes = (b * std::max(width, 0) + 31) / 32 * 4;
    return rowBytes * std::max(height, 0) * std::max(frames, 0);
}

QString PreviewColorsText(int bitsPerSample, int samplesPerPixel, TMsgLanguage language)
{
    const int64_t bits = int64_t(bitsPerSample) * samplesPerPixel;
    // Up to 63 bits the count is exact; past that only the power can be written.
    const QString count = (bits >= 0 && bits < 64) ? QString::number(uint64_t(1) << bits)
                                                   : QStringLiteral("2^%1").arg(bits);
    return count + u' ' + LabelText(LabelMsg::Colors, language) + QStringLiteral(" (%1 bit)").arg(bits);
}

TPreviewInfoTexts PreviewInfo(const TIOParamsVals& p, int64_t fileSize, int frames, TMsgLanguage language)
{
    TPreviewInfoTexts t;
    t.PicLabel1 = QStringLiteral("%1 x %2 pixel").arg(p.Width).arg(p.Height);
    if (frames > 1)
        t.PicLabel1 += QStringLiteral(" , %1 frames").arg(frames);
    t.PicLabel3 = QStringLiteral("%1 x %2 dpi").arg(p.DpiX).arg(p.DpiY);
    t.PicLabel2 = PreviewColorsText(p.BitsPerSample, p.SamplesPerPixel, language);
    const int64_t mem = PreviewMemoryBytes(p.Width, p.Height, p.BitsPerSample, p.SamplesPerPixel, frames);
    t.InfoLabel2 = QStringLiteral("File: %1 Kb   Mem: %2 Kb").arg(fileSize / 1024).arg(mem / 1024);
    t.InfoLabel1 = TImageKitIO::GetFormatDescription(p);
    return t;
}
