#include "vstgui/cframe.h"

#include "vstgui/cdrawcontext.h"
#include "vstgui/displayscale.h"
#include "vstgui/nativeimage.h"

namespace VSTGUI {

namespace {
PlatformFrameFactory gPlatformFactory = nullptr;
}

void setPlatformFrameFactory (PlatformFrameFactory factory) { gPlatformFactory = factory; }
PlatformFrameFactory getPlatformFrameFactory () { return gPlatformFactory; }

CFrame::CFrame (const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor)
: CViewContainer (size), editor (editor)
{
	frame = this;
	dirty = true;
	if (editor && isUsableScaleFactor (editor->getContentScaleFactor ()))
		scaleFactor = editor->getContentScaleFactor ();
	if (systemWindow)
		open (systemWindow);
}

CFrame::~CFrame ()
{
	closing = true;
	focusView = nullptr;
	if (mouseDownView)
	{
		mouseDownView->forget ();
		mouseDownView = nullptr;
	}
	if (modalView)
	{
		CView* view = modalView;
		modalView = nullptr;
		view->removed (this);
		view->forget ();
	}
	removeAll (true);
	platform.reset ();
	Native::releaseImage (backBuffer);
	frame = nullptr;
}

bool CFrame::open (void* systemWindow)
{
	if (platform || !systemWindow || !gPlatformFactory)
		return false;
	platform.reset (gPlatformFactory (this, systemWindow, getPhysicalSize ()));
	return platform != nullptr;
}

void CFrame::close () { platform.reset (); }

void CFrame::pumpEvents ()
{
	if (platform)
		platform->pumpEvents ();
}

void CFrame::invalidRect (const CRect& rect)
{
	if (closing)
		return;
	CRect r (rect);
	r.bound (getLocalBounds ());
	pending.unite (r);
}

void CFrame::ensureBackBuffer ()
{
	const CRect physical = getPhysicalSize ();
	int w = static_cast<int> (physical.width ());
	int h = static_cast<int> (physical.height ());
	if (backBuffer && Native::imageWidth (backBuffer) == w && Native::imageHeight (backBuffer) == h)
		return;
	Native::releaseImage (backBuffer);
	backBuffer = Native::createImage (w > 0 ? w : 1, h > 0 ? h : 1);
	// A new buffer holds nothing yet: everything has to be drawn.
	dirty = true;
}

void CFrame::redraw (const CRect& region)
{
	ensureBackBuffer ();
	if (!backBuffer)
		return;
	NativeContext* native = Native::beginDrawing (backBuffer);
	CDrawContext context (native);
	// Whole physical pixels are redrawn: the clip is set before the scale, so that no pixel at
	// its edge is blended with what the last pass left there.
	CRect pixels = toPhysical (region, scaleFactor);
	pixels.bound (getPhysicalSize ());
	context.clipRect (pixels);
	// The frame itself has no colour: what no view covers is opaque black.
	context.clear (kBlackCColor);
	context.scale (scaleFactor);
	drawRect (&context, fromPhysical (pixels));
	if (modalView && modalView->isVisible () && modalView->getViewSize ().rectOverlap (region))
	{
		context.save ();
		context.clipRect (modalView->getViewSize ());
		modalView->drawRect (&context, region);
		context.restore ();
		modalView->setDirty (false);
	}
	Native::endDrawing (backBuffer, native);
}

bool CFrame::idle ()
{
	ensureBackBuffer ();
	CRect region (pending);
	pending = CRect ();
	if (dirty)
		region = getLocalBounds ();
	else
	{
		collectDirtyRects (region);
		if (modalView && modalView->isVisible () && modalView->isDirty ())
			region.unite (modalView->getViewSize ());
	}
	region.bound (getLocalBounds ());
	if (region.isEmpty ())
		return false;
	redraw (region);
	dirty = false;
	if (platform)
		platform->present (backBuffer, toPhysical (region, scaleFactor));
	return true;
}

void CFrame::present (const CRect& rect)
{
	if (!backBuffer || dirty)
	{
		idle ();
		return;
	}
	if (platform)
		platform->present (backBuffer, toPhysical (rect, scaleFactor));
}

bool CFrame::setSize (CCoord width, CCoord height)
{
	if (width <= 0 || height <= 0)
		return false;
	if (width == size.width () && height == size.height ())
		return true;
	size.setWidth (width);
	size.setHeight (height);
	ensureBackBuffer ();
	if (platform)
		platform->setSize (getPhysicalSize ());
	return true;
}

bool CFrame::setScaleFactor (double factor)
{
	if (!isUsableScaleFactor (factor))
		return false;
	if (factor == scaleFactor)
		return true;
	scaleFactor = factor;
	ensureBackBuffer ();
	// Every pixel changes, even where the new buffer happens to keep its size.
	dirty = true;
	if (platform)
		platform->setSize (getPhysicalSize ());
	return true;
}

CRect CFrame::getPhysicalSize () const
{
	return CRect (0, 0, scaledLength (size.width (), scaleFactor),
	              scaledLength (size.height (), scaleFactor));
}

CPoint CFrame::fromPhysical (const CPoint& where) const
{
	return CPoint (where.x / scaleFactor, where.y / scaleFactor);
}

CRect CFrame::fromPhysical (const CRect& rect) const
{
	if (scaleFactor == 1)
		return rect;
	return CRect (rect.left / scaleFactor, rect.top / scaleFactor, rect.right / scaleFactor,
	              rect.bottom / scaleFactor);
}

int32_t CFrame::getKnobMode () const { return editor ? editor->getKnobMode () : knobMode; }

std::vector<CView*> CFrame::viewsAt (const CPoint& where, const CButtonState& buttons)
{
	std::vector<CView*> result;
	if (modalView)
	{
		if (modalView->isVisible () && modalView->hitTest (where, buttons))
			result.push_back (modalView);
		return result;
	}
	collectViewsAt (where, buttons, result);
	return result;
}

CMouseEventResult CFrame::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (mouseDownView)
	{
		// A second button pressed during a drag: release the first capture.
		CView* view = mouseDownView;
		mouseDownView = nullptr;
		view->forget ();
	}
	std::vector<CView*> candidates = viewsAt (where, buttons);
	if (focusView && (candidates.empty () || candidates.front () != focusView))
		setFocusView (nullptr);
	for (CView* view : candidates)
	{
		// Keep the view alive while it handles the event, even if it leaves the tree.
		view->remember ();
		CPoint local = view->fromFrame (where);
		CMouseEventResult result = view->onMouseDown (local, buttons);
		if (result == kMouseEventHandled && view->isAttached ())
		{
			mouseDownView = view; // the reference now holds the capture
			return kMouseEventHandled;
		}
		view->forget ();
		if (result == kMouseEventHandled ||
		    result == kMouseDownEventHandledButDontNeedMovedOrUpEvents)
			return kMouseEventHandled;
	}
	return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	CView* view = mouseDownView;
	view->remember ();
	CPoint local = view->fromFrame (where);
	CMouseEventResult result = view->onMouseMoved (local, buttons);
	view->forget ();
	return result;
}

CMouseEventResult CFrame::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	CView* view = mouseDownView;
	mouseDownView = nullptr;
	CPoint local = view->fromFrame (where);
	CMouseEventResult result = view->onMouseUp (local, buttons);
	view->forget ();
	return result;
}

bool CFrame::onWheel (const CPoint& where, float distance, const CButtonState& buttons)
{
	for (CView* view : viewsAt (where, buttons))
	{
		view->remember ();
		bool used = view->onWheel (view->fromFrame (where), distance, buttons);
		view->forget ();
		if (used)
			return true;
	}
	return false;
}

int32_t CFrame::onKeyDown (VstKeyCode& key)
{
	if (!focusView)
		return -1;
	CView* view = focusView;
	view->remember ();
	int32_t result = view->onKeyDown (key);
	view->forget ();
	return result;
}

int32_t CFrame::onKeyUp (VstKeyCode& key) { return focusView ? focusView->onKeyUp (key) : -1; }

void CFrame::setFocusView (CView* view)
{
	if (view == focusView || closing)
		return;
	CView* old = focusView;
	focusView = view;
	if (old)
		old->looseFocus ();
	// The old view's handling may already have moved the focus elsewhere.
	if (view && focusView == view)
		view->takeFocus ();
	if (platform && (old != nullptr) != (focusView != nullptr))
		platform->onFocusViewChanged (focusView != nullptr);
}

bool CFrame::setModalView (CView* view)
{
	if (view && modalView)
		return false;
	if (view)
	{
		setFocusView (nullptr);
		modalView = view;
		view->attached (this);
		view->invalid ();
		return true;
	}
	if (modalView)
	{
		CView* old = modalView;
		modalView = nullptr;
		old->removed (this);
		old->forget ();
	}
	return true;
}

void CFrame::onViewRemoved (CView* view)
{
	if (view == focusView)
	{
		focusView = nullptr;
		if (platform && !closing)
			platform->onFocusViewChanged (false);
	}
	if (view == mouseDownView)
	{
		// The reference held for the capture keeps it alive until the event returns.
		mouseDownView = nullptr;
		view->forget ();
	}
}

NativeImage* CFrame::getBackBuffer ()
{
	idle ();
	return backBuffer;
}

bool CFrame::writePNG (const char* path)
{
	NativeImage* image = getBackBuffer ();
	return path && image && Native::writePng (image, path);
}

} // namespace VSTGUI
