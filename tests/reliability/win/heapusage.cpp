#include "heapusage.h"

#include <malloc.h>

namespace QuorvaneTest
{

bool heapIsMeasurable()
{
    return true;
}

// The C run-time heap, walked block by block. Very large blocks, which the system serves from
// separate mappings, are not listed; the leaks these tests look for are many small objects.
size_t heapBytesInUse()
{
    _HEAPINFO entry{};
    size_t total = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY)
            total += entry._size;
    return total;
}

} // namespace QuorvaneTest
