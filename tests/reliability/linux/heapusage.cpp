#include "heapusage.h"

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_HEAP_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_HEAP_SANITIZED 1
#endif
#endif

namespace QuorvaneTest
{

bool heapIsMeasurable()
{
#ifdef QUORVANE_HEAP_SANITIZED
    return false;
#else
    return true;
#endif
}

size_t heapBytesInUse()
{
    return mallinfo2().uordblks;
}

} // namespace QuorvaneTest
