#pragma once
// A level meter of `nbLed` segments drawn from a lit and an unlit bitmap (both the view's
// size). The value is clamped into min…max; the meter lights the value's share of the
// segments, rounded to whole segments, from the bottom up (vertical) or from the left
// (horizontal). It rises at once and falls by at most the decrease step (0.1 of the range by
// default) per redraw. It takes no mouse events.

#include "vstgui/ccontrol.h"
#include "vstgui/cslider.h"

namespace VSTGUI {

class CVuMeter : public CControl
{
public:
	CVuMeter (const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed,
	          int32_t style = kVertical);

	void setValue (float val) override;
	void setDecreaseStepValue (float step) { decreaseValue = step; }
	float getDecreaseStepValue () const { return decreaseValue; }
	int32_t getNbLed () const { return nbLed; }
	int32_t getStyle () const { return style; }

	/** The value currently shown (0…1 of the range), lagging the value while it falls. */
	float getShownValue () const { return shown; }
	/** The number of segments lit for what is shown. */
	int32_t getLitSegments () const;

	/** Dirty until the shown value has caught up with the value. */
	bool isDirty () const override;
	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;

private:
	SharedPointer<CBitmap> onBitmap;
	SharedPointer<CBitmap> offBitmap;
	int32_t nbLed;
	int32_t style;
	float decreaseValue {0.1f};
	float shown {0.f};
};

} // namespace VSTGUI
