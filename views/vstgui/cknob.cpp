#include "vstgui/cknob.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"
#include "vstgui/cframe.h"

#include <cmath>

namespace VSTGUI {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kStartAngle = 225.0; // the minimum's direction, counter-clockwise from 3 o'clock
constexpr double kSweep = 270.0;
} // namespace

CKnob::CKnob (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              CBitmap* handleBitmap, const CPoint& offset)
: CControl (size, listener, tag, background), handle (handleBitmap)
{
	backOffset = offset;
}

int32_t CKnob::currentMode () const
{
	int32_t mode = frame ? frame->getKnobMode () : kCircularMode;
	if (mode != kRelativCircularMode && mode != kLinearMode)
		mode = kCircularMode;
	return mode;
}

double CKnob::sweepOfPoint (const CPoint& where) const
{
	CPoint c = size.getCenter ();
	double angle = std::atan2 (-(where.y - c.y), where.x - c.x) * 180.0 / kPi;
	double sweep = std::fmod (kStartAngle - angle, 360.0);
	if (sweep < 0)
		sweep += 360.0;
	return sweep;
}

float CKnob::valueFromPoint (const CPoint& where) const
{
	double sweep = sweepOfPoint (where);
	if (sweep > kSweep)
		// The gap at the bottom: the nearer end.
		return sweep < kSweep + (360.0 - kSweep) / 2 ? 1.f : 0.f;
	return static_cast<float> (sweep / kSweep);
}

void CKnob::draw (CDrawContext* context)
{
	if (background)
		background->draw (context, size, backOffset);
	// A pointer from the centre towards the value's angle.
	double norm = std::fmin (std::fmax (getValueNormalized (), 0.0), 1.0);
	double angle = (kStartAngle - norm * kSweep) * kPi / 180.0;
	CPoint c = size.getCenter ();
	double radius = std::fmin (size.width (), size.height ()) / 2 - 3;
	if (handle)
	{
		CPoint tip (c.x + std::cos (angle) * (radius - handle->getWidth () / 2),
		            c.y - std::sin (angle) * (radius - handle->getHeight () / 2));
		CRect r (tip.x - handle->getWidth () / 2, tip.y - handle->getHeight () / 2, 0, 0);
		r.setWidth (handle->getWidth ()).setHeight (handle->getHeight ());
		handle->draw (context, r);
		return;
	}
	context->setFrameColor (handleColor);
	context->setLineWidth (2);
	context->drawLine (
	    CPoint (c.x + std::cos (angle) * radius * 0.3, c.y - std::sin (angle) * radius * 0.3),
	    CPoint (c.x + std::cos (angle) * radius, c.y - std::sin (angle) * radius));
}

CMouseEventResult CKnob::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	dragMode = currentMode ();
	anchor.set (where, getValueNormalized (), buttons);
	lastSweep = sweepOfPoint (where);
	beginEdit ();
	if (dragMode == kCircularMode)
		setValueNormalizedFromGesture (valueFromPoint (where));
	return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!isEditing ())
		return kMouseEventNotHandled;
	anchor.moveOnSpeedChange (where, getValueNormalized (), buttons);
	float scale = anchor.fine ? 1.f / kFineFactor : 1.f;
	switch (dragMode)
	{
		case kLinearMode:
		{
			CCoord diff = anchor.point.y - where.y;
			setValueNormalizedFromGesture (anchor.value +
			                               static_cast<float> (diff / kLinearRange) * scale);
			break;
		}
		case kRelativCircularMode:
		{
			double sweep = sweepOfPoint (where);
			double delta = sweep - lastSweep;
			if (delta > 180)
				delta -= 360;
			else if (delta < -180)
				delta += 360;
			lastSweep = sweep;
			setValueNormalizedFromGesture (getValueNormalized () +
			                               static_cast<float> (delta / kSweep) * scale);
			break;
		}
		default: setValueNormalizedFromGesture (valueFromPoint (where)); break;
	}
	return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp (CPoint&, const CButtonState&) { return endGesture (); }

bool CKnob::onWheel (const CPoint&, float distance, const CButtonState& buttons)
{
	return wheelGesture (distance, buttons);
}

} // namespace VSTGUI
