// Enumerations and events shared across the image library.
#pragma once
#include "platform/core/events.h"

#include <cstdint>
#include <functional>

// Shared enumerations and events of the image library.

enum TResampleFilter { rfNone, rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell };

enum TMsgLanguage { msEnglish, msItalian, msGerman, msSpanish, msFrench };

// The most pixels any of the readers takes (JPEG and PNG; the others stop at half of
// it): no operation makes an image larger, so that every saved image opens again.
constexpr int64_t kMaxReadablePixels = int64_t(1) << 29;

// Progress of a codec or processing operation: sender and a percentage 0 … 100.
using TProgressEvent = std::function<void(TObject* Sender, int percent)>;
