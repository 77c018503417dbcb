#include "vst2hostresize.h"

namespace Steinberg {
namespace Vst {

tresult resizeHostWindow (AEffect* effect, audioMasterCallback audioMaster, IPlugView* view, ViewRect* newSize)
{
	if (view == nullptr || newSize == nullptr)
		return kInvalidArgument;
	const VstIntPtr accepted =
	    audioMaster ? audioMaster (effect, audioMasterSizeWindow, newSize->getWidth (),
	                               newSize->getHeight (), nullptr, 0.f)
	                : 0;
	if (accepted == 0)
		return kResultFalse;
	view->onSize (newSize);
	return kResultTrue;
}

} // namespace Vst
} // namespace Steinberg
