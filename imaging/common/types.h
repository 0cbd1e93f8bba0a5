// Enumerations and events shared across the image library.
#pragma once
#include "platform/core/events.h"

#include <functional>

// Shared enumerations and events of the image library.

enum TResampleFilter { rfNone, rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell };

enum TMsgLanguage { msEnglish, msItalian, msGerman, msSpanish, msFrench };

// Progress of a codec or processing operation: sender and a percentage 0 … 100.
using TProgressEvent = std::function<void(TObject* Sender, int percent)>;
