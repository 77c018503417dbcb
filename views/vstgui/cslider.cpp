#include "vstgui/cslider.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"

#include <algorithm>

namespace VSTGUI {

CSlider::CSlider (const CRect& size, CControlListener* listener, int32_t tag,
                  const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handleBitmap,
                  CBitmap* background, const CPoint& offset, int32_t style)
: CControl (size, listener, tag, background), offsetHandle (offsetHandle),
  rangeHandle (rangeHandle), handle (handleBitmap), style (style)
{
	backOffset = offset;
}

bool CSlider::growsForward () const
{
	return isVertical () ? (style & kTop) == 0 : (style & kRight) == 0;
}

CCoord CSlider::handleExtent () const
{
	if (!handle)
		return 0;
	return isVertical () ? handle->getHeight () : handle->getWidth ();
}

CCoord CSlider::travel () const { return std::max<CCoord> (0, rangeHandle - handleExtent ()); }

CRect CSlider::getHandleRect () const
{
	float norm = std::clamp (getValueNormalized (), 0.f, 1.f);
	if (!growsForward ())
		norm = 1.f - norm;
	CCoord along = travel () * norm;
	CCoord w = handle ? handle->getWidth () : 0;
	CCoord h = handle ? handle->getHeight () : 0;
	CRect r (size.left + offsetHandle.x, size.top + offsetHandle.y, 0, 0);
	if (isVertical ())
		r.top += along;
	else
		r.left += along;
	r.setWidth (w).setHeight (h);
	return r;
}

void CSlider::draw (CDrawContext* context)
{
	if (background)
		background->draw (context, size, backOffset);
	if (handle)
		handle->draw (context, getHandleRect ());
}

CCoord CSlider::positionAlong (const CPoint& where) const
{
	return isVertical () ? where.y - size.top - offsetHandle.y
	                     : where.x - size.left - offsetHandle.x;
}

CCoord CSlider::handleStart () const
{
	CRect handleRect = getHandleRect ();
	return isVertical () ? handleRect.top - size.top - offsetHandle.y
	                     : handleRect.left - size.left - offsetHandle.x;
}

float CSlider::valueForEdge (CCoord edge) const
{
	CCoord t = travel ();
	float norm = t > 0 ? static_cast<float> (edge / t) : 0.f;
	norm = std::clamp (norm, 0.f, 1.f);
	return growsForward () ? norm : 1.f - norm;
}

CMouseEventResult CSlider::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	beginEdit ();
	CCoord pos = positionAlong (where);
	if (getHandleRect ().pointInside (where))
		grabDelta = pos - handleStart (); // drag the handle from where it was grabbed
	else
	{
		// A click beside the handle brings the handle's centre under the mouse.
		grabDelta = handleExtent () / 2;
		setValueNormalizedFromGesture (valueForEdge (pos - grabDelta));
	}
	anchor.set (where, getValueNormalized (), buttons);
	return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!isEditing ())
		return kMouseEventNotHandled;
	// Back to normal speed: the handle follows the mouse from its current place.
	if (anchor.moveOnSpeedChange (where, getValueNormalized (), buttons) && !anchor.fine)
		grabDelta = positionAlong (where) - handleStart ();
	if (anchor.fine)
	{
		CCoord moved = positionAlong (where) - positionAlong (anchor.point);
		CCoord t = travel ();
		float delta = t > 0 ? static_cast<float> (moved / t) / kFineFactor : 0.f;
		setValueNormalizedFromGesture (anchor.value + (growsForward () ? delta : -delta));
	}
	else
		setValueNormalizedFromGesture (valueForEdge (positionAlong (where) - grabDelta));
	return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp (CPoint&, const CButtonState&) { return endGesture (); }

bool CSlider::onWheel (const CPoint&, float distance, const CButtonState& buttons)
{
	// Wheel up moves the handle up (vertical) or right (horizontal).
	bool towardsStart = isVertical ();
	return wheelGesture (towardsStart == growsForward () ? -distance : distance, buttons);
}

CVerticalSlider::CVerticalSlider (const CRect& size, CControlListener* listener, int32_t tag,
                                  const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
                                  CBitmap* background, const CPoint& offset, int32_t style)
: CSlider (size, listener, tag, offsetHandle, rangeHandle, handle, background, offset,
           style | kVertical)
{
}

} // namespace VSTGUI
