// Byte streams: TStream, TMemoryStream and TFileStream.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class QFileDevice;

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// Open modes of TFileStream; share flags are accepted and ignored.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

// Byte stream: Read/Write move as far as they can and return the count,
// ReadBuffer/WriteBuffer raise on a short transfer.
class TStream {
public:
    virtual ~TStream() = default;
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t size);

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soFromBeginning); }
    virtual int64_t Size();
    int64_t Remaining() { return Size() - Position(); }

    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source (0: all of source from its start).
    int64_t CopyFrom(TStream& source, int64_t count);

    // Little-endian field access for stored records.
    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int16_t ReadI16() { return static_cast<int16_t>(ReadU16()); }
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    double ReadF64();
    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI16(int16_t v) { WriteU16(static_cast<uint16_t>(v)); }
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteF64(double v);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray data) : data_(std::move(data)) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int64_t Size() override { return data_.size(); }

    void Clear();
    const uint8_t* Memory() const { return reinterpret_cast<const uint8_t*>(data_.constData()); }
    uint8_t* Memory() { return reinterpret_cast<uint8_t*>(data_.data()); }
    const QByteArray& Bytes() const { return data_; }
    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s);
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName);

private:
    void grow(int64_t size);
    QByteArray data_;
    int64_t pos_ = 0;
};

// A stream over a whole file. fmCreate creates or truncates; opening failures raise
// EFCreateError or EFOpenError with the file name in the message.
// The stream owns its open file: it cannot be copied (two owners would close it twice).
class TFileStream : public TStream {
public:
    TFileStream(const QString& fileName, uint16_t mode);
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    ~TFileStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int64_t Size() override;
    const QString& FileName() const { return fileName_; }

protected:
    TFileStream() = default;
    QString fileName_;
    std::unique_ptr<QFileDevice> file_;
};

// Writes a file through a temporary file in the same folder; only Commit() replaces
// the target, so a failed or abandoned save leaves the old file untouched. The
// temporary file is open for reading too, so a writer may read back what it wrote.
class TSafeFileStream : public TFileStream {
public:
    explicit TSafeFileStream(const QString& fileName);
    ~TSafeFileStream() override;
    // Flushes, syncs and renames over the target; raises EWriteError on failure, and
    // then the old file is still there. A second call does nothing.
    void Commit();
    // The flush and sync of Commit alone, so that a writer thread can take them and
    // leave only the rename; Commit then renames. Raises as Commit would.
    void Sync();

private:
    void discard();
    QString tempName_;
    QString target_;
    bool committed_ = false;
    bool synced_ = false;
};

// Whole-file helpers.
QByteArray ReadWholeFile(const QString& fileName);
void WriteFileSafely(const QString& fileName, const QByteArray& data);
