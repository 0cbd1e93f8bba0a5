// Shared pieces of the reader harnesses. A harness hands the bytes to one reader the way
// the program does and swallows only the system's own refusals (Exception and below):
// anything else, a sanitizer report, a crash or a runaway allocation, is a finding.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <functional>

class TStream;
class TBitmap;
class TIOParamsVals;
struct TProgressRec;

namespace fuzz {

// The readers draw text and build images: a GUI application (offscreen) must exist.
void EnsureApplication();

QByteArray Bytes(const uint8_t* data, size_t size);

// Runs one codec reader over the bytes in a memory stream, with fresh parameters.
using TStreamReader = void (*)(TStream&, TBitmap&, TIOParamsVals&, TProgressRec&);
void ReadCodec(const uint8_t* data, size_t size, TStreamReader reader);

// Loads a metafile and renders it at its own size, as the input/output component does.
void RenderMetafile(const uint8_t* data, size_t size);

// Runs body and swallows the system's own exceptions.
void Refusable(const std::function<void()>& body);

// Saves the bitmap through the input/output component in every format it can write,
// each into a memory stream with its own copy of the parameters. Writers take memory
// by the picture's size, not the file's: larger pictures than kMaxSavedPixels are not
// saved (what a reader made of a few bytes is bounded by the reader's own rules).
constexpr int64_t kMaxSavedPixels = int64_t(1) << 16;
void SaveEveryFormat(const TBitmap& bitmap, const TIOParamsVals& params);

// A small picture of a few colours, 24-bit or 1-bit, for the writers to chew on.
void SamplePicture(TBitmap& bitmap, bool mono);

}  // namespace fuzz
