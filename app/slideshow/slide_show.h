// The slide order, the resampling a show's scaling asks for and the slide comments.
#pragma once
#include "app/slideshow/slide_list.h"

#include <QString>

class TBitmap;

// Which entry a show plays next. Order 0 plays the list forwards, 1 backwards, both
// once or again and again with repeat; order 2 draws an entry at random each time
// and so never ends by itself.
class TSlideSequence {
public:
    TSlideSequence(int count, int order, bool repeat, TSlideRandom random);
    // −1 when the show is over.
    int Next();
    bool Finished() const { return finished_; }

private:
    int count_;
    int order_;
    bool repeat_;
    TSlideRandom random_;
    int played_ = 0;  // entries of the current pass already handed out
    bool finished_ = false;
};

// The resampling a show's scaling asks for: width or height −1 keeps the aspect.
struct TSlideResample {
    bool resample = false;
    int width = -1;
    int height = -1;
    bool operator==(const TSlideResample&) const = default;
};
// scaling: 0 own size, 1 fit, 2 fill; (bw, bh) the bitmap, (w, h) the window.
TSlideResample SlideResampleFor(int scaling, int bw, int bh, int w, int h);
// The scroll position that centres a picture of `size` pixels at `zoom` percent on a
// screen `screen` pixels long; 0 when it fits.
int SlideViewOrigin(int size, int zoom, int screen);

// Writes the text comment into the bitmap: white at (0, 0), then black at (1, 1),
// with a clear brush at the given point size.
void WriteSlideComment(TBitmap& bitmap, const QString& text, int fontSize);
// The comment files beside an image: its name with ".wav" or ".txt" appended.
QString SlideSoundComment(const QString& imageFile);
QString SlideTextComment(const QString& imageFile);
