// Interface identifiers of the Linux run-loop interfaces, which the SDK subset declares but does
// not define anywhere.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
namespace Linux {
DEF_CLASS_IID (IEventHandler)
DEF_CLASS_IID (ITimerHandler)
DEF_CLASS_IID (IRunLoop)
} // namespace Linux
} // namespace Steinberg
