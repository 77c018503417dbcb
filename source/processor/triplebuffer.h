// Wait-free hand-over of a value from one producer thread to one consumer thread.
//
// The producer writes into its private slot and publishes it by swapping it with the shared
// middle slot; the consumer swaps the middle slot with its own when something new was published.
// Neither side ever waits, nothing is allocated, and the consumer always sees the newest complete
// value (never a mix of two).
#pragma once

#include <atomic>
#include <cstdint>

namespace Quorvane
{

template <typename T> class TripleBuffer
{
public:
    // Producer side.
    T& back() { return slots[backIndex]; }
    void publish()
    {
        backIndex =
            middle.exchange(uint8_t(backIndex | kFresh), std::memory_order_acq_rel) & kIndexMask;
    }

    // Consumer side: takes the newest published value if there is one; returns whether it did.
    bool take()
    {
        if (!(middle.load(std::memory_order_acquire) & kFresh))
            return false;
        frontIndex = middle.exchange(frontIndex, std::memory_order_acq_rel) & kIndexMask;
        return true;
    }
    const T& front() const { return slots[frontIndex]; }

private:
    static constexpr uint8_t kFresh = 0x4;
    static constexpr uint8_t kIndexMask = 0x3;

    T slots[3]{};
    std::atomic<uint8_t> middle{1};
    uint8_t backIndex = 0;
    uint8_t frontIndex = 2;
};

} // namespace Quorvane
