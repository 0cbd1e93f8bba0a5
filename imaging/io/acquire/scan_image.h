// Assembles the frames of one scan into a packed DIB: grey lineart becomes a 1-bit DIB
// (SANE's 1 = black turned into the DIB's 0 = black), grey a grey-table 8-bit DIB, colour
// (one interleaved frame or three separate ones) a 24-bit DIB; 16-bit samples keep
// their high byte. Everything the device states is checked before a byte is stored.
#pragma once

#include <sane/sane.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

class TScanImage {
public:
    static constexpr int kMaxPixelsPerLine = 1 << 17;
    static constexpr int64_t kMaxBytes = int64_t(1) << 30;  // the DIB's pixel rows

    // Takes the parameters of the next frame; false with a reason when they are unusable
    // or do not fit the frames before.
    bool BeginFrame(const SANE_Parameters& params, QString& why);
    // The frame's bytes as they arrive, in any pieces; false when the frame runs past
    // every bound.
    bool Feed(const uint8_t* data, size_t count, QString& why);
    // The frame ended; true when it was the image's last.
    bool EndFrame();
    // The finished DIB (empty with a reason when nothing usable arrived).
    QByteArray TakeDIB(QString& why);

    int Width() const { return width_; }
    int Height() const { return height_; }  // of the finished DIB
    int BitsPerSample() const { return depth_; }
    int SamplesPerPixel() const { return samples_; }
    int BitsPerPixel() const { return dibBits_; }

private:
    enum class Kind { None, Gray, Rgb, Separate };
    uint8_t* rowPointer(int y, QString& why);
    void convert(const uint8_t* src, uint8_t* dst) const;

    Kind kind_ = Kind::None;
    int width_ = 0, depth_ = 0, samples_ = 0, dibBits_ = 0;
    int declaredLines_ = 0;  // -1: unknown until the frame ends
    int64_t rowBytes_ = 0;   // one DIB row, padded
    QByteArray dib_;         // known height: rows go straight to their place
    QByteArray staged_;      // unknown height: rows top-down until the end
    int stagedRows_ = 0;
    int height_ = 0;

    // The frame being read.
    int frame_ = SANE_FRAME_GRAY;
    int lineBytes_ = 0;
    std::vector<uint8_t> partial_;
    size_t partialLen_ = 0;
    int frameRows_ = 0;
    int64_t discarded_ = 0;
    int completeRows_ = -1;  // rows every finished frame delivered
    unsigned channelsSeen_ = 0;
    bool lastFrame_ = false;
};
