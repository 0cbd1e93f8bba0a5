// The GIF block structure: screen, descriptors, colour tables and sub-blocks.
#include "imaging/io/gif/gif_blocks.h"

#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"

#include <algorithm>

namespace {

uint16_t u16At(const QByteArray& b, int at) { return le16(reinterpret_cast<const uint8_t*>(b.constData()) + at); }

// Exactly n bytes, or an empty array when the stream holds fewer.
QByteArray readExactly(TStream& stream, int n)
{
    QByteArray b(n, '\0');
    if (stream.Read(b.data(), n) != n)
        return {};
    return b;
}

}  // namespace

std::vector<TIORGB> GifTableFromFile(const QByteArray& rgb)
{
    std::vector<TIORGB> t(size_t(rgb.size() / 3));
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = TIORGB{uint8_t(rgb[int(3 * i + 2)]), uint8_t(rgb[int(3 * i + 1)]), uint8_t(rgb[int(3 * i)])};
    return t;
}

void ReadGifScreen(TStream& stream, TGifScreen& screen)
{
    QByteArray sig(3, '\0');
    if (stream.Read(sig.data(), 3) != 3 || sig != "GIF")
        throw EInvalidGraphic(QStringLiteral("unrecognized GIF"));
    screen.Raw = readExactly(stream, kGifScreenSize - 3);
    if (screen.Raw.isEmpty())
        throw EInvalidGraphic(QStringLiteral("GIF header is truncated"));
    screen.Raw.prepend(sig);
    screen.Width = u16At(screen.Raw, 6);
    screen.Height = u16At(screen.Raw, 8);
    screen.Packed = uint8_t(screen.Raw[10]);
    screen.BackgroundIndex = uint8_t(screen.Raw[11]);
    screen.Aspect = uint8_t(screen.Raw[12]);
    screen.GlobalTable.clear();
    screen.RawTable.clear();
    if (screen.Packed & 0x80) {
        screen.RawTable = readExactly(stream, 3 * GifTableEntries(screen.Packed));
        if (screen.RawTable.isEmpty())
            throw EInvalidGraphic(QStringLiteral("GIF colour table is truncated"));
        screen.GlobalTable = GifTableFromFile(screen.RawTable);
    }
}

bool ReadGifDescriptor(TStream& stream, TGifDescriptor& d)
{
    d.Raw = readExactly(stream, kGifDescriptorSize);
    if (d.Raw.isEmpty())
        return false;
    d.Left = u16At(d.Raw, 0);
    d.Top = u16At(d.Raw, 2);
    d.Width = u16At(d.Raw, 4);
    d.Height = u16At(d.Raw, 6);
    d.Packed = uint8_t(d.Raw[8]);
    d.LocalTable.clear();
    d.RawTable.clear();
    if (d.Packed & 0x80) {
        d.RawTable = readExactly(stream, 3 * GifTableEntries(d.Packed));
        if (d.RawTable.isEmpty())
            return false;
        d.LocalTable = GifTableFromFile(d.RawTable);
    }
    return true;
}

bool SkipGifSubBlocks(TStream& stream, QByteArray* copy)
{
    for (;;) {
        uint8_t size = 0;
        if (stream.Read(&size, 1) != 1)
            return false;
        if (copy)
            copy->append(char(size));
        if (size == 0)
            return true;
        const int64_t left = stream.Size() - stream.Position();
        const int n = int(std::min<int64_t>(size, std::max<int64_t>(left, 0)));
        if (copy) {
            QByteArray part(n, '\0');
            stream.ReadBuffer(part.data(), n);
            copy->append(part);
        } else {
            stream.Seek(n, soFromCurrent);
        }
        if (n < size)
            return false;
    }
}
