#pragma once
// A slider: a handle bitmap travelling over a background bitmap.
//
// The handle moves along a track that starts `offsetHandle` into the view and is
// `rangeHandle` pixels long; its leading edge sits at (rangeHandle − handle size) · v along the
// track. Vertical sliders: kBottom puts value 0 at the top and the maximum at the bottom,
// kTop the reverse. Horizontal sliders: kLeft puts value 0 at the left, kRight the reverse.

#include "vstgui/ccontrol.h"

namespace VSTGUI {

enum CSliderStyle : int32_t
{
	kHorizontal = 1 << 0,
	kVertical = 1 << 1,
	kLeft = 1 << 2,
	kRight = 1 << 3,
	kTop = 1 << 4,
	kBottom = 1 << 5
};

class CSlider : public CControl
{
public:
	CSlider (const CRect& size, CControlListener* listener, int32_t tag, const CPoint& offsetHandle,
	         int32_t rangeHandle, CBitmap* handle, CBitmap* background,
	         const CPoint& offset = CPoint (0, 0), int32_t style = kLeft | kHorizontal);

	int32_t getStyle () const { return style; }
	CBitmap* getHandle () const { return handle; }
	const CPoint& getOffsetHandle () const { return offsetHandle; }
	int32_t getRangeHandle () const { return rangeHandle; }
	/** Where the handle is drawn for the current value. */
	CRect getHandleRect () const;

	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	/** Moves the handle the way the wheel turns: up (away from the user) moves it up or right. */
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;

protected:
	bool isVertical () const { return (style & kVertical) != 0; }
	/** True when the value grows towards the bottom or the right of the view. */
	bool growsForward () const;
	/** Pixels the handle travels between value 0 and value 1. */
	CCoord travel () const;
	CCoord handleExtent () const;
	/** How far `where` lies along the track from the track's start, in pixels. */
	CCoord positionAlong (const CPoint& where) const;
	/** How far the handle's leading edge lies along the track, in pixels. */
	CCoord handleStart () const;
	/** The value that puts the handle's leading edge `edge` pixels along the track. */
	float valueForEdge (CCoord edge) const;

	CPoint offsetHandle;
	int32_t rangeHandle;
	SharedPointer<CBitmap> handle;
	int32_t style;

private:
	CCoord grabDelta {0};
	CDragAnchor anchor;
};

/** A slider with the vertical bit always set. */
class CVerticalSlider : public CSlider
{
public:
	CVerticalSlider (const CRect& size, CControlListener* listener, int32_t tag,
	                 const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
	                 CBitmap* background, const CPoint& offset = CPoint (0, 0),
	                 int32_t style = kBottom);
};

} // namespace VSTGUI
