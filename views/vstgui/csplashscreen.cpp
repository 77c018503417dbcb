#include "vstgui/csplashscreen.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cframe.h"

namespace VSTGUI {

namespace {

/** The shown image: any left click on it closes the splash. */
class SplashView : public CView
{
public:
	SplashView (const CRect& size, CBitmap* bitmap, const CPoint& offset, CSplashScreen* owner)
	: CView (size), owner (owner)
	{
		setBackground (bitmap);
		setBackOffset (offset);
	}

	CMouseEventResult onMouseDown (CPoint&, const CButtonState& buttons) override
	{
		if (buttons.isLeftButton ())
			owner->unSplash ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}

private:
	CSplashScreen* owner;
};

} // namespace

CSplashScreen::CSplashScreen (const CRect& size, CControlListener* listener, int32_t tag,
                              CBitmap* background, const CRect& toDisplay, const CPoint& offset)
: CControl (size, listener, tag, background), toDisplay (toDisplay)
{
	backOffset = offset;
}

CSplashScreen::~CSplashScreen () { closeSplash (false); }

void CSplashScreen::splash ()
{
	CFrame* f = getFrame ();
	if (modalView || !f)
		return;
	auto* view = new SplashView (toDisplay, background, backOffset, this);
	if (!f->setModalView (view))
	{
		view->forget ();
		return;
	}
	modalView = view;
	value = vmax;
	valueChanged ();
}

void CSplashScreen::unSplash () { closeSplash (true); }

void CSplashScreen::closeSplash (bool report)
{
	if (!modalView)
		return;
	CView* view = modalView;
	modalView = nullptr;
	CFrame* f = getFrame ();
	if (f && f->getModalView () == view)
		f->setModalView (nullptr);
	value = vmin;
	if (report)
		valueChanged ();
}

CMouseEventResult CSplashScreen::onMouseDown (CPoint&, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	splash ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CSplashScreen::removed (CViewContainer* oldParent)
{
	// Leaving the frame (e.g. the editor closing) is no user gesture: nothing is reported.
	closeSplash (false);
	return CControl::removed (oldParent);
}

} // namespace VSTGUI
