#pragma once
// The hook through which the module hands the view layer its resource bytes (PNG images).

#include <cstddef>

namespace VSTGUI {

/** Looks a resource up by name as given; on success points `data`/`size` at bytes that stay
 *  valid for the module's lifetime and returns true. */
using ResourceProvider = bool (*) (const char* name, const unsigned char** data, size_t* size);

void setResourceProvider (ResourceProvider provider);
ResourceProvider getResourceProvider ();

} // namespace VSTGUI
