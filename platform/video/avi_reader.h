// Video files frame by frame: the first video stream of a file, each frame decoded to a
// 24-bit bitmap (blue, green, red), at full size or reduced to fit a box.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class TBitmap;

class TAviReader {
public:
    // Raises EInvalidGraphic "unable to open AVI file" when the file cannot be opened as
    // a video container, "unable to open AVI stream" when it holds no decodable video.
    explicit TAviReader(const QString& fileName);
    ~TAviReader();
    TAviReader(const TAviReader&) = delete;
    TAviReader& operator=(const TAviReader&) = delete;

    // The stream's length in frames as the container states it.
    int FrameCount() const;
    // Frames per second as rate / scale.
    int64_t Rate() const;
    int64_t Scale() const;
    int Width() const;
    int Height() const;

    // Decodes frame n into a 24-bit bitmap; with a box (maxW, maxH > 0) it is reduced to
    // fit the box, keeping its proportions (never enlarged). False when the frame cannot
    // be decoded. Frames read in order are decoded once; any other order seeks.
    bool ReadFrame(int n, TBitmap& out, int maxW = 0, int maxH = 0);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Display time of one frame in milliseconds: Trunc(1000 / (rate / scale)); 100 when the
// rate or the scale is 0 or negative.
int AviFrameInterval(int64_t rate, int64_t scale);
