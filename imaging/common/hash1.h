// A hash set of pointer-sized values (THash1).
#pragma once
#include "platform/core/events.h"

#include <cstdint>
#include <vector>

// A set of pointer-sized values (pointers, or 24-bit colours when counting colours),
// hashed by their low n bits into 2^n buckets.
class THash1 : public TObject {
public:
    // 2^n buckets; n outside 0 … 24 raises ERangeError.
    explicit THash1(int n, TObject* parent = nullptr);
    ~THash1() override;

    // True when the value was not yet in the set (it is added); false when it was.
    bool Insert(uintptr_t value);
    bool Insert(const void* value) { return Insert(reinterpret_cast<uintptr_t>(value)); }

    int Count() const { return count_; }
    int BitCount() const { return bits_; }
    int BucketCount() const { return int(buckets_.size()); }

private:
    enum : uint8_t { Empty = 0, Single = 1, Chained = 2 };
    struct Node {
        uintptr_t value;
        Node* next;
    };
    int bits_;
    uintptr_t mask_;
    // One slot per bucket: the value itself (Single) or the chain's head (Chained).
    std::vector<uintptr_t> buckets_;
    std::vector<uint8_t> states_;
    std::vector<Node*> tails_;
    int count_ = 0;
};
