// The counting stream that stores nothing.
#include "imaging/common/null_stream.h"

#include "platform/core/exceptions.h"

#include <cstring>
#include <limits>

void TNulStream::advance(int64_t count)
{
    if (count > std::numeric_limits<int64_t>::max() - position_)
        throw EStreamError(QStringLiteral("Invalid stream position"));
    position_ += count;
    if (position_ > size_)
        size_ = position_;
}

int64_t TNulStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    // Nothing to copy; zeros keep a caller from reading stale memory.
    if (buffer)
        std::memset(buffer, 0, size_t(count));
    advance(count);
    return count;
}

int64_t TNulStream::Write(const void*, int64_t count)
{
    if (count <= 0)
        return 0;
    advance(count);
    return count;
}

int64_t TNulStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t p;
    switch (origin) {
    case soFromBeginning: p = offset; break;
    case soFromCurrent: p = position_ + offset; break;
    // Like every other stream: the offset counts from the end, negative going back.
    default: p = size_ + offset; break;
    }
    if (p < 0)
        throw EStreamError(QStringLiteral("Invalid stream position"));
    position_ = p;
    if (origin != soFromEnd && position_ > size_)
        size_ = position_;
    return position_;
}

void TNulStream::SetSize(int64_t size)
{
    if (size < 0)
        throw EStreamError(QStringLiteral("Invalid stream size"));
    size_ = size;
    if (position_ > size_)
        position_ = size_;
}
