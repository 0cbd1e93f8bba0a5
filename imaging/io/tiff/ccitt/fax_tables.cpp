// The run-length and mode codes of the fax codings and their lookup tables.
#include "imaging/io/tiff/ccitt/fax_tables.h"

#include <cstring>

namespace {

constexpr TFaxCode c(const char* s)
{
    uint16_t v = 0;
    uint8_t n = 0;
    for (; s[n]; ++n)
        v = uint16_t(v * 2 + (s[n] == '1'));
    return TFaxCode{v, n};
}

}  // namespace

const TFaxCode kWhiteTerminating[64] = {
    c("00110101"), c("000111"),   c("0111"),     c("1000"),     c("1011"),     c("1100"),     c("1110"),
    c("1111"),     c("10011"),    c("10100"),    c("00111"),    c("01000"),    c("001000"),   c("000011"),
    c("110100"),   c("110101"),   c("101010"),   c("101011"),   c("0100111"),  c("0001100"),  c("0001000"),
    c("0010111"),  c("0000011"),  c("0000100"),  c("0101000"),  c("0101011"),  c("0010011"),  c("0100100"),
    c("0011000"),  c("00000010"), c("00000011"), c("00011010"), c("00011011"), c("00010010"), c("00010011"),
    c("00010100"), c("00010101"), c("00010110"), c("00010111"), c("00101000"), c("00101001"), c("00101010"),
    c("00101011"), c("00101100"), c("00101101"), c("00000100"), c("00000101"), c("00001010"), c("00001011"),
    c("01010010"), c("01010011"), c("01010100"), c("01010101"), c("00100100"), c("00100101"), c("01011000"),
    c("01011001"), c("01011010"), c("01011011"), c("01001010"), c("01001011"), c("00110010"), c("00110011"),
    c("00110100"),
};

const TFaxCode kBlackTerminating[64] = {
    c("0000110111"),   c("010"),          c("11"),           c("10"),           c("011"),          c("0011"),
    c("0010"),         c("00011"),        c("000101"),       c("000100"),       c("0000100"),      c("0000101"),
    c("0000111"),      c("00000100"),     c("00000111"),     c("000011000"),    c("0000010111"),   c("0000011000"),
    c("0000001000"),   c("00001100111"),  c("00001101000"),  c("00001101100"),  c("00000110111"),  c("00000101000"),
    c("00000010111"),  c("00000011000"),  c("000011001010"), c("000011001011"), c("000011001100"), c("000011001101"),
    c("000001101000"), c("000001101001"), c("000001101010"), c("000001101011"), c("000011010010"), c("000011010011"),
    c("000011010100"), c("000011010101"), c("000011010110"), c("000011010111"), c("000001101100"), c("000001101101"),
    c("000011011010"), c("000011011011"), c("000001010100"), c("000001010101"), c("000001010110"), c("000001010111"),
    c("000001100100"), c("000001100101"), c("000001010010"), c("000001010011"), c("000000100100"), c("000000110111"),
    c("000000111000"), c("000000100111"), c("000000101000"), c("000001011000"), c("000001011001"), c("000000101011"),
    c("000000101100"), c("000001011010"), c("000001100110"), c("000001100111"),
};

const TFaxCode kWhiteMakeUp[27] = {
    c("11011"),     c("10010"),     c("010111"),    c("0110111"),   c("00110110"),  c("00110111"),  c("01100100"),
    c("01100101"),  c("01101000"),  c("01100111"),  c("011001100"), c("011001101"), c("011010010"), c("011010011"),
    c("011010100"), c("011010101"), c("011010110"), c("011010111"), c("011011000"), c("011011001"), c("011011010"),
    c("011011011"), c("010011000"), c("010011001"), c("010011010"), c("011000"),    c("010011011"),
};

const TFaxCode kBlackMakeUp[27] = {
    c("0000001111"),    c("000011001000"),  c("000011001001"),  c("000001011011"),  c("000000110011"),
    c("000000110100"),  c("000000110101"),  c("0000001101100"), c("0000001101101"), c("0000001001010"),
    c("0000001001011"), c("0000001001100"), c("0000001001101"), c("0000001110010"), c("0000001110011"),
    c("0000001110100"), c("0000001110101"), c("0000001110110"), c("0000001110111"), c("0000001010010"),
    c("0000001010011"), c("0000001010100"), c("0000001010101"), c("0000001011010"), c("0000001011011"),
    c("0000001100100"), c("0000001100101"),
};

const TFaxCode kExtendedMakeUp[13] = {
    c("00000001000"),  c("00000001100"),  c("00000001101"),  c("000000010010"), c("000000010011"),
    c("000000010100"), c("000000010101"), c("000000010110"), c("000000010111"), c("000000011100"),
    c("000000011101"), c("000000011110"), c("000000011111"),
};

const TFaxCode kModeVertical[7] = {c("0000010"), c("000010"), c("010"), c("1"), c("011"), c("000011"), c("0000011")};

namespace {

struct RunTable {
    TRunEntry e[1 << kRunLookupBits];
    void put(TFaxCode code, int16_t run, bool makeUp)
    {
        const int shift = kRunLookupBits - code.Length;
        const int first = code.Bits << shift;
        for (int i = 0; i < (1 << shift); ++i)
            e[first + i] = TRunEntry{run, code.Length, makeUp};
    }
    explicit RunTable(bool white)
    {
        for (auto& x : e)
            x = TRunEntry{kRunBad, 0, false};
        const TFaxCode* term = white ? kWhiteTerminating : kBlackTerminating;
        const TFaxCode* make = white ? kWhiteMakeUp : kBlackMakeUp;
        for (int r = 0; r < 64; ++r)
            put(term[r], int16_t(r), false);
        for (int i = 0; i < 27; ++i)
            put(make[i], int16_t(64 * (i + 1)), true);
        for (int i = 0; i < 13; ++i)
            put(kExtendedMakeUp[i], int16_t(1792 + 64 * i), true);
        // Eleven or more zeros: an end-of-line, possibly behind fill bits.
        for (int i = 0; i < (1 << (kRunLookupBits - 11)); ++i)
            e[i] = TRunEntry{kRunEol, 0, false};
    }
};

struct ModeTable {
    TModeEntry e[1 << kModeLookupBits];
    void put(TFaxCode code, TFaxMode mode, int offset)
    {
        const int shift = kModeLookupBits - code.Length;
        for (int i = 0; i < (1 << shift); ++i)
            e[(code.Bits << shift) + i] = TModeEntry{mode, int8_t(offset), code.Length};
    }
    ModeTable()
    {
        for (auto& x : e)
            x = TModeEntry{fmBad, 0, 0};
        put(kModePass, fmPass, 0);
        put(kModeHorizontal, fmHorizontal, 0);
        for (int i = 0; i < 7; ++i)
            put(kModeVertical[i], fmVertical, i - 3);
        e[1] = TModeEntry{fmExtension, 0, 7};  // 0000001 xxx
        e[0] = TModeEntry{fmEol, 0, 0};        // seven zeros: end-of-line or fill
    }
};

}  // namespace

const TRunEntry* WhiteRunLookup()
{
    static const RunTable t(true);
    return t.e;
}

const TRunEntry* BlackRunLookup()
{
    static const RunTable t(false);
    return t.e;
}

const TModeEntry* ModeLookup()
{
    static const ModeTable t;
    return t.e;
}
