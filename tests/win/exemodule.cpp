// For test programs that hold the module's resources themselves: the program's own handle is
// recorded as the module's, as DllMain does for the plug-in.
#include "public.sdk/source/main/moduleentry.h"

#include <windows.h>

namespace
{

const bool recorded = []
{
    Steinberg::recordModule(GetModuleHandleW(nullptr), nullptr);
    return true;
}();

} // namespace
