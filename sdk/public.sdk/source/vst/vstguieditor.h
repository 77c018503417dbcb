#pragma once
// Base class of editors built from VSTGUI views: the frame, the idle timer and the host
// protocol of IPlugView (embedding in the host's window, the idle timer, resize requests,
// controller notification). What differs between window systems is behind EditorPlatform.

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/cbaseobject.h"
#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"
#include "vstgui/vstguieditorinterface.h"

#include <memory>

namespace VSTGUI {
class EditorPlatform;
}

namespace Steinberg {
namespace Vst {

class VSTGUIEditor : public EditorView,
                     public IPlugViewContentScaleSupport,
                     public VSTGUI::VSTGUIEditorInterface,
                     public VSTGUI::CBaseObject
{
public:
	VSTGUIEditor (EditController* controller, ViewRect* size = nullptr);
	~VSTGUIEditor () override;

	/** Builds the view tree into a new `frame` inside `parent` (null: off-screen); false when it
	 *  cannot or is already open. */
	virtual bool open (void* parent) = 0;
	/** Tears the view tree down (destroys `frame`). */
	virtual void close () = 0;

	/** The period of the idle timer, in milliseconds. */
	void setIdleRate (int32 millisec);
	int32 getIdleRate () const;
	VSTGUI::CVSTGUITimer* getIdleTimer () const { return timer; }

	/** Runs the whole attach protocol without a window: the frame renders off-screen
	 *  (getFrame ()->writePNG (...)). Undo it with removed (). */
	tresult openOffscreen ();
	/** For hosts without a run loop (a VST 2 host's idle call): handles the window's events and
	 *  fires the idle timer when its period has passed. */
	void idle ();

	//---from IPlugView-------
	tresult PLUGIN_API isPlatformTypeSupported (FIDString type) SMTG_OVERRIDE;
	tresult PLUGIN_API attached (void* parent, FIDString type) SMTG_OVERRIDE;
	tresult PLUGIN_API removed () SMTG_OVERRIDE;
	tresult PLUGIN_API onSize (ViewRect* newSize) SMTG_OVERRIDE;
	tresult PLUGIN_API canResize () SMTG_OVERRIDE { return kResultFalse; }
	/** The size in physical pixels: the logical size times the display scale. Before the view is
	 *  attached and without a factor from the host, the window system's scale. */
	tresult PLUGIN_API getSize (ViewRect* size) SMTG_OVERRIDE;

	//---from IPlugViewContentScaleSupport-------
	/** The host's display scale; it wins over the window system's. Before or after attached:
	 *  once attached, the editor asks the host to resize it (IPlugFrame::resizeView) and redraws
	 *  at the new factor. kInvalidArgument for a factor that is no usable scale. */
	tresult PLUGIN_API setContentScaleFactor (ScaleFactor factor) SMTG_OVERRIDE;

	//---from CBaseObject-------
	/** The idle timer's message lets the frame redraw what changed (handled); every other
	 *  message is not handled. */
	VSTGUI::CMessageResult notify (VSTGUI::CBaseObject* sender, const char* message) SMTG_OVERRIDE;

	//---from VSTGUIEditorInterface-------
	/** The host's knob mode (set on the controller): 0 circular, 1 relative circular,
	 *  2 linear; anything else counts as circular. */
	int32_t getKnobMode () const SMTG_OVERRIDE;
	double getContentScaleFactor () const SMTG_OVERRIDE { return scaleFactor; }
	/** The window system moved the editor to a display of another scale: followed unless the
	 *  host gave a factor of its own. */
	void onSystemScaleChanged (double factor) SMTG_OVERRIDE;

	bool isOpenedOffscreen () const { return offscreen; }

	OBJ_METHODS (VSTGUIEditor, EditorView)
	REFCOUNT_METHODS (EditorView)
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;

protected:
	VSTGUI::CVSTGUITimer* timer;

private:
	tresult attachTo (void* parent);
	/** Draws at `factor` from now on: the view's size, the frame, and (attached to a host's
	 *  window) the host asked to resize. */
	void applyScale (double factor);

	double scaleFactor {1};
	double hostScale {0}; // 0: the host has given none

	std::unique_ptr<VSTGUI::EditorPlatform> timerSource;
	bool attachedNow {false};
	bool offscreen {false};
};

} // namespace Vst
} // namespace Steinberg
