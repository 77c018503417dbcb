// The VST 2 editor opcodes over the controller's "editor" view: the view
// is attached to the host's window (an X11 window ID on Linux, an HWND on
// Windows) as a child, gets a Vst2PlugFrame as its frame (and run loop on
// Linux), and is served on effEditIdle.
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
	    be embedded in this platform's windows. */
	Vst2EditorBridge (IEditController& controller, AEffect* effect,
	                  audioMasterCallback audioMaster);
	~Vst2EditorBridge ();

	bool isAvailable () const { return available; }
	bool isOpen () const { return attached; }

	/** effEditGetRect: *rect points at the view's size (valid until the next
	    call). */
	bool getRect (ERect** rect);
	/** effEditOpen: parent is the host's window (X11 window ID or HWND). */
	bool open (void* parent);
	/** effEditIdle: serves the view's timers and file descriptors. */
	void idle ();
	/** effEditClose. */
	void close ();

private:
	bool ensureView ();

	IEditController& controller;
	IPtr<IPlugFrame> frame;
	Vst2PlugFrame* plugFrame = nullptr; // the same object as frame
	IPtr<IPlugView> view;
	ERect rect {};
	bool available = false;
	bool attached = false;
};

} // namespace Vst
} // namespace Steinberg
