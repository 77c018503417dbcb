#include "vstgui/cvumeter.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CVuMeter::CVuMeter (const CRect& size, CBitmap* on, CBitmap* off, int32_t nbLed, int32_t style)
: CControl (size, nullptr, 0, nullptr), onBitmap (on), offBitmap (off), nbLed (std::max (1, nbLed)),
  style (style)
{
}

void CVuMeter::setValue (float val)
{
	if (std::isnan (val))
		val = vmin;
	value = val;
	bounceValue ();
}

int32_t CVuMeter::getLitSegments () const
{
	float norm = std::clamp (shown, 0.f, 1.f);
	return static_cast<int32_t> (std::lround (norm * static_cast<float> (nbLed)));
}

bool CVuMeter::isDirty () const { return CControl::isDirty () || getValueNormalized () != shown; }

void CVuMeter::draw (CDrawContext* context)
{
	// Only a scheduled redraw moves the meter; repainting it (e.g. under a neighbour) does not.
	if (isDirty ())
	{
		float target = std::clamp (getValueNormalized (), 0.f, 1.f);
		if (target >= shown)
			shown = target;
		else
			shown = std::max (target, shown - decreaseValue);
	}
	CCoord extent = (style & kHorizontal) ? size.width () : size.height ();
	CCoord lit = std::round (extent * getLitSegments () / nbLed);
	CRect litRect (size);
	CRect unlitRect (size);
	if (style & kHorizontal)
	{
		litRect.right = size.left + lit;
		unlitRect.left = litRect.right;
	}
	else
	{
		litRect.top = size.bottom - lit;
		unlitRect.bottom = litRect.top;
	}
	if (offBitmap)
		offBitmap->draw (context, unlitRect, CPoint (0, 0));
	if (onBitmap)
		onBitmap->draw (context, litRect,
		                CPoint (litRect.left - size.left, litRect.top - size.top));
}

CMouseEventResult CVuMeter::onMouseDown (CPoint&, const CButtonState&)
{
	return kMouseEventNotHandled;
}

} // namespace VSTGUI
