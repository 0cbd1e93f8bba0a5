// The 1424-byte command record: file name, arguments and save parameters in its bytes.
#include "app/commands/command_record.h"

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

QString tautomatitem::FileName() const
{
    return QString::fromUtf8(FileNameBytes());
}

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

QByteArray tautomatitem::ToByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(b_.data()), Size);
}

bool tautomatitem::FromBytes(const QByteArray& data)
{
    if (data.size() < Size)
        return false;
    std::memcpy(b_.data(), data.constData(), Size);
    return true;
}

namespace {

TRecordCheck refuse(const QString& german, const QString& english)
{
    return TRecordCheck{german, english};
}

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

bool sizeFits(int32_t w, int32_t h)
{
    return w >= 1 && h >= 1 && w <= kMaxImageSide && h <= kMaxImageSide && int64_t(w) * h <= kMaxImagePixels;
}

TRecordCheck badSize(int32_t w, int32_t h)
{
    const QString s = QString::number(w) + QStringLiteral(" x ") + QString::number(h);
    return refuse(QStringLiteral("Ungültige Bildgröße im Batch-Befehl: ") + s,
                  QStringLiteral("Invalid image size in batch command: ") + s);
}

} // namespace

void FitSaveParamsToWriter(tsaveparams& block, const QString& fileName)
{
    block.Clamp(SaveCodecForFileName(fileName).MaxDpi);
}

TRecordCheck CheckRecord(const tautomatitem& item)
{
    switch (item.Code()) {
    case cmdNewImage:
    case cmdResizeCanvas:
    case cmdResample:
        if (!sizeFits(item.Arg(1), item.Arg(2)))
            return badSize(item.Arg(1), item.Arg(2));
        if (item.Code() == cmdResample && item.ArgLowByte(3) > 6)
            return refuse(QStringLiteral("Ungültiger Filter im Batch-Befehl: ") + QString::number(item.ArgLowByte(3)),
                          QStringLiteral("Invalid filter in batch command: ") + QString::number(item.ArgLowByte(3)));
        break;
    case cmdOpen:
    case cmdSave:
        if (!usableName(item.FileNameBytes()))
            return refuse(QStringLiteral("Ungültiger Dateiname im Batch-Befehl."),
                          QStringLiteral("Invalid file name in batch command."));
        if (item.Code() == cmdSave) {
            // The writer chosen by the name must be able to store every parameter.
            const QString problem = item.SaveParams().Problem(SaveCodecForFileName(item.FileName()).MaxDpi);
            if (!problem.isEmpty())
                return refuse(QStringLiteral("Ungültiger Speicherparameter im Batch-Befehl: ") + problem,
                              QStringLiteral("Invalid save parameter in batch command: ") + problem);
        }
        break;
    case cmdReduceColors:
        if (item.Arg(1) < 2 || item.Arg(1) > 256)
            return refuse(QStringLiteral("Ungültige Farbanzahl im Batch-Befehl: ") + QString::number(item.Arg(1)),
                          QStringLiteral("Invalid number of colors in batch command: ") + QString::number(item.Arg(1)));
        break;
    case cmdCutRect:
    case cmdCopyRect:
    case cmdPasteRect:
        for (int i = 1; i <= 4; ++i)
            if (item.Arg(i) < -kMaxImageSide || item.Arg(i) > kMaxImageSide)
                return refuse(QStringLiteral("Ungültiger Bereich im Batch-Befehl."),
                              QStringLiteral("Invalid area in batch command."));
        break;
    case cmdBWThreshold:
        if (item.Arg(1) < -1 || item.Arg(1) > 255)
            return refuse(QStringLiteral("Ungültiger Schwellwert im Batch-Befehl: ") + QString::number(item.Arg(1)),
                          QStringLiteral("Invalid threshold in batch command: ") + QString::number(item.Arg(1)));
        break;
    default:
        break;
    }
    return {};
}
