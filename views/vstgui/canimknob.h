#pragma once
// A knob drawn from a film strip: the background bitmap holds `subPixmaps` images stacked
// top to bottom, each `heightOfOneImage` high; the value picks image round(v · (n − 1)).

#include "vstgui/cknob.h"

namespace VSTGUI {

class CAnimKnob : public CKnob
{
public:
	CAnimKnob (const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
	           CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint (0, 0));
	/** One image per view height: the count follows from the bitmap's height. */
	CAnimKnob (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
	           const CPoint& offset = CPoint (0, 0));

	int32_t getNumSubPixmaps () const { return subPixmaps; }
	CCoord getHeightOfOneImage () const { return heightOfOneImage; }
	/** The image the current value shows. */
	int32_t getFrameIndex () const;

	void draw (CDrawContext* context) override;

private:
	int32_t subPixmaps;
	CCoord heightOfOneImage;
};

} // namespace VSTGUI
