#include "public.sdk/source/vst/vstguieditor.h"

#include "vstgui/displayscale.h"
#include "vstgui/editorplatform.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

VSTGUIEditor::VSTGUIEditor (EditController* controller, ViewRect* size)
: EditorView (controller, size), timer (new VSTGUI::CVSTGUITimer (this, 100))
{
	// Frames given a parent window open a child window in it.
	VSTGUI::EditorPlatform::useFrames ();
}

VSTGUIEditor::~VSTGUIEditor ()
{
	// A host removes a view before releasing it; an editor released while attached closes its
	// own views in its destructor (close () is no longer its own here). Whatever is left goes now:
	// the window, the run loop's handlers, and the controller's record of an attached editor.
	if (attachedNow)
	{
		attachedNow = false;
		timer->stop ();
		timerSource.reset ();
		if (frame)
		{
			frame->forget ();
			frame = nullptr;
		}
		EditorView::removed ();
	}
	timerSource.reset ();
	timer->stop ();
	timer->forget ();
}

void VSTGUIEditor::setIdleRate (int32 millisec)
{
	timer->setFireTime (millisec > 0 ? static_cast<uint32_t> (millisec) : 1);
	if (timerSource && timerSource->isTimerRegistered ())
		timerSource->startTimer (timer); // registers again at the new period
}

int32 VSTGUIEditor::getIdleRate () const { return static_cast<int32> (timer->getFireTime ()); }

tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported (FIDString type)
{
	if (type && std::strcmp (type, VSTGUI::EditorPlatform::windowType ()) == 0)
		return kResultTrue;
	return kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached (void* parent, FIDString type)
{
	if (!parent || isPlatformTypeSupported (type) != kResultTrue)
		return kResultFalse;
	return attachTo (parent);
}

tresult VSTGUIEditor::openOffscreen () { return attachTo (nullptr); }

tresult VSTGUIEditor::attachTo (void* parent)
{
	if (attachedNow)
		return kResultFalse;
	attachedNow = true;
	offscreen = parent == nullptr;
	// Off-screen pictures are drawn at the factor asked for, never at the desktop's.
	applyScale (hostScale > 0 ? hostScale
	            : parent      ? VSTGUI::EditorPlatform::systemScale (parent)
	                          : 1);

	timerSource = VSTGUI::EditorPlatform::connect (plugFrame, parent);

	timer->start ();
	if (timerSource)
		timerSource->startTimer (timer);

	const bool opened = open (parent);
	if (opened && frame && parent && !frame->isOpen ())
	{
		// The window system made no window in the host's (not a window of it, or refused): an
		// editor nobody can see is a failed attach, not a success.
		timer->stop ();
		timerSource.reset ();
		close ();
		attachedNow = false;
		offscreen = false;
		return kResultFalse;
	}
	if (opened && frame)
	{
		const VSTGUI::CRect size = frame->getPhysicalSize ();
		ViewRect viewRect (0, 0, static_cast<int32> (size.width ()),
		                   static_cast<int32> (size.height ()));
		setRect (viewRect);
		if (plugFrame && parent)
			plugFrame->resizeView (this, &viewRect);
		if (timerSource)
			timerSource->watchFrame (frame);
	}
	return EditorView::attached (parent, VSTGUI::EditorPlatform::windowType ());
}

tresult PLUGIN_API VSTGUIEditor::removed ()
{
	if (!attachedNow)
		return kResultFalse;
	attachedNow = false;
	timer->stop ();
	if (timerSource)
	{
		// Nothing may call into the window once it is gone.
		timerSource->unwatchFrame ();
		timerSource->stopTimer ();
	}
	close ();
	timerSource.reset ();
	offscreen = false;
	return EditorView::removed ();
}

tresult PLUGIN_API VSTGUIEditor::onSize (ViewRect* newSize)
{
	// A rectangle turned inside out (or wider than a coordinate holds) is no size: refused, and
	// the view keeps the one it has.
	if (!newSize)
		return kInvalidArgument;
	const int64 width = int64 (newSize->right) - newSize->left;
	const int64 height = int64 (newSize->bottom) - newSize->top;
	if (width < 0 || height < 0 || width > kMaxInt32 || height > kMaxInt32)
		return kInvalidArgument;
	// The host sizes in physical pixels, the layout is logical: the size asked for at this scale
	// leaves the layout as it is.
	if (frame)
	{
		const VSTGUI::CRect physical = frame->getPhysicalSize ();
		const VSTGUI::CRect logical = frame->getViewSize ();
		const double width = newSize->getWidth () == physical.width ()
		                         ? logical.width ()
		                         : std::round (newSize->getWidth () / scaleFactor);
		const double height = newSize->getHeight () == physical.height ()
		                          ? logical.height ()
		                          : std::round (newSize->getHeight () / scaleFactor);
		frame->setSize (width, height);
	}
	return EditorView::onSize (newSize);
}

tresult PLUGIN_API VSTGUIEditor::getSize (ViewRect* size)
{
	if (!attachedNow)
		applyScale (hostScale > 0 ? hostScale : VSTGUI::EditorPlatform::systemScale (nullptr));
	return EditorView::getSize (size);
}

tresult PLUGIN_API VSTGUIEditor::setContentScaleFactor (ScaleFactor factor)
{
	if (!VSTGUI::isUsableScaleFactor (factor))
		return kInvalidArgument;
	hostScale = factor;
	applyScale (factor);
	return kResultTrue;
}

void VSTGUIEditor::onSystemScaleChanged (double factor)
{
	if (hostScale == 0 && VSTGUI::isUsableScaleFactor (factor))
		applyScale (factor);
}

void VSTGUIEditor::applyScale (double factor)
{
	if (factor == scaleFactor)
		return;
	// The logical size: the frame's, or what the view's size was at the old factor.
	const double width =
	    frame ? frame->getViewSize ().width () : std::round (getRect ().getWidth () / scaleFactor);
	const double height = frame ? frame->getViewSize ().height ()
	                            : std::round (getRect ().getHeight () / scaleFactor);
	scaleFactor = factor;
	ViewRect viewRect (0, 0, VSTGUI::scaledLength (width, factor),
	                   VSTGUI::scaledLength (height, factor));
	setRect (viewRect);
	if (!frame)
		return;
	frame->setScaleFactor (factor);
	if (attachedNow && !offscreen && plugFrame)
		plugFrame->resizeView (this, &viewRect);
	frame->idle ();
}

tresult PLUGIN_API VSTGUIEditor::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
	return EditorView::queryInterface (iid, obj);
}

VSTGUI::CMessageResult VSTGUIEditor::notify (VSTGUI::CBaseObject* /*sender*/, const char* message)
{
	if (message == VSTGUI::CVSTGUITimer::kMsgTimer)
	{
		if (frame)
		{
			// Events the window system already queued leave its descriptor quiet: take
			// them here too.
			frame->pumpEvents ();
			frame->idle ();
		}
		return VSTGUI::kMessageNotified;
	}
	return VSTGUI::kMessageUnknown;
}

void VSTGUIEditor::idle ()
{
	if (frame)
		frame->pumpEvents ();
	timer->fireIfDue ();
}

int32_t VSTGUIEditor::getKnobMode () const
{
	switch (EditController::getHostKnobMode ())
	{
		case kRelativCircularMode: return VSTGUI::kRelativCircularMode;
		case kLinearMode: return VSTGUI::kLinearMode;
		default: return VSTGUI::kCircularMode;
	}
}

} // namespace Vst
} // namespace Steinberg
