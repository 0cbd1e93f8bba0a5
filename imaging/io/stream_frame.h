// The 12-byte frame around TIFF, PCX and JPEG data inside larger streams: four ASCII
// characters ("TIFF", "PCX2", "JFIF"), a 32-bit zero and the 32-bit payload length.
#pragma once

#include <cstdint>
#include <functional>

class TStream;

struct TStreamFrame {
    bool Framed = false;  // a full 12-byte header was read
    int64_t Start = 0;    // where the header (or the data) began
    int64_t Length = 0;   // bytes of data that belong to the image
    // Positions the stream right behind the framed data (never past its end).
    void SkipPast(TStream& stream) const;
};

// PCX stream rules: with headers on, the first three characters must read "PCX"
// (else EInvalidGraphic); "PCX2" is a full header; any other "PCX…" is the old 4-byte
// header, after which the rest of the stream is the image. With headers off the rest
// of the stream is the image. A length past the stream's end is refused.
TStreamFrame ReadPCXStreamHeader(TStream& stream, bool streamHeaders);

// An optional header with the given tag: read when present, else the stream is put
// back where it was.
TStreamFrame ReadTaggedStreamHeader(TStream& stream, const char tag[4]);

// Writes a 12-byte placeholder, runs the writer, and fills in the header (tag, 0,
// payload length) when the writer returns true; the stream ends behind the payload.
void WriteFramedStream(TStream& stream, const char tag[4], const std::function<bool()>& writer);
