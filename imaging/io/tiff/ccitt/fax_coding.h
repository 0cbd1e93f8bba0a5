// Fax coding of 1-bit rows: modified Huffman, Group 3 one- and two-dimensional and
// Group 4. Rows are packed eight pixels a byte, the first pixel in the top bit.
#pragma once

#include <cstdint>
#include <vector>

enum class TFaxCoding { ModifiedHuffman, Group3OneD, Group3TwoD, Group4 };

// The byte with its bits in the opposite order (fill order 2 read as fill order 1).
uint8_t ReverseBitOrder(uint8_t v);

// The fewest bits one coded row can take: a modified Huffman row fills a byte, a
// Group 3 one-dimensional row needs its shortest code and an end-of-line, a
// two-dimensional row a single vertical-mode bit.
int FaxMinRowBits(TFaxCoding coding);

// Decodes the rows of one strip. Every row comes out complete: a bad code, an
// end-of-line inside the row or the end of the data leave the rest of the row white.
// The decoder never reads past the strip's bytes.
class TFaxDecoder {
public:
    // lsbFirst: each byte's least significant bit comes first (fill order 2). whiteIsOne:
    // decoded white pixels are 1-bits (else 0-bits), so rows need no second pass to turn.
    TFaxDecoder(TFaxCoding coding, int width, const uint8_t* data, int64_t size, bool lsbFirst, bool whiteIsOne = true);
    void DecodeRow(uint8_t* row);
    int64_t BitPosition() const { return pos_; }

private:
    uint32_t peek(int n) const;  // next n (≤ 25) bits, zeros past the end
    void skip(int n) { pos_ += n; }
    bool atEnd() const { return pos_ >= bits_; }
    // An end-of-line here (after fill zeros) is consumed; so are zeros that run to the
    // end of the data, which hold no code.
    bool skipEol();
    int readRun(bool black);  // a run of make-up codes and a terminating code; −1 on failure
    void decodeOneD();
    void decodeTwoD();
    void render(uint8_t* row) const;

    TFaxCoding coding_;
    int width_;
    uint8_t white_;
    std::vector<uint8_t> flipped_;
    const uint8_t* data_;
    int64_t bits_;
    int64_t pos_ = 0;
    std::vector<int> ref_;  // changing elements of the reference row (+ sentinels)
    std::vector<int> cur_;  // changing elements of the row being decoded
};

// Codes rows. whiteIsOne: the rows hold white as 1-bits (else as 0-bits). The coded
// bytes collect in Bytes(); a caller may write and clear the complete ones at any time
// through TakeBytes().
class TFaxEncoder {
public:
    TFaxEncoder(TFaxCoding coding, int width, bool whiteIsOne);
    void EncodeRow(const uint8_t* row);
    // Ends the data (end-of-line codes the coding asks for, padding to a byte).
    void Finish();
    // The complete bytes coded so far, removed from the encoder.
    std::vector<uint8_t> TakeBytes();

    // Worst case of one coded row in bytes: every pixel its own run.
    static int64_t WorstRowBytes(int width);

private:
    void put(uint32_t bits, int length);
    void putCode(const struct TFaxCode& code);
    void putRun(int run, bool black);
    void padToByte();

    TFaxCoding coding_;
    int width_;
    uint8_t mask_;
    bool firstRow_ = true;
    std::vector<uint8_t> out_;
    uint64_t acc_ = 0;
    int accBits_ = 0;
    std::vector<int> ref_, cur_;
};

// Changing elements of a row: positions where the colour differs from the pixel before
// (the row starts white); followed by sentinels at width. blackMask is xor-ed on each
// byte so that black becomes 1.
void FaxRowChanges(const uint8_t* row, int width, uint8_t blackMask, std::vector<int>& out);
