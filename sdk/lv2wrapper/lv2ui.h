// Presents a VST 3 edit controller's "editor" view to an LV2 host as an X11 UI.
//
// Everything here runs on the host's UI thread: the view, port_event (which hands port values
// to the controller as normalized values) and idle (which serves the view's timers and file
// descriptors through the frame's run loop, since an LV2 host gives no run loop of its own).
// An edit in the view becomes a port write through the host's write_function, in the port's own
// units, wrapped in ui:touch gestures when the host offers them.
#pragma once

#include "lv2portlayout.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <lv2/ui/ui.h>

#include <memory>

namespace Steinberg {
namespace Vst {

class Lv2UiFrame;
class Lv2UiEditHandler;

class Lv2Ui
{
public:
	/** Opens the controller's editor in the host's ui:parent window. Null when the host gives
	    no parent window or the view cannot be attached to it. */
	static Lv2Ui* create (IEditController* controller, const Lv2PortLayout& layout,
	                      LV2UI_Write_Function write, LV2UI_Controller host,
	                      const LV2_Feature* const* features, LV2UI_Widget* widget);
	~Lv2Ui ();

	void portEvent (uint32 port, uint32 size, uint32 format, const void* buffer);
	/** Serves the view; 0 while the UI is open (the idle interface's answer). */
	int idle ();

	/** The edits the view makes, as port writes. */
	void writePort (ParamID id, ParamValue normalized);
	void touchPort (ParamID id, bool grabbed);

private:
	Lv2Ui (IEditController* controller, const Lv2PortLayout& layout, LV2UI_Write_Function write,
	       LV2UI_Controller host);
	bool open (void* parent, const LV2_Feature* const* features, LV2UI_Widget* widget);
	int32 portOf (ParamID id) const;

	IPtr<IEditController> controller;
	Lv2PortLayout layout;
	LV2UI_Write_Function write;
	LV2UI_Controller host;
	LV2UI_Touch* touch = nullptr;
	IPtr<Lv2UiEditHandler> editHandler;
	IPtr<Lv2UiFrame> frame;
	IPtr<IPlugView> view;
};

} // namespace Vst
} // namespace Steinberg
