// A stream that only counts what is written to it (TNulStream).
#pragma once
#include "platform/core/streams.h"

// A stream that stores nothing and only counts: its size is the largest position
// reached. Writers run into it to learn how many bytes they would produce.
class TNulStream : public TStream {
public:
    // Moves the position by count; a read leaves the buffer zeroed, as there is no data.
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    // From the beginning or the current position the size follows a position past it;
    // from the end the position is size + offset (size unchanged). A negative position
    // raises EStreamError.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int64_t Size() override { return size_; }

private:
    void advance(int64_t count);
    int64_t position_ = 0;
    int64_t size_ = 0;
};
