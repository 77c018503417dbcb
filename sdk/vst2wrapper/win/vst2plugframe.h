// The frame the wrapper gives to a plug-in's editor view in a VST 2 host on Windows: resize
// requests go to the host as audioMasterSizeWindow. The host's message loop delivers the
// editor's messages and timers, so there is no run loop to serve.
#pragma once

#include "vst2abi.h"

#include "pluginterfaces/gui/iplugview.h"

#include <atomic>

namespace Steinberg {
namespace Vst {

class Vst2PlugFrame : public IPlugFrame
{
public:
	Vst2PlugFrame (AEffect* effect, audioMasterCallback audioMaster);
	virtual ~Vst2PlugFrame () = default;

	/** Nothing to serve on effEditIdle: the message loop runs the editor. */
	void runOnce () {}
	void clear () {}

	//--- IPlugFrame ---
	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE;

	//--- FUnknown ---
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

private:
	/** No interfaces beyond IPlugFrame. */
	bool answerPlatformInterface (const TUID, void**) { return false; }

	AEffect* effect;
	audioMasterCallback audioMaster;
	std::atomic<uint32> refCount {1};
};

} // namespace Vst
} // namespace Steinberg
