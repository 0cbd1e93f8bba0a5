#include "platform/core/streams.h"
#include "platform/core/exceptions.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

void TStream::SetSize(int64_t) { throw EStreamError(QStringLiteral("Stream size cannot be changed")); }

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, soFromCurrent);
    const int64_t end = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || Read(buffer, count) != count)
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || Write(buffer, count) != count)
        throw EWriteError(QStringLiteral("Stream write error"));
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const int64_t total = count;
    char buf[65536];
    while (count > 0) {
        const int64_t n = count < int64_t(sizeof buf) ? count : int64_t(sizeof buf);
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        count -= n;
    }
    return total;
}

uint8_t TStream::ReadU8()
{
    uint8_t b;
    ReadBuffer(&b, 1);
    return b;
}

uint16_t TStream::ReadU16()
{
    uint8_t b[2];
    ReadBuffer(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

uint32_t TStream::ReadU32()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

double TStream::ReadF64()
{
    uint8_t b[8];
    ReadBuffer(b, 8);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | b[i];
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

void TStream::WriteU8(uint8_t v) { WriteBuffer(&v, 1); }

void TStream::WriteU16(uint16_t v)
{
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteU32(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBuffer(b, 4);
}

void TStream::WriteF64(double d)
{
    uint64_t v;
    std::memcpy(&v, &d, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(v >> (8 * i));
    WriteBuffer(b, 8);
}

// --- TMemoryStream

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || pos_ >= data_.size())
        return 0;
    const int64_t n = std::min<int64_t>(count, data_.size() - pos_);
    std::memcpy(buffer, data_.constData() + pos_, size_t(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    if (pos_ + count > data_.size())
        data_.resize(qsizetype(pos_ + count));
    std::memcpy(data_.data() + pos_, buffer, size_t(count));
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? pos_ : data_.size();
    const int64_t p = base + offset;
    if (p < 0)
        throw EStreamError(QStringLiteral("Invalid stream position"));
    pos_ = p;
    return pos_;
}

void TMemoryStream::SetSize(int64_t size)
{
    if (size < 0)
        throw EStreamError(QStringLiteral("Invalid stream size"));
    data_.resize(qsizetype(size));
    if (pos_ > size)
        pos_ = size;
}

void TMemoryStream::Clear()
{
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& s)
{
    s.SetPosition(0);
    const int64_t n = s.Size();
    data_.resize(qsizetype(n));
    s.ReadBuffer(data_.data(), n);
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& s) { s.WriteBuffer(data_.constData(), data_.size()); }

void TMemoryStream::LoadFromFile(const QString& fileName)
{
    data_ = ReadWholeFile(fileName);
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const QString& fileName) { WriteFileSafely(fileName, data_); }

// --- TFileStream

TFileStream::TFileStream(const QString& fileName, uint16_t mode) : fileName_(fileName)
{
    auto* f = new QFile(fileName);
    file_ = f;
    if (mode == fmCreate) {
        if (!f->open(QIODevice::ReadWrite | QIODevice::Truncate)) {
            delete file_;
            file_ = nullptr;
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f->errorString()));
        }
        return;
    }
    QIODevice::OpenMode m = QIODevice::ReadOnly;
    if ((mode & 3) == fmOpenWrite)
        m = QIODevice::WriteOnly | QIODevice::ExistingOnly;
    else if ((mode & 3) == fmOpenReadWrite)
        m = QIODevice::ReadWrite | QIODevice::ExistingOnly;
    if (!f->open(m)) {
        const QString err = f->errorString();
        delete file_;
        file_ = nullptr;
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, err));
    }
}

TFileStream::~TFileStream() { delete file_; }

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = file_->read(static_cast<char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = file_->write(static_cast<const char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? file_->pos() : file_->size();
    const int64_t p = base + offset;
    if (p < 0 || !file_->seek(p))
        throw EStreamError(QStringLiteral("Invalid stream position"));
    return p;
}

void TFileStream::SetSize(int64_t size)
{
    if (size < 0 || !file_->resize(size))
        throw EStreamError(QStringLiteral("Cannot change the size of \"%1\"").arg(fileName_));
}

int64_t TFileStream::Size() { return file_->size(); }

// --- TSafeFileStream

TSafeFileStream::TSafeFileStream(const QString& fileName)
{
    fileName_ = fileName;
    save_ = std::make_unique<QSaveFile>(fileName);
    if (!save_->open(QIODevice::WriteOnly))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, save_->errorString()));
    file_ = save_.get();
}

TSafeFileStream::~TSafeFileStream()
{
    file_ = nullptr; // owned by save_; an uncommitted save is discarded here
}

void TSafeFileStream::Commit()
{
    if (!save_->commit())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName_, save_->errorString()));
}

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()));
    return f.readAll();
}

void WriteFileSafely(const QString& fileName, const QByteArray& data)
{
    TSafeFileStream s(fileName);
    s.WriteBuffer(data.constData(), data.size());
    s.Commit();
}
