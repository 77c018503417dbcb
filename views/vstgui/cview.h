#pragma once
// The base of everything drawn in a frame.

#include "vstgui/cbaseobject.h"
#include "vstgui/cbuttonstate.h"
#include "vstgui/crect.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

/** A rectangle of the frame that draws itself and may take mouse and key events. Its size is
 *  given in its parent container's coordinates; so are the points of its mouse events. */
class CView : public CBaseObject
{
public:
	explicit CView (const CRect& size);
	~CView () override;

	// drawing
	/** Draws the background bitmap (if any) over the view's rectangle. */
	virtual void draw (CDrawContext* context);
	/** Called by the container for a redraw of `updateRect` (parent coordinates). */
	virtual void drawRect (CDrawContext* context, const CRect& updateRect);

	/** True when the view has changed since it was last drawn. */
	virtual bool isDirty () const { return dirty; }
	virtual void setDirty (bool state = true) { dirty = state; }
	/** Asks the frame to redraw the view's rectangle at its next idle pass. */
	virtual void invalid ();
	/** Asks the frame to redraw a part of the parent's area at its next idle pass. */
	void invalidRect (const CRect& rect);

	// mouse and keys
	virtual CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons);
	/** `distance` is +1 per wheel notch away from the user, −1 towards; true when used. */
	virtual bool onWheel (const CPoint& where, float distance, const CButtonState& buttons);
	/** Returns 1 when the key was used, −1 otherwise. */
	virtual int32_t onKeyDown (VstKeyCode& key);
	virtual int32_t onKeyUp (VstKeyCode& key);
	virtual bool hitTest (const CPoint& where, const CButtonState& buttons = CButtonState ());

	/** Focus for keyboard input, given and taken by the frame. */
	virtual void takeFocus () {}
	virtual void looseFocus () {}

	// attributes
	const CRect& getViewSize () const { return size; }
	virtual void setViewSize (const CRect& rect, bool invalidate = true);
	CCoord getWidth () const { return size.width (); }
	CCoord getHeight () const { return size.height (); }

	virtual void setVisible (bool state);
	bool isVisible () const { return visible; }
	void setMouseEnabled (bool state) { mouseEnabled = state; }
	bool getMouseEnabled () const { return mouseEnabled; }
	/** A transparent view draws nothing behind its content. */
	virtual void setTransparency (bool state);
	bool getTransparency () const { return transparent; }

	/** Keeps its own reference to the bitmap (null removes it). */
	virtual void setBackground (CBitmap* bitmap);
	CBitmap* getBackground () const { return background; }
	void setBackOffset (const CPoint& offset) { backOffset = offset; }
	const CPoint& getBackOffset () const { return backOffset; }

	// tree
	CFrame* getFrame () const { return frame; }
	CViewContainer* getParentView () const { return parent; }
	bool isAttached () const { return frame != nullptr; }
	virtual bool attached (CViewContainer* newParent);
	virtual bool removed (CViewContainer* oldParent);

	/** Converts a rectangle in this view's parent coordinates into frame coordinates. */
	CRect toFrame (const CRect& rect) const;
	/** Converts a point in frame coordinates into this view's parent coordinates. */
	CPoint fromFrame (const CPoint& where) const;

protected:
	CRect size;
	CBitmap* background {nullptr};
	CPoint backOffset;
	CFrame* frame {nullptr};
	CViewContainer* parent {nullptr};
	bool dirty {false};
	bool visible {true};
	bool mouseEnabled {true};
	bool transparent {false};
};

} // namespace VSTGUI
