// The VST 2 editor opcodes over the controller's "editor" view: the view
// is attached to the host's X11 window as an embedded child, gets a
// Vst2PlugFrame as its frame and run loop, and is served on effEditIdle.
// Windows builds have no editor yet; their bridge (win/) offers none.
#pragma once

#include "vst2abi.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg {
namespace Vst {

class Vst2PlugFrame;

class Vst2EditorBridge
{
public:
	/** Asks the controller once whether it has an "editor" view that can
	    be embedded in an X11 window. */
	Vst2EditorBridge (IEditController& controller, AEffect* effect, audioMasterCallback audioMaster);
	~Vst2EditorBridge ();

	bool isAvailable () const { return available; }
	bool isOpen () const { return attached; }

	/** effEditGetRect: *rect points at the view's size (valid until the next
	    call). */
	bool getRect (ERect** rect);
	/** effEditOpen: parent is the host's X11 window ID. */
	bool open (void* parent);
	/** effEditIdle: serves the view's timers and file descriptors. */
	void idle ();
	/** effEditClose. */
	void close ();

private:
	bool ensureView ();

	IEditController& controller;
	IPtr<IPlugFrame> frame;
	Vst2PlugFrame* plugFrame = nullptr; // the same object as frame, where the platform has one
	IPtr<IPlugView> view;
	ERect rect {};
	bool available = false;
	bool attached = false;
};

} // namespace Vst
} // namespace Steinberg
