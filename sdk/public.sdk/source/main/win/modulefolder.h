// The Windows half of the module's self-knowledge.
#pragma once

#include <cstddef>

namespace Steinberg {

/** The longest module file name recorded, in UTF-16 units with the terminating zero. */
constexpr unsigned long kModulePathUnits = 260;

/** The folder of the module's library file as the system names it (UTF-16, ending in a
    backslash), or an empty text when it is not known. */
const wchar_t* getModuleFolderW ();

/** How many units of `path` (of `length` units) make up its folder: everything up to and
    including the last backslash; 0 when there is none. */
inline size_t folderPartLength (const wchar_t* path, size_t length)
{
	for (size_t i = length; i > 0; --i)
		if (path[i - 1] == L'\\')
			return i;
	return 0;
}

} // namespace Steinberg
