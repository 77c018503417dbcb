#pragma once
// A two-state button drawn from a two-image bitmap stacked top to bottom: the first image for
// value 0 (the minimum), the second for any other value. A left click toggles the value
// between minimum and maximum and reports it between beginEdit and endEdit.

#include "vstgui/ccontrol.h"

namespace VSTGUI {

class CMovieButton : public CControl
{
public:
	/** The image height is the view's height. */
	CMovieButton (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
	              const CPoint& offset = CPoint (0, 0));
	CMovieButton (const CRect& size, CControlListener* listener, int32_t tag,
	              CCoord heightOfOneImage, CBitmap* background,
	              const CPoint& offset = CPoint (0, 0));

	CCoord getHeightOfOneImage () const { return heightOfOneImage; }
	/** 0 or 1: the image the current value shows. */
	int32_t getFrameIndex () const { return value == vmin ? 0 : 1; }

	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;

private:
	CCoord heightOfOneImage;
};

} // namespace VSTGUI
