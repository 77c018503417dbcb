// What the frame is on every platform: resize requests passed on to the host, IPlugFrame and
// reference counting. The platform's header (linux/, win/) says what else it is.
#include "vst2plugframe.h"

namespace Steinberg {
namespace Vst {

namespace {

// The interface ID of IPlugFrame (the same words as in pluginterfaces/gui/iplugview.h), kept
// here so that the wrapper does not depend on where a module defines the GUI interface IDs.
const TUID kPlugFrameIid = INLINE_UID (0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

} // namespace

Vst2PlugFrame::Vst2PlugFrame (AEffect* effect, audioMasterCallback audioMaster)
: effect (effect), audioMaster (audioMaster)
{
}

tresult PLUGIN_API Vst2PlugFrame::resizeView (IPlugView* view, ViewRect* newSize)
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

tresult PLUGIN_API Vst2PlugFrame::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) ||
	    FUnknownPrivate::iidEqual (_iid, kPlugFrameIid))
	{
		addRef ();
		*obj = static_cast<IPlugFrame*> (this);
		return kResultOk;
	}
	if (answerPlatformInterface (_iid, obj))
		return kResultOk;
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API Vst2PlugFrame::addRef () { return ++refCount; }

uint32 PLUGIN_API Vst2PlugFrame::release ()
{
	const uint32 count = --refCount;
	if (count == 0)
		delete this;
	return count;
}

} // namespace Vst
} // namespace Steinberg
