#pragma once
// A rotary control. Its value sweeps 270° clockwise, from the lower left (minimum) over the
// top to the lower right (maximum). The mouse turns it in the frame's knob mode:
// circular (the value jumps to the angle of the pointer), relative circular (the value
// follows the change of the angle) or linear (vertical movement; Shift for fine steps).

#include "vstgui/ccolor.h"
#include "vstgui/ccontrol.h"

namespace VSTGUI {

class CKnob : public CControl
{
public:
	CKnob (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
	       CBitmap* handle = nullptr, const CPoint& offset = CPoint (0, 0));

	/** Pixels of vertical movement for the full range in linear mode. */
	static constexpr CCoord kLinearRange = 200;

	/** The value (0…1 of the range) at an angle given by `where` around the centre. */
	float valueFromPoint (const CPoint& where) const;
	/** Clockwise sweep in degrees from the minimum's direction to `where` (0…360). */
	double sweepOfPoint (const CPoint& where) const;

	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;

	void setHandleColor (const CColor& c) { handleColor = c; }

protected:
	int32_t currentMode () const;

	SharedPointer<CBitmap> handle;
	CColor handleColor {kWhiteCColor};

private:
	int32_t dragMode {0};
	CDragAnchor anchor;
	double lastSweep {0};
};

} // namespace VSTGUI
