// Acquisition of one image from a scanner. Each call runs one whole conversation with
// the source manager, from loading it (state 2) through opening it (3), opening the
// default source (4), showing the source's dialog (5), a transfer being ready (6) and
// under way (7), and back down to nothing loaded (1). The image comes back as a packed
// DIB. Everything runs on the user-interface thread inside a local event loop.
#pragma once

#include "imaging/common/types.h"

#include <QByteArray>
#include <vector>

class QWidget;
class TScanSourceDialog;

// What the last transfer was: sizes as delivered, resolution in dots per inch.
struct TTwainImageInfo {
    double XResolution = 0;
    double YResolution = 0;
    int ImageWidth = 0;
    int ImageLength = 0;
    int SamplesPerPixel = 0;
    int BitsPerSample = 0;
    int BitsPerPixel = 0;
    int PixelType = 0;  // 0 black and white, 1 grey, 2 colour
};

// Shows the source's dialog and returns the packed DIB scanned, empty when the user
// closed the dialog without a scan. Without a parent a hidden proxy window stands in;
// only the parent is disabled meanwhile. The dialog stays above `owner`'s window (the
// parent's when none is given) while every window stays usable. In multiple mode a
// document feeder is read until it runs out; every page is kept (TwainImages) and the
// last is returned. Raises EInvalidGraphic, in the given language, when the
// conversation cannot be set up, or when an acquisition is already running (its dialog
// then comes to the front); the state is 1 again in every case.
QByteArray TwainAcquire(QWidget* parent, bool multiple, QWidget* owner = nullptr, TMsgLanguage language = msEnglish);
// True while an acquisition runs; its dialog, when up, is brought to the front.
bool TwainBringAcquisitionForward();
// Lists the scanners, with the dialog's texts in the given language; true when the user
// chose one, which becomes the default source.
bool TwainSelectSource(QWidget* parent, TMsgLanguage language = msEnglish);
// Drops the pages a multiple transfer kept; when none were kept, the given image.
void TwainFreeDIBs(QByteArray& image);
// The whole-number part of the last transfer's resolution.
int TwainGetXResolution();
int TwainGetYResolution();

int TwainState();
const std::vector<QByteArray>& TwainImages();
const std::vector<TTwainImageInfo>& TwainImageInfos();
const TTwainImageInfo& TwainLastImageInfo();
// The source's dialog while it is up (state 5 and above), else null.
TScanSourceDialog* TwainSourceDialog();
