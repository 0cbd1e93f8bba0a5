#pragma once
// The numbers a TIFF directory stores for its compression, photometric interpretation
// and other coded tags, and the TiffCompression parameter's own numbering.

#include <cstdint>

// Compression (tag 259).
enum TTiffCompressionCode : uint32_t {
    tcNone = 1,
    tcCcittRle = 2,  // modified Huffman run lengths
    tcCcittGroup3 = 3,
    tcCcittGroup4 = 4,
    tcLzw = 5,
    tcOldJpeg = 6,
    tcJpeg = 7,
    tcPackBits = 32773,
};

// PhotometricInterpretation (tag 262).
enum TTiffPhotometricCode : uint32_t {
    tpWhiteIsZero = 0,
    tpBlackIsZero = 1,
    tpRgb = 2,
    tpPalette = 3,
    tpTransparencyMask = 4,
    tpSeparated = 5,  // CMYK
    tpYCbCr = 6,
    tpCieLab = 8,
};

// PlanarConfiguration (tag 284).
enum TTiffPlanarCode : uint32_t { tplContiguous = 1, tplSeparate = 2 };
// Predictor (tag 317).
enum TTiffPredictorCode : uint32_t { tprNone = 1, tprHorizontal = 2 };
// FillOrder (tag 266).
enum TTiffFillOrderCode : uint32_t { tfoMsbFirst = 1, tfoLsbFirst = 2 };
// ResolutionUnit (tag 296).
enum TTiffResolutionUnitCode : uint32_t { truInch = 2, truCentimetre = 3 };
// T4Options (tag 292): the bit that says the rows are coded two-dimensionally.
constexpr uint32_t kTiffT4TwoDimensional = 1;

// TIOParamsVals::TiffCompression: how the parameters name the compressions.
enum TTiffCompressionParam : uint8_t {
    tcpNone = 0,
    tcpCcittRle = 1,
    tcpGroup3OneD = 2,
    tcpGroup3TwoD = 3,
    tcpGroup4 = 4,
    tcpLzw = 5,
    tcpOldJpeg = 6,
    tcpJpeg = 7,
    tcpPackBits = 8,
};
// TIOParamsVals::TiffPhotometric holds the stored codes 0 to 6 as they are and CIE
// L*a*b* (stored 8) as this.
constexpr uint8_t kTiffParamCieLab = 7;
