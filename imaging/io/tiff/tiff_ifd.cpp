// The TIFF header and image file directories, every offset checked.
#include "imaging/io/tiff/tiff_ifd.h"

#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <set>

namespace {

[[noreturn]] void invalid(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

// More directories than any real file has: a forged chain cannot keep the walk busy.
constexpr size_t kMaxImages = 65536;

int typeSize(uint16_t type)
{
    switch (type) {
    case tyByte:
    case tyAscii: return 1;
    case tyShort: return 2;
    case tyLong: return 4;
    case tyRational: return 8;
    default: return 0;
    }
}

}  // namespace

uint16_t TTiffFile::U16(const uint8_t* p) const { return BigEndian ? be16(p) : le16(p); }
uint32_t TTiffFile::U32(const uint8_t* p) const { return BigEndian ? be32(p) : le32(p); }

bool TTiffFile::ReadAt(int64_t offset, void* buffer, int64_t n) const
{
    if (offset < 0 || n < 0 || offset > Size || n > Size - offset)
        return false;
    Stream->SetPosition(Base + offset);
    return Stream->Read(buffer, n) == n;
}

uint32_t OpenTiff(TStream& stream, TTiffFile& file)
{
    file.Stream = &stream;
    file.Base = stream.Position();
    file.Size = std::max<int64_t>(0, stream.Size() - file.Base);
    uint8_t h[8];
    if (stream.Read(h, 8) != 8 || !((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M')))
        invalid("unrecognized TIFF");
    file.BigEndian = h[0] == 'M';
    return file.U32(h + 4);
}

std::vector<TIfdLink> WalkIfdChain(const TTiffFile& file, uint32_t first, int64_t firstPointerAt, int64_t* endPointerAt)
{
    std::vector<TIfdLink> chain;
    std::set<uint32_t> seen;
    uint32_t offset = first;
    int64_t pointerAt = firstPointerAt;
    while (offset != 0 && chain.size() < kMaxImages && seen.insert(offset).second) {
        uint8_t n[2];
        if (!file.ReadAt(offset, n, 2))
            break;
        const int64_t next = int64_t(offset) + 2 + 12 * int64_t(file.U16(n));
        uint8_t o[4];
        chain.push_back({offset, pointerAt});
        pointerAt = next;
        if (!file.ReadAt(next, o, 4)) {
            pointerAt = -1;  // a directory cut off by the end: nothing to link behind it
            break;
        }
        offset = file.U32(o);
    }
    if (endPointerAt)
        *endPointerAt = pointerAt;
    return chain;
}

TTiffIfd::TTiffIfd(const TTiffFile& file, uint32_t offset) : file_(file)
{
    uint8_t n[2];
    if (!file.ReadAt(offset, n, 2))
        invalid("TIFF directory lies outside the file");
    // Entries cut off by the end of the file are dropped.
    const int64_t count = std::min<int64_t>(file.U16(n), (file.Size - offset - 2) / 12);
    std::vector<uint8_t> raw(size_t(count) * 12);
    if (count > 0 && !file.ReadAt(int64_t(offset) + 2, raw.data(), int64_t(raw.size())))
        invalid("TIFF directory lies outside the file");
    entries_.reserve(size_t(count));
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* p = raw.data() + 12 * i;
        TIfdEntry e{file.U16(p), file.U16(p + 2), file.U32(p + 4), {p[8], p[9], p[10], p[11]}};
        entries_.push_back(e);
    }
}

const TIfdEntry* TTiffIfd::find(uint16_t tag) const
{
    for (const TIfdEntry& e : entries_)
        if (e.Tag == tag)
            return &e;
    return nullptr;
}

std::vector<uint32_t> TTiffIfd::Numbers(uint16_t tag, uint32_t maxCount) const
{
    const TIfdEntry* e = find(tag);
    if (!e)
        return {};
    if (e->Type != tyByte && e->Type != tyShort && e->Type != tyLong)
        invalid("TIFF tag has the wrong type");
    const int size = typeSize(e->Type);
    const int64_t stored = int64_t(e->Count) * size;
    const uint32_t count = std::min(e->Count, maxCount);
    // The values wanted must be in the file before any room is made for them.
    const uint32_t at = file_.U32(e->Value);
    if (stored > 4 && (at > file_.Size || int64_t(count) * size > file_.Size - at))
        invalid("TIFF tag values lie outside the file");
    std::vector<uint8_t> raw(size_t(count) * size_t(size));
    if (stored <= 4) {
        std::copy(e->Value, e->Value + raw.size(), raw.begin());
    } else if (!file_.ReadAt(at, raw.data(), int64_t(raw.size()))) {
        invalid("TIFF tag values lie outside the file");
    }
    std::vector<uint32_t> v(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = raw.data() + size_t(i) * size_t(size);
        v[i] = size == 1 ? *p : size == 2 ? file_.U16(p) : file_.U32(p);
    }
    return v;
}

uint32_t TTiffIfd::Number(uint16_t tag, uint32_t fallback) const
{
    const std::vector<uint32_t> v = Numbers(tag, 1);
    return v.empty() ? fallback : v[0];
}

double TTiffIfd::Rational(uint16_t tag, double fallback) const
{
    const TIfdEntry* e = find(tag);
    if (!e || e->Count == 0)
        return fallback;
    if (e->Type != tyRational)
        return Number(tag, uint32_t(fallback));
    uint8_t r[8];
    if (!file_.ReadAt(file_.U32(e->Value), r, 8))
        invalid("TIFF tag values lie outside the file");
    const uint32_t den = file_.U32(r + 4);
    return double(file_.U32(r)) / double(den ? den : 1);
}

QString TTiffIfd::Text(uint16_t tag) const
{
    const TIfdEntry* e = find(tag);
    if (!e || e->Type != tyAscii || e->Count == 0)
        return {};
    // Longer texts than this are no caption; only their start is kept.
    const int64_t n = std::min<int64_t>(e->Count, 1 << 16);
    QByteArray raw(qsizetype(n), '\0');
    if (n <= 4)
        std::copy(e->Value, e->Value + n, raw.data());
    else if (!file_.ReadAt(file_.U32(e->Value), raw.data(), n))
        invalid("TIFF tag values lie outside the file");
    const qsizetype end = raw.indexOf('\0');
    return QString::fromUtf8(end < 0 ? raw : raw.left(end));
}
