#include "vst2plugframe.h"

#include "vst2hostresize.h"

namespace Steinberg {
namespace Vst {

namespace {

// IPlugFrame's interface ID (as in pluginterfaces/gui/iplugview.h), as the Linux frame keeps it.
const TUID kPlugFrameIid = INLINE_UID (0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

} // namespace

Vst2PlugFrame::Vst2PlugFrame (AEffect* effect, audioMasterCallback audioMaster)
: effect (effect), audioMaster (audioMaster)
{
}

tresult PLUGIN_API Vst2PlugFrame::resizeView (IPlugView* view, ViewRect* newSize)
{
	return resizeHostWindow (effect, audioMaster, view, newSize);
}

tresult PLUGIN_API Vst2PlugFrame::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, kPlugFrameIid))
	{
		addRef ();
		*obj = static_cast<IPlugFrame*> (this);
		return kResultOk;
	}
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API Vst2PlugFrame::release ()
{
	const uint32 left = --refCount;
	if (left == 0)
		delete this;
	return left;
}

} // namespace Vst
} // namespace Steinberg
