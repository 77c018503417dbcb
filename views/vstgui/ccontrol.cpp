#include "vstgui/ccontrol.h"

#include <algorithm>

namespace VSTGUI {

CControl::CControl (const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bg)
: CView (size), listener (listener), tag (tag)
{
	setBackground (bg);
	dirty = true; // nothing has been drawn yet
}

float CControl::getValueNormalized () const
{
	float range = vmax - vmin;
	if (range == 0.f)
		return 0.f;
	return (value - vmin) / range;
}

void CControl::setValueNormalized (float normalized)
{
	normalized = std::clamp (normalized, 0.f, 1.f);
	setValue (vmin + normalized * (vmax - vmin));
}

void CControl::bounceValue ()
{
	float lo = std::min (vmin, vmax);
	float hi = std::max (vmin, vmax);
	value = std::clamp (value, lo, hi);
}

void CControl::valueChanged ()
{
	if (listener)
		listener->valueChanged (this);
}

void CControl::beginEdit ()
{
	if (editing++ == 0 && listener)
		listener->controlBeginEdit (this);
}

void CControl::endEdit ()
{
	if (editing == 0)
		return;
	if (--editing == 0 && listener)
		listener->controlEndEdit (this);
}

bool CControl::isDirty () const { return CView::isDirty () || value != oldValue; }

void CControl::setDirty (bool state)
{
	CView::setDirty (state);
	if (!state)
		oldValue = value;
}

void CControl::setValueNormalizedFromGesture (float normalized)
{
	float old = value;
	setValueNormalized (normalized);
	if (value != old)
		valueChanged ();
}

bool CControl::wheelGesture (float distance, const CButtonState& buttons)
{
	float step = wheelInc * distance;
	if (buttons.getModifierState () & kShift)
		step /= kFineFactor;
	beginEdit ();
	setValueNormalizedFromGesture (getValueNormalized () + step);
	endEdit ();
	return true;
}

void CDragAnchor::set (const CPoint& where, float currentValue, const CButtonState& buttons)
{
	point = where;
	value = currentValue;
	fine = (buttons.getModifierState () & kShift) != 0;
}

bool CDragAnchor::moveOnSpeedChange (const CPoint& where, float currentValue,
                                     const CButtonState& buttons)
{
	if (((buttons.getModifierState () & kShift) != 0) == fine)
		return false;
	set (where, currentValue, buttons);
	return true;
}

bool CControl::checkDefaultValue (const CButtonState& buttons)
{
	if (!buttons.isLeftButton () || (buttons.getModifierState () & kControl) == 0)
		return false;
	beginEdit ();
	setValue (defaultValue);
	bounceValue ();
	valueChanged ();
	endEdit ();
	return true;
}

CMouseEventResult CControl::endGesture ()
{
	if (!isEditing ())
		return kMouseEventNotHandled;
	endEdit ();
	return kMouseEventHandled;
}

} // namespace VSTGUI
