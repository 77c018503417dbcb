// The editor's images, compiled into the library.
#pragma once

#include <cstddef>

namespace Quorvane
{

// Finds an embedded resource by name, case-insensitively ("BACKGROUND.PNG" == "background.png").
// On success stores the bytes' address and count (the bytes live as long as the library)
// and returns true; otherwise leaves *data and *size untouched and returns false. A null
// name finds nothing; a null data or size pointer is simply not written.
bool findResource(const char* name, const unsigned char** data, size_t* size);

} // namespace Quorvane
