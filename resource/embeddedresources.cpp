#include "embeddedresources.h"

#include "embeddedentry.h"

namespace Quorvane
{

namespace
{

// ASCII-only case folding: resource names are plain file names, and the answer must not
// depend on the process's locale.
char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (foldCase(*a) != foldCase(*b))
            return false;
    return *a == *b;
}

} // namespace

bool findResource(const char* name, const unsigned char** data, size_t* size)
{
    if (!name)
        return false;
    for (const Embedded::Entry* const* entry = Embedded::entries; *entry; ++entry)
    {
        if (!sameName((*entry)->name, name))
            continue;
        if (data)
            *data = (*entry)->data;
        if (size)
            *size = (*entry)->size;
        return true;
    }
    return false;
}

} // namespace Quorvane
