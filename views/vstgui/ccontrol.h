#pragma once
// A view with a value that the user edits and that reports its gestures to a listener.

#include "vstgui/ccontrollistener.h"
#include "vstgui/cview.h"

namespace VSTGUI {

/** Where a drag began: the mouse position, the control's value then, and whether Shift was down
 *  (fine steps). Kept by the controls that are dragged. */
struct CDragAnchor
{
	CPoint point;
	float value {0.f};
	bool fine {false};

	void set (const CPoint& where, float currentValue, const CButtonState& buttons);
	/** When Shift went down or up since the anchor, the drag goes on from here at the new speed
	 *  without a jump: anchors again and returns true. */
	bool moveOnSpeedChange (const CPoint& where, float currentValue, const CButtonState& buttons);
};

class CControl : public CView
{
public:
	CControl (const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
	          CBitmap* background = nullptr);

	/** Sets the value as given (no clamping, no report to the listener). */
	virtual void setValue (float val) { value = val; }
	float getValue () const { return value; }
	/** The value mapped from min…max to 0…1. */
	float getValueNormalized () const;
	void setValueNormalized (float normalized);
	/** Clamps the value into min…max. */
	void bounceValue ();

	void setMin (float val) { vmin = val; }
	float getMin () const { return vmin; }
	void setMax (float val) { vmax = val; }
	float getMax () const { return vmax; }
	void setDefaultValue (float val) { defaultValue = val; }
	float getDefaultValue () const { return defaultValue; }
	/** The share of the range one wheel notch moves the value. */
	void setWheelInc (float val) { wheelInc = val; }
	float getWheelInc () const { return wheelInc; }

	void setTag (int32_t val) { tag = val; }
	int32_t getTag () const { return tag; }
	void setListener (CControlListener* l) { listener = l; }
	CControlListener* getListener () const { return listener; }

	/** Reports the current value to the listener. */
	virtual void valueChanged ();
	/** Start and end of a gesture, reported to the listener; they nest. */
	virtual void beginEdit ();
	virtual void endEdit ();
	bool isEditing () const { return editing > 0; }

	/** Dirty also when the value differs from the one last drawn. */
	bool isDirty () const override;
	void setDirty (bool state = true) override;

	/** Ctrl + left click: sets the default value between beginEdit and endEdit and reports it;
	 *  returns whether it did. */
	bool checkDefaultValue (const CButtonState& buttons);

protected:
	/** Ends a running drag gesture (the mouse button went up): endEdit, handled; not handled
	 *  when no gesture runs. */
	CMouseEventResult endGesture ();
	/** Sets a new normalized value from a gesture (clamped) and reports it when it changed. */
	void setValueNormalizedFromGesture (float normalized);
	/** A turn of the wheel by `distance` notches as a gesture of its own: the value moves by
	 *  that many wheel increments, a kFineFactor-th of that with Shift. */
	bool wheelGesture (float distance, const CButtonState& buttons);

	/** Shift divides every movement by this. */
	static constexpr float kFineFactor = 10.f;

	CControlListener* listener;
	int32_t tag;
	float value {0.f};
	float oldValue {0.f};
	float vmin {0.f};
	float vmax {1.f};
	float defaultValue {0.5f};
	float wheelInc {0.01f};
	int32_t editing {0};
};

} // namespace VSTGUI
