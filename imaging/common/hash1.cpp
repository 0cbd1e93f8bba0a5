// The pointer-value hash set used to count colours.
#include "imaging/common/hash1.h"

#include "platform/core/exceptions.h"

#include <memory>

THash1::THash1(int n, TObject* parent) : TObject(parent), bits_(n)
{
    if (n < 0 || n > 24)
        throw ERangeError(QStringLiteral("Hash size out of range: %1 bits").arg(n));
    const size_t size = size_t(1) << n;
    mask_ = uintptr_t(size - 1);
    buckets_.assign(size, 0);
    states_.assign(size, Empty);
    tails_.assign(size, nullptr);
}

THash1::~THash1()
{
    for (size_t i = 0; i < buckets_.size(); ++i) {
        if (states_[i] != Chained)
            continue;
        Node* node = reinterpret_cast<Node*>(buckets_[i]);
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }
}

bool THash1::Insert(uintptr_t value)
{
    const size_t b = size_t(value & mask_);
    switch (states_[b]) {
    case Empty:
        buckets_[b] = value;
        states_[b] = Single;
        break;
    case Single: {
        if (buckets_[b] == value)
            return false;
        auto second = std::make_unique<Node>(Node{value, nullptr});
        Node* first = new Node{buckets_[b], second.release()};
        buckets_[b] = reinterpret_cast<uintptr_t>(first);
        tails_[b] = first->next;
        states_[b] = Chained;
        break;
    }
    default: {
        for (Node* node = reinterpret_cast<Node*>(buckets_[b]); node; node = node->next)
            if (node->value == value)
                return false;
        Node* node = new Node{value, nullptr};
        tails_[b]->next = node;
        tails_[b] = node;
        break;
    }
    }
    ++count_;
    return true;
}
