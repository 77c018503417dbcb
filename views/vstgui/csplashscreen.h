#pragma once
// A click area that shows a bitmap over a larger display rectangle as the frame's modal view;
// a click on the shown image closes it. Reports value 1 when shown and 0 when closed.

#include "vstgui/ccontrol.h"

namespace VSTGUI {

class CSplashScreen : public CControl
{
public:
	CSplashScreen (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
	               const CRect& toDisplay, const CPoint& offset = CPoint (0, 0));
	~CSplashScreen () override;

	const CRect& getDisplayRect () const { return toDisplay; }
	bool isSplashShown () const { return modalView != nullptr; }

	/** Shows the image (when attached to a frame and not already shown). */
	void splash ();
	/** Closes the image. */
	void unSplash ();

	/** The click area itself draws nothing: the artwork beneath shows through. */
	void draw (CDrawContext*) override {}
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	bool removed (CViewContainer* oldParent) override;

private:
	void closeSplash (bool report);

	CRect toDisplay;
	CView* modalView {nullptr};
};

} // namespace VSTGUI
