// The 1424-byte command record: file name, arguments and save parameters in its bytes.
#include "app/commands/command_record.h"

#include "app/commands/command_table.h"
#include "imaging/io/codec_table.h"
#include "platform/core/streams.h"

#include <cstring>

bool tautomatitem::SetFileName(const QString& name)
{
    const QByteArray bytes = name.toUtf8();
    if (bytes.size() > 255)
        return false;
    b_[OffFileName] = uint8_t(bytes.size());
    std::memcpy(b_.data() + OffFileName + 1, bytes.constData(), size_t(bytes.size()));
    return true;
}

QByteArray tautomatitem::FileNameBytes() const
{
    return QByteArray(reinterpret_cast<const char*>(b_.data() + OffFileName + 1), b_[OffFileName]);
}

QString tautomatitem::FileName() const { return QString::fromUtf8(FileNameBytes()); }

int32_t tautomatitem::Arg(int index) const
{
    const size_t o = size_t(OffArg1 + 4 * (index - 1));
    return int32_t(uint32_t(b_[o]) | uint32_t(b_[o + 1]) << 8 | uint32_t(b_[o + 2]) << 16 | uint32_t(b_[o + 3]) << 24);
}

void tautomatitem::SetArg(int index, int32_t value)
{
    const size_t o = size_t(OffArg1 + 4 * (index - 1));
    const uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        b_[o + size_t(i)] = uint8_t(v >> (8 * i));
}

tsaveparams tautomatitem::SaveParams() const
{
    TMemoryStream s(QByteArray(reinterpret_cast<const char*>(b_.data() + OffSaveParams), tsaveparams::Size));
    tsaveparams p;
    p.Read(s);
    return p;
}

void tautomatitem::SetSaveParams(const tsaveparams& params)
{
    TMemoryStream s;
    params.Write(s);
    std::memcpy(b_.data() + OffSaveParams, s.Memory(), tsaveparams::Size);
}

QByteArray tautomatitem::ToByteArray() const { return QByteArray(reinterpret_cast<const char*>(b_.data()), Size); }

bool tautomatitem::FromBytes(const QByteArray& data)
{
    if (data.size() < Size)
        return false;
    std::memcpy(b_.data(), data.constData(), Size);
    return true;
}

namespace {

TRecordCheck refuse(const QString& german, const QString& english) { return TRecordCheck{german, english}; }

bool usableName(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    const QString name = QString::fromUtf8(bytes);
    if (name.toUtf8() != bytes)
        return false;  // not UTF-8
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

// The rule's texts, with what was refused after them when they end in ": ".
TRecordCheck refusal(const TArgCheck& check, const QString& value)
{
    const QString german = QString::fromUtf8(check.german);
    const QString english = QString::fromUtf8(check.english);
    if (!german.endsWith(QLatin1String(": ")))
        return refuse(german, english);
    return refuse(german + value, english + value);
}

TRecordCheck badSize(int32_t w, int32_t h)
{
    const QString s = QString::number(w) + QStringLiteral(" x ") + QString::number(h);
    return refuse(QStringLiteral("Ungültige Bildgröße im Batch-Befehl: ") + s,
                  QStringLiteral("Invalid image size in batch command: ") + s);
}

}  // namespace

bool ImageSizeFits(int64_t width, int64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

void FitSaveParamsToWriter(tsaveparams& block, const QString& fileName)
{
    block.Clamp(SaveCodecForFileName(fileName).MaxDpi);
}

TRecordCheck CheckRecord(const tautomatitem& item)
{
    const TCommandEntry* entry = FindCommand(item.Code());
    if (!entry)
        return {};
    for (const TArgCheck& c : entry->checks) {
        switch (c.rule) {
        case TArgRule::None: break;
        case TArgRule::ImageSize:
            if (!ImageSizeFits(item.Arg(1), item.Arg(2)))
                return badSize(item.Arg(1), item.Arg(2));
            break;
        case TArgRule::Range:
        case TArgRule::LowByte:
            for (int i = c.first; i <= c.last; ++i) {
                const int32_t v = c.rule == TArgRule::LowByte ? item.ArgLowByte(i) : item.Arg(i);
                if (v < c.min || v > c.max)
                    return refusal(c, QString::number(v));
            }
            break;
        case TArgRule::FileName:
            if (!usableName(item.FileNameBytes()))
                return refusal(c, {});
            break;
        case TArgRule::SaveParams: {
            // The writer chosen by the name must be able to store every parameter.
            const QString problem = item.SaveParams().Problem(SaveCodecForFileName(item.FileName()).MaxDpi);
            if (!problem.isEmpty())
                return refusal(c, problem);
            break;
        }
        }
    }
    return {};
}
