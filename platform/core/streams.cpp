// Byte streams: the base stream's typed reads and writes, memory and file streams.
#include "platform/core/streams.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <limits>
#include <new>

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
    return le16(b);
}

uint32_t TStream::ReadU32()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return le32(b);
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
    uint8_t b[2];
    putLe16(b, v);
    WriteBuffer(b, 2);
}

void TStream::WriteU32(uint32_t v)
{
    uint8_t b[4];
    putLe32(b, v);
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
    if (count > std::numeric_limits<qsizetype>::max() - pos_)
        throw EOutOfMemory(QStringLiteral("Out of memory"));
    if (pos_ + count > data_.size())
        grow(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, size_t(count));
    pos_ += count;
    return count;
}

// New bytes (also a gap left by seeking past the end) read as zero.
void TMemoryStream::grow(int64_t size)
{
    const qsizetype old = data_.size();
    try {
        data_.resize(qsizetype(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(QStringLiteral("Out of memory"));
    }
    if (data_.size() > old)
        std::memset(data_.data() + old, 0, size_t(data_.size() - old));
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
    if (size > data_.size())
        grow(size);
    else
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
    data_.clear();
    grow(n);
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

namespace {

QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Opens through the system call so that fmOpenWrite does not truncate (QFile's
// WriteOnly would) and a folder is refused like any other unopenable file.
std::unique_ptr<QFile> openFile(const QString& fileName, int flags, QIODevice::OpenMode qtMode, int& err)
{
    err = 0;
    const QByteArray path = QFile::encodeName(fileName);
    if (path.isEmpty()) {
        err = ENOENT;
        return nullptr;
    }
    // Non-blocking only for the open itself, so that a FIFO without a writer cannot hang it.
    const int fd = ::open(path.constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    if (err != 0) {
        ::close(fd);
        return nullptr;
    }
    auto f = std::make_unique<QFile>();
    if (!f->open(fd, qtMode, QFileDevice::AutoCloseHandle)) {
        err = EIO;
        ::close(fd);
        return nullptr;
    }
    return f;
}

}  // namespace

TFileStream::TFileStream(const QString& fileName, uint16_t mode) : fileName_(fileName)
{
    int err = 0;
    if (mode == fmCreate) {
        file_ = openFile(fileName, O_RDWR | O_CREAT | O_TRUNC, QIODevice::ReadWrite, err);
        if (!file_)
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, errnoText(err)));
        return;
    }
    int flags = O_RDONLY;
    QIODevice::OpenMode m = QIODevice::ReadOnly;
    switch (mode & 3) {
    case fmOpenRead: break;
    case fmOpenWrite:
        flags = O_WRONLY;
        m = QIODevice::WriteOnly;
        break;
    case fmOpenReadWrite:
        flags = O_RDWR;
        m = QIODevice::ReadWrite;
        break;
    default: throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, errnoText(EINVAL)));
    }
    file_ = openFile(fileName, flags, m, err);
    if (!file_)
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, errnoText(err)));
}

TFileStream::~TFileStream() = default;

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || !file_->isReadable())
        return 0;
    const qint64 n = file_->read(static_cast<char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0 || !file_->isWritable())
        return 0;
    const qint64 n = file_->write(static_cast<const char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? file_->pos() : file_->size();
    const int64_t p = base + offset;
    if (p < 0 || !file_->isOpen() || !file_->seek(p))
        throw EStreamError(QStringLiteral("Invalid stream position"));
    return p;
}

void TFileStream::SetSize(int64_t size)
{
    if (size < 0 || !file_->isOpen() || !file_->resize(size))
        throw EStreamError(QStringLiteral("Cannot change the size of \"%1\"").arg(fileName_));
}

int64_t TFileStream::Size() { return file_->size(); }

// --- TSafeFileStream

TSafeFileStream::TSafeFileStream(const QString& fileName)
{
    fileName_ = fileName;
    const auto fail = [&](int err) {
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, errnoText(err)));
    };
    if (fileName.isEmpty())
        fail(ENOENT);
    // A link is followed, so that the save replaces the file it points to.
    QFileInfo info(fileName);
    target_ = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QByteArray target = QFile::encodeName(target_);

    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode))
            fail(EISDIR);
        // Creating over a read-only file fails, as a plain create would.
        if (::access(target.constData(), W_OK) != 0)
            fail(errno);
    }

    const QString dir = QFileInfo(target_).absolutePath();
    const QString base = QFileInfo(target_).fileName();
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName_ = QStringLiteral("%1/.%2.%3.tmp")
                        .arg(dir, base)
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        fd = ::open(QFile::encodeName(tempName_).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        fail(errno);
    if (exists)
        ::fchmod(fd, old.st_mode & 07777);
    auto f = std::make_unique<QFile>();
    if (!f->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(QFile::encodeName(tempName_).constData());
        fail(EIO);
    }
    file_ = std::move(f);
}

TSafeFileStream::~TSafeFileStream()
{
    if (!committed_)
        discard();
}

void TSafeFileStream::discard()
{
    if (file_)
        file_->close();
    if (!tempName_.isEmpty())
        ::unlink(QFile::encodeName(tempName_).constData());
    tempName_.clear();
}

void TSafeFileStream::Commit()
{
    if (committed_)
        return;
    Sync();
    if (::rename(QFile::encodeName(tempName_).constData(), QFile::encodeName(target_).constData()) != 0) {
        const int err = errno;
        discard();
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName_, errnoText(err)));
    }
    committed_ = true;
    tempName_.clear();
}

void TSafeFileStream::Sync()
{
    if (synced_)
        return;
    if (tempName_.isEmpty())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName_, errnoText(EBADF)));
    int err = 0;
    if (!file_->flush())
        err = EIO;
    else if (::fsync(file_->handle()) != 0)
        err = errno;
    if (err != 0) {
        discard();
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName_, errnoText(err)));
    }
    file_->close();
    synced_ = true;
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
