// Bytes of heap in use, for leak checks in builds without the address sanitizer.
#pragma once

#include <cstddef>

namespace QuorvaneTest
{

// A leak of even one small object per cycle grows the heap by far more than this.
constexpr size_t kHeapSlack = 64 * 1024;

// True when the heap can be measured; under the address sanitizer its own leak check takes over.
bool heapIsMeasurable();

// The heap's bytes in use by the whole process.
size_t heapBytesInUse();

} // namespace QuorvaneTest
