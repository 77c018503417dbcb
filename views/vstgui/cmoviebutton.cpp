#include "vstgui/cmoviebutton.h"

#include "vstgui/cbitmap.h"

namespace VSTGUI {

CMovieButton::CMovieButton (const CRect& size, CControlListener* listener, int32_t tag,
                            CBitmap* background, const CPoint& offset)
: CMovieButton (size, listener, tag, size.height (), background, offset)
{
}

CMovieButton::CMovieButton (const CRect& size, CControlListener* listener, int32_t tag,
                            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
: CControl (size, listener, tag, background), heightOfOneImage (heightOfOneImage)
{
	backOffset = offset;
}

void CMovieButton::draw (CDrawContext* context)
{
	if (!background)
		return;
	CPoint where (backOffset.x, backOffset.y + heightOfOneImage * getFrameIndex ());
	background->draw (context, size, where);
}

CMouseEventResult CMovieButton::onMouseDown (CPoint&, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	beginEdit ();
	value = (value == vmin) ? vmax : vmin;
	valueChanged ();
	endEdit ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

} // namespace VSTGUI
